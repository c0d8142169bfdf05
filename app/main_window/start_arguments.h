#pragma once
// The desktop program's command line: `tessivo [file]`. A desktop entry
// passes the file that the user opened with Tessivo; the window then opens
// it as if it had been chosen in the Open dialog.

#include <QString>
#include <QStringList>

struct StartArguments {
    QString sequenceFile; // absolute, or empty
    bool help = false;
    bool version = false;
    QString error; // a command line that cannot be used, else empty
};

// `arguments` as QCoreApplication::arguments() gives them, the program first
// and the toolkit's own options already taken out. A relative path is taken
// from the current folder; a file: URL stands for its local file.
StartArguments parseStartArguments(const QStringList& arguments);

// The usage text shown for --help and after an error.
QString startUsage();
