#pragma once
// Who the program is: its title, the names that place its per-user files, and
// the fonts its fixed layout was drawn for.

#include <QString>

class QApplication;

inline const QString kApplicationTitle = QStringLiteral("Tessivo - Rainflow Counting Software");

// Organization "Morvane Engineering", application "Tessivo" (so the store is
// <config>/Morvane Engineering/Tessivo.reg), the window icon and the desktop entry.
void applyApplicationIdentity(QApplication& app);

// The names and the version alone, which need no display: for the text
// that --help and --version print.
void applyApplicationNames();

// The layout's sizes were made for "MS Sans Serif" 8 pt and "Tahoma" 10 pt,
// which Linux lacks; Liberation Sans has the matching metrics. Idempotent.
void installFontSubstitutions();
