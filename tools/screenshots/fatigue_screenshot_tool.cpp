// Saves pictures of the fatigue window after a run, for looking at its
// layout under a real X server:
//   XDG_CONFIG_HOME=<temporary folder> xvfb-run -a -s "-screen 0 1280x1024x24"
//     ./tessivo_fatigue_screenshot <folder> <sequence-file>
// fatigue-table.png shows the table of cycles, fatigue-plot.png the S-N plot.
#include "support/app_identity.h"
#include "fatigue/fatigue_window.h"
#include "main_window/main_window.h"
#include "screenshot_support.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString sequence = QString::fromLocal8Bit(argv[2]);
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog))
            files->selectFile(sequence);
        return true;
    };
    TfrmMain window(seams);
    window.show();
    int status = 0;
    QTimer::singleShot(800, &app, [&] {
        window.btOpenSeqFile->click();
        window.btExecute->click();
        window.btFatigue->click();
        FatigueWindow* fatigue = window.fatigueWindow();
        fatigue->move(window.x() + 40, window.y() + 40);
        fatigue->cbCurve->setCurrentIndex(fatigue->cbCurve->findData(QStringLiteral("EC3-36")));
        fatigue->edDel->setText(QStringLiteral("3 4 5 10"));
        fatigue->edDuration->setText(QStringLiteral("3600"));
        if (!grabScreen(*fatigue, folder + QStringLiteral("fatigue-table.png")))
            status = 1;
        fatigue->tabResults->setCurrentIndex(1);
        if (!grabScreen(*fatigue, folder + QStringLiteral("fatigue-plot.png")))
            status = 1;
        fatigue->close();
        window.close();
    });
    app.exec();
    return status;
}
