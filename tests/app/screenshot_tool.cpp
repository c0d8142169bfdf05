// Shows the main window and saves a picture of the whole screen, for looking
// at the layout under a real X server:
//   XDG_CONFIG_HOME=<temporary folder> xvfb-run -a -s "-screen 0 1280x1024x24"
//     ./tessivo_screenshot out.png [sequence-file [about.png]]
// With a sequence file, the picture is taken after it has been opened and
// counted; with a second picture name, the About window is pictured too.
#include "app_identity.h"
#include "link_label.h"
#include "main_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QPushButton>
#include <QScreen>
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
    const QString target = QString::fromLocal8Bit(argv[1]);
    const QString sequence = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString aboutTarget = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    int status = 0;
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(sequence);
            return true;
        }
        dialog.show();
        if (!grabScreen(dialog, aboutTarget))
            status = 1;
        return true;
    };
    TfrmMain window(seams);
    window.show();
    QTimer::singleShot(800, &app, [&] {
        if (!sequence.isEmpty()) {
            window.btOpenSeqFile->click();
            window.btExecute->click();
        }
        if (!grabScreen(window, target))
            status = 1;
        if (!aboutTarget.isEmpty())
            emit window.lbAbout->clicked();
        window.close();
    });
    app.exec();
    return status;
}
