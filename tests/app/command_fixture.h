#pragma once
// Drives the whole main window through its commands: dialogs are answered by
// the test (never shown), message boxes are recorded, files live in the
// test's temporary folder.

#include "main_window_fixture.h"
#include "engine/run/plain_text_report.h"
#include "report/report_pane.h"
#include "engine/run/run_control.h"
#include "engine/files/sequence_loading.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "edit_float.h"

// Readable failure output for the texts the tests compare.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

inline QString exampleFile(const char* name)
{
    return QStringLiteral(TESSIVO_EXAMPLES_DIR "/") + QLatin1String(name);
}

// Parameters as the user sets them in the window.
struct Parameters {
    QString filter = QStringLiteral("0.00");
    bool normalize = false;
    bool useBins = false;
    QString binItem = QStringLiteral("32 x 32 matrix"); // or a text typed into the box
    bool decomposition = true;
};

class CommandTest : public MainWindowTest {
protected:
    std::unique_ptr<TfrmMain> startWindow(QChar separator = u'.')
    {
        MainWindowSeams seams;
        seams.notifier = &notifier;
        seams.workDir = [this] { return workDir(); };
        seams.decimalSeparator = separator;
        seams.runModal = [this](QDialog& dialog) {
            ++dialogsShown;
            return answer ? answer(dialog) : false;
        };
        seams.shellLauncher = [this](const QString& target) {
            opened << target;
            return launchCode;
        };
        seams.clock = [this] { return now; };
        seams.programDir = programDir;
        seams.progressClock = [this] { return progressClockMs; };
        seams.progressObserver = [this](QProgressDialog& dialog) {
            if (onProgress)
                onProgress(dialog);
        };
        auto window = std::make_unique<TfrmMain>(seams);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    QString workDir() const { return dir() + QStringLiteral("/work/"); }

    QString writeFile(const QString& name, const QByteArray& content) const
    {
        const QString path = dir() + u'/' + name;
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        return path;
    }

    // Answers the next file dialog with this file.
    void chooseFile(const QString& path)
    {
        answer = [path](QDialog& dialog) {
            static_cast<QFileDialog&>(dialog).selectFile(path);
            return true;
        };
    }

    void open(TfrmMain& window, const QString& path)
    {
        chooseFile(path);
        window.btOpenSeqFile->click();
    }

    static void setParameters(TfrmMain& window, const Parameters& p)
    {
        window.edFilter->setText(p.filter);
        window.cbNormalize->setChecked(p.normalize);
        window.cbMatrix->setChecked(p.useBins);
        window.cbLoadBinSize->setCurrentText(p.binItem);
        window.rbDecomposition->setChecked(p.decomposition);
        window.rbUpward->setChecked(!p.decomposition);
    }

    static QString report(const TfrmMain& window) { return window.reReport->toPlainText(); }

    // The report the run control writes for this file and these parameters,
    // counted in a folder of its own: what the window must show.
    QString expectedReport(const QString& file, const Parameters& p, int binCount) const
    {
        QTemporaryDir work;
        auto run = std::make_unique<tessivo::TRainflowRun>();
        tessivo::InitRainflowRun(*run);
        EXPECT_EQ(tessivo::openSequence(*run, file.toStdString(), work.path().toStdString() + '/'),
                  tessivo::OpenOutcome::Ok);
        run->Normalize = p.normalize;
        run->UseLoadBins = p.useBins;
        run->BinCount = binCount;
        run->Decomposition = p.decomposition;
        run->FilterSize = p.filter.toDouble();
        tessivo::TCycleTable table;
        tessivo::PlainTextReport text;
        tessivo::executeCount(*run, table, work.path().toStdString() + '/', text);
        QString out = QString::fromStdString(text.text());
        out.chop(1); // the pane has no line end after its last line
        return out;
    }

    std::function<bool(QDialog&)> answer;
    std::function<void(QProgressDialog&)> onProgress; // sees each step of a long count
    std::int64_t progressClockMs = 0;                 // the count's clock: tests move it on
    int dialogsShown = 0;
    QStringList opened;
    int launchCode = 42;
    QDateTime now = QDateTime(QDate(2024, 12, 31), QTime(23, 59));
    QString programDir;
};
