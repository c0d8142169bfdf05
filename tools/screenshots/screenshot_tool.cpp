// Saves pictures of the windows under a real X server with a window manager,
// for the manual and for looking at the layout (scripts/screenshots runs it):
//   tessivo_screenshot <folder> [sequence [large-loads [long-sequence]]]
// Without a sequence file: start.png of the window at its first start. With
// one: start.png, open.png (the Open dialog), main.png after it has been
// opened and counted, about.png, spectrum.png (the plot of that report) and
// matrix.png (the same file counted in load bins) with their SVG exports,
// message.png (a rejected file's message) and report.pdf (the printout).
// With a file of large loads: large.png of its report. With a long sequence:
// progress.png while it is counted. Each picture is the window with its
// frame, cut from the screen, so that nothing else shows in it.
#include "support/app_identity.h"
#include "about/link_label.h"
#include "main_window/main_window.h"
#include "screenshot_support.h"
#include "spectrum/spectrum_plot_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const auto argument = [&](int i) { return argc > i ? QString::fromLocal8Bit(argv[i]) : QString(); };
    const QString sequence = argument(2);
    const QString largeLoads = argument(3);
    const QString longSequence = argument(4);
    int status = 0;
    const auto grab = [&](QWidget& window, const char* name) {
        if (!grabFramed(window, folder + QLatin1String(name)))
            status = 1;
    };
    QString chosen = sequence;
    bool progressTaken = false;
    bool openTaken = false;
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            if (!openTaken) {
                openTaken = true;
                files->setDirectory(QFileInfo(chosen).absolutePath());
                files->show();
                grab(*files, "open.png");
                files->hide();
            }
            files->selectFile(chosen);
            return true;
        }
        if (auto* print = qobject_cast<QPrintDialog*>(&dialog)) {
            print->printer()->setOutputFormat(QPrinter::PdfFormat);
            print->printer()->setOutputFileName(folder + QStringLiteral("report.pdf"));
            return true;
        }
        dialog.show();
        grab(dialog, "about.png");
        dialog.hide();
        return true;
    };
    seams.progressObserver = [&](QProgressDialog& dialog) {
        if (progressTaken)
            return;
        if (!dialog.isVisible()) {
            QThread::msleep(600); // the dialog appears at the next step
            return;
        }
        progressTaken = true;
        grab(dialog, "progress.png");
    };
    // Message boxes are modal: each is taken and closed from a timer, the
    // first as message.png, the second as notice.png.
    int boxes = 0;
    QTimer boxCloser;
    boxCloser.setInterval(500);
    QObject::connect(&boxCloser, &QTimer::timeout, &app, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        boxCloser.stop();
        grab(*box, boxes++ == 0 ? "message.png" : "notice.png");
        box->accept();
        boxCloser.start();
    });
    boxCloser.start();
    TfrmMain window(seams);
    window.show();
    QTimer::singleShot(800, &app, [&] {
        grab(window, "start.png");
        if (sequence.isEmpty()) {
            window.close();
            return;
        }
        window.btOpenSeqFile->click();
        window.btExecute->click();
        grab(window, "main.png");
        window.Print1->trigger();
        emit window.lbAbout->clicked();
        window.btSpectrumPlot->click();
        window.plotWindow()->move(window.x() + 120, window.y() + 60);
        grab(*window.plotWindow(), "spectrum.png");
        window.plotWindow()->saveSvg(folder + QStringLiteral("spectrum.svg"));
        window.plotWindow()->savePng(folder + QStringLiteral("spectrum-saved.png"));
        window.cbMatrix->setChecked(true);
        window.btExecute->click();
        window.plotWindow()->showChart(SpectrumPlotWindow::Chart::FromToMatrix);
        grab(*window.plotWindow(), "matrix.png");
        window.plotWindow()->saveSvg(folder + QStringLiteral("matrix.svg"));
        window.plotWindow()->close();
        window.cbMatrix->setChecked(false);

        const QString bad = QFileInfo(sequence).absolutePath() + QStringLiteral("/decimal_comma.txt");
        QFile file(bad);
        if (file.open(QIODevice::WriteOnly))
            file.write("12.5\n13,5\n14\n");
        file.close();
        window.openFile(bad);

        if (!largeLoads.isEmpty()) {
            chosen = largeLoads;
            window.btOpenSeqFile->click();
            window.btExecute->click();
            grab(window, "large.png");
        }
        if (!longSequence.isEmpty()) {
            chosen = longSequence;
            window.btOpenSeqFile->click();
            window.btExecute->click();
        }
        window.close();
    });
    app.exec();
    return status;
}
