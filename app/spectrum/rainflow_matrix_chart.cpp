#include "spectrum/rainflow_matrix_chart.h"

#include "charts/chart_axes.h"
#include "charts/chart_painting.h"
#include "spectrum/from_to_matrix_chart.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

using tessivo::fatigue::MatrixKind;
using tessivo::fatigue::RainflowMatrix;

namespace {

ChartMargins matrixMargins()
{
    ChartMargins margins;
    margins.right = 96.0; // the colour bar
    return margins;
}

// Ticks at round loads between the first and the last edge, along one side.
void drawEdgeAxis(QPainter& painter, const QRectF& area, const std::vector<long double>& edges, bool horizontal,
                  QChar separator)
{
    const double low = static_cast<double>(edges.front());
    const double high = static_cast<double>(edges.back());
    const double span = high - low;
    if (!(span > 0.0) || !std::isfinite(span))
        return;
    const LinearAxis axis = linearAxis(low, high, horizontal ? 8 : 6);
    for (const double tick : axis.ticks) {
        const double share = (tick - low) / span;
        if (share < -1e-9 || share > 1.0 + 1e-9)
            continue;
        const QString label = linearTickLabel(tick, axis.step, separator);
        if (horizontal) {
            const double x = area.left() + share * area.width();
            painter.drawLine(QPointF(x, area.bottom()), QPointF(x, area.bottom() + 5.0));
            drawXTickLabel(painter, x, area.bottom(), label);
        } else {
            const double y = area.bottom() - share * area.height();
            painter.drawLine(QPointF(area.left() - 5.0, y), QPointF(area.left(), y));
            drawYTickLabel(painter, area.left() - 2.0, y, label);
        }
    }
}

} // namespace

QRectF rainflowMatrixArea(const QRectF& bounds)
{
    const ChartMargins m = matrixMargins();
    return bounds.adjusted(m.left, m.top, -m.right, -m.bottom);
}

std::optional<std::pair<std::size_t, std::size_t>> rainflowMatrixCellAt(const RainflowMatrix& matrix,
                                                                        const QRectF& bounds, QPointF point)
{
    const QRectF area = rainflowMatrixArea(bounds);
    if (matrix.rows() == 0 || matrix.columns() == 0 || !area.contains(point))
        return std::nullopt;
    const auto column = static_cast<std::size_t>((point.x() - area.left()) / area.width() * matrix.columns());
    const auto row = static_cast<std::size_t>((area.bottom() - point.y()) / area.height() * matrix.rows());
    return std::pair{std::min(row, matrix.rows() - 1), std::min(column, matrix.columns() - 1)};
}

void paintRainflowMatrix(QPainter& painter, const QRectF& bounds, const RainflowMatrix& matrix, QChar separator)
{
    painter.save();
    const bool fromTo = matrix.kind == MatrixKind::FromTo;
    const QString title = QStringLiteral("%1 matrix (%2 x %3 classes)")
                              .arg(fromTo ? QStringLiteral("From-to") : QStringLiteral("Range-mean"))
                              .arg(matrix.rows())
                              .arg(matrix.columns());
    const QRectF area = drawChartFrame(painter, bounds, matrixMargins(), title,
                                       fromTo ? QStringLiteral("To load (minimum)") : QStringLiteral("Mean load"),
                                       fromTo ? QStringLiteral("From load (maximum)") : QStringLiteral("Range"));
    if (matrix.rows() == 0 || matrix.columns() == 0) {
        drawEmptyNote(painter, area, QStringLiteral("No cycles were counted."));
        painter.restore();
        return;
    }
    const double largest = static_cast<double>(*std::max_element(matrix.counts.begin(), matrix.counts.end()));
    const double width = area.width() / static_cast<double>(matrix.columns());
    const double height = area.height() / static_cast<double>(matrix.rows());
    painter.setPen(Qt::NoPen);
    for (std::size_t r = 0; r < matrix.rows(); ++r) {
        for (std::size_t c = 0; c < matrix.columns(); ++c) {
            const double count = static_cast<double>(matrix.count(r, c));
            if (!(count > 0.0))
                continue;
            // Cells overlap by a fraction of a pixel so that no seam shows between them.
            const QRectF cell(area.left() + c * width, area.bottom() - (r + 1) * height, width + 0.5, height + 0.5);
            painter.fillRect(cell.intersected(area), heatColour(count, largest));
        }
    }
    if (width >= 6.0 && height >= 6.0) {
        painter.setPen(QPen(kChartGrid, 0.5));
        for (std::size_t c = 1; c < matrix.columns(); ++c)
            painter.drawLine(QPointF(area.left() + c * width, area.top()),
                             QPointF(area.left() + c * width, area.bottom()));
        for (std::size_t r = 1; r < matrix.rows(); ++r)
            painter.drawLine(QPointF(area.left(), area.bottom() - r * height),
                             QPointF(area.right(), area.bottom() - r * height));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kChartInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
    drawEdgeAxis(painter, area, matrix.columnEdges, true, separator);
    drawEdgeAxis(painter, area, matrix.rowEdges, false, separator);
    drawHeatColourBar(painter, area, std::max(largest, 1.0));
    painter.restore();
}
