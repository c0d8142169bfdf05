#include "main_window/dropped_file.h"

#include <QMimeData>
#include <QUrl>

QString droppedSequenceFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile() && !url.toLocalFile().isEmpty())
            return url.toLocalFile();
    }
    return {};
}
