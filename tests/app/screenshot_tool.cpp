// Shows the main window and saves a picture of the whole screen, for looking
// at the layout under a real X server:
//   XDG_CONFIG_HOME=<temporary folder> xvfb-run -a -s "-screen 0 1280x1024x24" ./tessivo_screenshot out.png
#include "app_identity.h"
#include "main_window.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 2)
        return 2;
    const QString target = QString::fromLocal8Bit(argv[1]);
    TfrmMain window;
    window.show();
    int status = 1;
    QTimer::singleShot(800, &app, [&] {
        status = window.screen()->grabWindow(0).save(target) ? 0 : 1;
        window.close();
    });
    app.exec();
    return status;
}
