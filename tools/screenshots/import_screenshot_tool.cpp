// Saves pictures of the Import dialog and the channel list under a real X
// server with a window manager (scripts/screenshots runs it):
//   tessivo_import_screenshot <folder> <table-file> [column [del-exponents]]
// import.png: the dialog on the table with the column chosen (default: the
// dialog's own choice); imported.png: the main window after OK and Execute;
// channels.png: the channel list of the same table, counted with the
// exponents of the damage-equivalent loads when given. Each picture is the
// window with its frame, cut from the screen.
#include "support/app_identity.h"
#include "channels/channel_list_window.h"
#include "import/table_import_dialog.h"
#include "main_window/main_window.h"
#include "screenshot_support.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

namespace {

void waitFor(ChannelListWindow& list)
{
    if (!list.counting())
        return;
    QEventLoop loop;
    QObject::connect(&list, &ChannelListWindow::counted, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    if (argc < 3)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]) + u'/';
    const QString table = QString::fromLocal8Bit(argv[2]);
    const QString column = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QString exponents = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();
    int status = 0;
    const auto grab = [&](QWidget& window, const char* name) {
        if (!grabFramed(window, folder + QLatin1String(name)))
            status = 1;
    };
    MainWindowSeams seams;
    seams.runModal = [&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(table);
            return true;
        }
        auto* import = qobject_cast<TableImportDialog*>(&dialog);
        if (import && !column.isEmpty() && !chooseColumn(*import, column))
            status = 1;
        dialog.show();
        grab(dialog, "import.png");
        dialog.hide();
        return import != nullptr;
    };
    TfrmMain window(seams);
    window.show();
    QTimer::singleShot(800, &app, [&] {
        window.btImportTable->click();
        window.btExecute->click();
        grab(window, "imported.png");
        window.btChannels->click();
        ChannelListWindow* list = window.channelWindow();
        if (!list) {
            status = 1;
            window.close();
            return;
        }
        list->move(window.x() + 60, window.y() + 120);
        waitFor(*list);
        if (!exponents.isEmpty()) {
            list->delEdit->setText(exponents);
            list->countButton->click();
            waitFor(*list);
        }
        if (list->table->rowCount() == 0)
            status = 1;
        grab(*list, "channels.png");
        list->close();
        window.close();
    });
    app.exec();
    return status;
}
