// Saves pictures of the windows, for looking at the layout under a real X
// server:
//   XDG_CONFIG_HOME=<temporary folder> xvfb-run -a -s "-screen 0 1280x1024x24"
//     ./tessivo_screenshot <folder> [sequence-file [long-sequence-file]]
// Without a sequence file: main.png of the window at start. With one:
// main.png after it has been opened and counted, about.png, spectrum.png
// (the plot of that report) and matrix.png (the same file counted in load
// bins), with the plots' SVG exports spectrum.svg and matrix.svg. With a
// long sequence file too: progress.png while it is counted.
#include "app_identity.h"
#include "link_label.h"
#include "main_window.h"
#include "load_plot_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

namespace {

bool grabScreen(QWidget& window, const QString& target)
{
    QEventLoop settle;
    QTimer::singleShot(800, &settle, &QEventLoop::quit);
    settle.exec();
    return window.screen()->grabWindow(0).save(target);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString sequence = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString longSequence = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    int status = 0;
    const auto grab = [&](QWidget& window, const char* name) {
        if (!grabScreen(window, folder + QLatin1String(name)))
            status = 1;
    };
    QString chosen = sequence;
    bool progressTaken = false;
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(chosen);
            return true;
        }
        dialog.show();
        grab(dialog, "about.png");
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
    TfrmMain window(seams);
    window.show();
    QTimer::singleShot(800, &app, [&] {
        if (sequence.isEmpty()) {
            grab(window, "main.png");
            window.close();
            return;
        }
        window.btOpenSeqFile->click();
        window.btExecute->click();
        grab(window, "main.png");
        emit window.lbAbout->clicked();
        window.btSpectrumPlot->click();
        window.plotWindow()->move(window.x() + 120, window.y() + 60);
        grab(*window.plotWindow(), "spectrum.png");
        window.plotWindow()->saveSvg(folder + QStringLiteral("spectrum.svg"));
        window.cbMatrix->setChecked(true);
        window.btExecute->click();
        window.plotWindow()->showChart(SpectrumPlotWindow::Chart::FromToMatrix);
        grab(*window.plotWindow(), "matrix.png");
        window.plotWindow()->saveSvg(folder + QStringLiteral("matrix.svg"));
        window.plotWindow()->close();
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
