#pragma once
// Tab stops widened to fit what the report's columns hold. The report's
// stops (55 points apart for the table of load cycles) are a minimum: a
// column whose widest field, measured with that field's own font, does not
// leave a blank's width before the next stop moves that stop and every stop
// after it to the right by the difference. Loads in the hundreds of
// thousands would otherwise run past the stop and push the rest of the line
// under the wrong headings.
//
// Works on runs of consecutive blocks that carry the same stops under
// ReportPane::kTabStopPointsProperty, so that the pane, its printout, its RTF
// and its HTML, which all read those stops, agree. Stops stay whole points.
// Blocks without the property are left as they are. Does not throw.

#include <QList>

class QTextDocument;

void fitTabStopsToText(QTextDocument& document);

// The stops for fields of the given widths (points; field i starts at stop
// i), keeping `minimum` as the least. `gap` is the room left after a field.
QList<int> fittedStops(const QList<int>& minimum, const QList<double>& fieldWidths, double gap);
