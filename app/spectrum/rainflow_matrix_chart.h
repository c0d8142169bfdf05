#pragma once
// A rainflow matrix (from-to or range-mean) as a heat map: one cell per pair
// of classes, the row classes upwards and the column classes rightwards,
// both axes on the load scale of their class edges. Empty cells stay white;
// the others are coloured on a logarithmic scale of their count, which the
// colour bar on the right explains.

#include "engine/fatigue/rainflow_matrix.h"

#include <QChar>
#include <QRectF>
#include <optional>
#include <utility>

class QPainter;

// Where the cells lie inside a picture of these bounds.
QRectF rainflowMatrixArea(const QRectF& bounds);

// The cell (row, column) under `point` of a picture of these bounds, if any.
std::optional<std::pair<std::size_t, std::size_t>> rainflowMatrixCellAt(const tessivo::fatigue::RainflowMatrix& matrix,
                                                                        const QRectF& bounds, QPointF point);

void paintRainflowMatrix(QPainter& painter, const QRectF& bounds, const tessivo::fatigue::RainflowMatrix& matrix,
                         QChar decimalSeparator = u'.');
