#include "main_window/path_elision.h"

#include <QFontMetrics>

QString elidedPath(const QString& path, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(path) <= width)
        return path;
    const qsizetype slash = path.lastIndexOf(u'/');
    const QString name = path.mid(slash + 1);
    const QString folder = path.left(slash + 1);
    const int nameWidth = metrics.horizontalAdvance(name);
    const int ellipsis = metrics.horizontalAdvance(QChar(0x2026));
    if (folder.isEmpty() || nameWidth + ellipsis > width)
        return metrics.elidedText(path, Qt::ElideMiddle, width);
    return metrics.elidedText(folder, Qt::ElideMiddle, width - nameWidth) + name;
}
