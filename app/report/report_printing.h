#pragma once
// Prints a rich-text document as one job, laid out anew inside the margins
// of the printer's page setup. The layout works at 96 dots per inch, the
// pane's own resolution, so pixel-sized fonts and tab stops keep their size
// on paper.
//
// Pages break between lines, never through one. When the table of load
// cycles (the paragraph "Load cycles" followed by its two heading lines)
// runs over a page, its heading lines are repeated at the top of each page
// it continues on. Each page ends with a footer line: `footer` (when not
// empty) on the left, "Page n of m" on the right. Throws AppError when the
// printer cannot be started.

#include <QString>

class QPrinter;
class QTextDocument;

void printDocument(const QTextDocument& document, QPrinter& printer, const QString& jobName,
                   const QString& footer = {});

// "The printer could not be started."
QString printerFailedMessage();
