#pragma once
// Reads RTF back with an independent reader (unrtf, Debian's package of that
// name), so the writer is checked against what other programs see.

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QTextDocument>

inline bool unrtfInstalled()
{
    return !QStandardPaths::findExecutable(QStringLiteral("unrtf")).isEmpty();
}

// unrtf's HTML rendering of the file.
inline QString unrtfHtml(const QString& file)
{
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), file});
    unrtf.waitForFinished(30000);
    return QString::fromUtf8(unrtf.readAllStandardOutput());
}

// The text unrtf finds, one line per paragraph. unrtf renders a tab as a run
// of blanks, so every run of blanks or tabs becomes one tab, in the text read
// back and in the text it is compared with (see tabsFolded).
inline QString tabsFolded(QString text)
{
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\x{00a0}]+"));
    text.replace(blanks, QStringLiteral("\t"));
    return text;
}

inline QString unrtfText(const QString& file)
{
    QTextDocument html;
    html.setHtml(unrtfHtml(file));
    return tabsFolded(html.toPlainText()).trimmed();
}
