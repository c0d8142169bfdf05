#include "app_identity.h"
#include "main_window.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    TfrmMain frmMain;
    frmMain.show();
    return app.exec();
}
