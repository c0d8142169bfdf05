#include "app_identity.h"
#include "main_window.h"
#include "start_arguments.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    const StartArguments start = parseStartArguments(QCoreApplication::arguments());
    if (!start.error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(start.error), qPrintable(startUsage()));
        return 2;
    }
    if (start.help || start.version) {
        const QString text = start.help ? startUsage()
                                        : QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    TfrmMain frmMain;
    frmMain.show();
    if (!start.sequenceFile.isEmpty())
        frmMain.queueOpenFile(start.sequenceFile);
    return app.exec();
}
