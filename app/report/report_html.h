#pragma once
// HTML of a report document for the clipboard. HTML has no tab stops, so
// each run of paragraphs that share the report's stops
// (ReportPane::kTabStopPointsProperty) and hold tabs becomes one table whose
// columns are as wide as the gaps between those stops: a word processor or
// a mail program then shows the columns where the pane shows them. Other
// paragraphs stay paragraphs. Bold, italic and underline are kept per run of
// text; the document's default font is the body's font. Does not throw.

#include <QString>

class QTextDocument;

QString documentToHtml(const QTextDocument& document);
