#pragma once
// The cumulative load spectrum of a count: load range against the number of
// cycles of that range or larger, on a logarithmic cycle axis, drawn as the
// step curve of fatigue practice. Each table line is one step: the curve
// runs at the line's range out to its cumulative number, then drops to the
// next range, and after the last line down to zero.

#include "document/spectrum_plot_data.h"

#include <QChar>
#include <QRectF>

class QPainter;

void paintLoadSpectrum(QPainter& painter, const QRectF& bounds, const SpectrumPlotData& data,
                       QChar decimalSeparator = u'.');
