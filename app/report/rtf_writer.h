#pragma once
// Rich Text Format of a QTextDocument: what Save writes and what Copy puts on
// the clipboard as text/rtf, so that word processors show the report as the
// pane does.
//
// Kept: paragraphs (with their left, centred or right alignment), tab stops
// (from ReportPane::kTabStopPointsProperty when a block has it, else from its
// tab positions at 96 dots per inch), and per run of text the font family,
// size, bold, italic and underline; a family or size a run leaves open comes
// from the document's default font. Tabs become \tab, line breaks within a
// paragraph \line, characters outside printable ASCII \uN\'3f escapes (UTF-16
// units, signed, as RTF wants), so the output is plain ASCII. Images and other
// objects are left out. Does not throw.

#include <QByteArray>

class QTextDocument;

QByteArray documentToRtf(const QTextDocument& document);
