#pragma once
// The report as paper and RTF carry it: the header's lines before it and,
// when there are any, further results (the fatigue window's) after it.

#include <QStringList>
#include <memory>

class QTextDocument;

// A copy of the report with the header's lines before it (the heading in
// bold, tab stops at 0 and 135 points) and an empty line between; the
// trailer's lines follow the report after an empty line, the first in bold.
std::unique_ptr<QTextDocument> documentWithHeader(const QTextDocument& report, const QStringList& headerLines,
                                                  const QStringList& trailerLines = {});
