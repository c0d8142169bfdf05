#include "about/about_links.h"

#include <QDir>
#include <QFileInfo>

QString installedManual(const QString& programDir)
{
    const QDir dir(programDir);
    const QString candidates[] = {QStringLiteral("manual/index.html"),
                                  QStringLiteral("../share/doc/tessivo/manual/index.html")};
    for (const QString& candidate : candidates) {
        const QFileInfo page(dir.filePath(candidate));
        if (page.isFile())
            return QDir::cleanPath(page.absoluteFilePath());
    }
    return {};
}

QString helpTarget(const QString& programDir)
{
    const QString manual = installedManual(programDir);
    return manual.isEmpty() ? kProductPage : manual;
}
