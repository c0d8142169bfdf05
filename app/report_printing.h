#pragma once
// Prints a rich-text document as one job: laid out anew over the printer's
// whole printable area, without margins of its own and without page numbers,
// a new page whenever one is full. The layout works at 96 dots per inch, the
// pane's own resolution, so pixel-sized fonts and tab stops keep their size
// on paper. Throws AppError when the printer cannot be started.

#include <QString>

class QPrinter;
class QTextDocument;

void printDocument(const QTextDocument& document, QPrinter& printer, const QString& jobName);

// "The printer could not be started."
QString printerFailedMessage();
