// Saves pictures of the Import dialog, for looking at it under a real X server:
//   XDG_CONFIG_HOME=<temporary folder> xvfb-run -a -s "-screen 0 1280x1024x24"
//     ./tessivo_import_screenshot <folder> <table-file>
// import.png: the dialog on the table; imported.png: the main window after OK.
#include "support/app_identity.h"
#include "import/table_import_dialog.h"
#include "main_window/main_window.h"
#include "screenshot_support.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString table = QString::fromLocal8Bit(argv[2]);
    int status = 0;
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(table);
            return true;
        }
        dialog.show();
        if (!grabScreen(dialog, folder + QStringLiteral("import.png")))
            status = 1;
        return qobject_cast<TableImportDialog*>(&dialog) != nullptr;
    };
    TfrmMain window(seams);
    window.show();
    QTimer::singleShot(800, &app, [&] {
        window.btImportTable->click();
        if (!grabScreen(window, folder + QStringLiteral("imported.png")))
            status = 1;
        window.close();
    });
    app.exec();
    return status;
}
