#pragma once
// Files dragged onto the window from a file manager.

#include <QString>

class QMimeData;

// The local path of the first local file among the dragged URLs, else empty.
QString droppedSequenceFile(const QMimeData* data);
