#include "main_window/start_arguments.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QUrl>

namespace {

void describe(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Counts the load cycles of a load sequence by the rainflow method."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("A sequence file to open at start."),
                                 QStringLiteral("[file]"));
}

QString localPath(const QString& argument)
{
    const QUrl url(argument);
    if (url.isLocalFile())
        return QFileInfo(url.toLocalFile()).absoluteFilePath();
    return QFileInfo(argument).absoluteFilePath();
}

} // namespace

StartArguments parseStartArguments(const QStringList& arguments)
{
    QCommandLineParser parser;
    describe(parser);
    StartArguments start;
    if (!parser.parse(arguments)) {
        start.error = parser.errorText();
        return start;
    }
    start.help = parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"));
    start.version = parser.isSet(QStringLiteral("version"));
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        start.error = QStringLiteral("Only one sequence file can be opened at a time.");
    else if (files.size() == 1 && !files[0].isEmpty())
        start.sequenceFile = localPath(files[0]);
    return start;
}

QString startUsage()
{
    QCommandLineParser parser;
    describe(parser);
    return parser.helpText();
}
