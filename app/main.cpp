#include "support/app_identity.h"
#include "main_window/main_window.h"
#include "main_window/start_arguments.h"

#include <QApplication>
#include <cstdio>

namespace {

QStringList rawArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// --help and --version print their text without a display. The toolkit's own
// options are not known here, so other errors wait for the full parse.
bool printedText(int argc, char* argv[])
{
    const StartArguments start = parseStartArguments(rawArguments(argc, argv));
    if (!start.help && !start.version)
        return false;
    QCoreApplication core(argc, argv);
    applyApplicationNames();
    const QString text =
        start.help ? startUsage()
                   : QCoreApplication::applicationName() + u' ' + QCoreApplication::applicationVersion() + u'\n';
    std::fputs(qPrintable(text), stdout);
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    if (printedText(argc, argv))
        return 0;
    QApplication app(argc, argv);
    applyApplicationIdentity(app);
    const StartArguments start = parseStartArguments(QCoreApplication::arguments());
    if (!start.error.isEmpty()) {
        std::fprintf(stderr, "%s\n\n%s", qPrintable(start.error), qPrintable(startUsage()));
        return 2;
    }
    TfrmMain frmMain;
    frmMain.show();
    if (!start.sequenceFile.isEmpty())
        frmMain.queueOpenFile(start.sequenceFile);
    return app.exec();
}
