#pragma once
// A path shortened to a width for a label: the folders give way first, cut
// in their middle ("/home/anna/lo…/tests/wisperx.txt"), so that the start of
// the path and the file's name stay readable; a name too wide to stand
// beside an ellipsis has the whole path cut in its middle. A path that fits is returned unchanged.

#include <QString>

class QFontMetrics;

QString elidedPath(const QString& path, const QFontMetrics& metrics, int width);
