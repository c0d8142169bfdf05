#pragma once
// The from-to matrix of a count in load classes as a heat map: one square
// per pair of classes, the class a transition starts from upwards and the
// class it goes to rightwards, both on the load scale of the class edges.
// Empty cells stay white; the others are coloured on a logarithmic scale of
// their count, which the colour bar on the right explains.

#include "document/spectrum_plot_data.h"

#include <QChar>
#include <QColor>
#include <QRectF>

class QPainter;

// The colour of a cell whose count is `count`, of at most `largest`: white
// for 0, then from dark violet (1) to yellow (largest) by log(count).
QColor heatColour(std::int32_t count, std::int32_t largest);
// The same for counts with half cycles: below 1 they take the colour of 1.
QColor heatColour(double count, double largest);
// The colour bar of that scale right of `plot`, with a tick at each power of ten.
void drawHeatColourBar(QPainter& painter, const QRectF& plot, double largest);

void paintFromToMatrix(QPainter& painter, const QRectF& bounds, const SpectrumPlotData& data,
                       QChar decimalSeparator = u'.');
