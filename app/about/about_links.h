#pragma once
// Where the About window leads: the maker's web pages and the user manual
// that ships with the program, in one place.

#include <QString>

inline const QString kMakerHost = QStringLiteral("www.morvane-engineering.example");
inline const QString kMakerHomePage = QStringLiteral("https://www.morvane-engineering.example/");
inline const QString kProductPage = QStringLiteral("https://www.morvane-engineering.example/tessivo");
inline const QString kMakerName = QStringLiteral("Morvane Engineering");

// The manual's first page as installed with the program: manual/index.html
// beside the executable (a build or an unpacked copy), then
// ../share/doc/tessivo/manual/index.html from it (an installed package).
// Empty when neither exists.
QString installedManual(const QString& programDir);

// What Help opens: the installed manual, so that Help works without a
// network, else the product's page.
QString helpTarget(const QString& programDir);
