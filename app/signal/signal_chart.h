#pragma once
// The picture of the signal plot: the load over its position in the combined
// sequence, one min/max stroke per pixel column; the reversals that the
// filter kept, each with the filter band that it absorbs; the class edges of
// a count in load bins as grid lines; and the marked cycles.

#include "document/signal_data.h"

#include <QChar>
#include <QRectF>

class QPainter;

// The positions on show, [first, end), in values of the combined sequence.
struct SignalWindow {
    double first = 0.0;
    double end = 1.0;
    double span() const { return end - first; }
};

// The plot area inside a picture of these bounds.
QRectF signalPlotArea(const QRectF& bounds);

// Position under x of the plot area, and x of a position.
double signalPositionAt(const QRectF& plot, const SignalWindow& window, double x);
double signalXOf(const QRectF& plot, const SignalWindow& window, double position);

// Reversals are marked and their bands drawn only while at most this many are on show.
inline constexpr int kMaxMarkedReversals = 1500;

// selectedMark indexes data.marks(), or -1.
void paintSignal(QPainter& painter, const QRectF& bounds, const SignalData& data, const SignalWindow& window,
                 int selectedMark, QChar decimalSeparator);
