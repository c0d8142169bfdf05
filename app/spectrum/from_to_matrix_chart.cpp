#include "spectrum/from_to_matrix_chart.h"

#include "charts/chart_axes.h"
#include "charts/chart_painting.h"

#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Stops of a perceptually even scale from violet over blue and green to yellow.
const QColor kScale[] = {QColor(0x44, 0x01, 0x54), QColor(0x3b, 0x52, 0x8b), QColor(0x21, 0x91, 0x8c),
                         QColor(0x5e, 0xc9, 0x62), QColor(0xfd, 0xe7, 0x25)};
constexpr int kScaleStops = 5;
constexpr double kBarWidth = 16.0;
constexpr double kBarGap = 18.0;

QColor scaleColour(double t)
{
    const double position = std::clamp(t, 0.0, 1.0) * (kScaleStops - 1);
    const int i = std::min(static_cast<int>(position), kScaleStops - 2);
    const double f = position - i;
    const QColor& a = kScale[i];
    const QColor& b = kScale[i + 1];
    return QColor::fromRgbF(a.redF() + f * (b.redF() - a.redF()), a.greenF() + f * (b.greenF() - a.greenF()),
                            a.blueF() + f * (b.blueF() - a.blueF()));
}

double logShare(double count, double largest)
{
    return largest > 1.0 ? std::log(count) / std::log(largest) : 1.0;
}

std::int32_t largestCell(const SpectrumPlotData& data)
{
    return data.matrix.empty() ? 0 : *std::max_element(data.matrix.begin(), data.matrix.end());
}

// The load axes: ticks at round loads inside the span of the classes.
void drawLoadAxes(QPainter& painter, const QRectF& square, const SpectrumPlotData& data, QChar separator)
{
    const double span = data.highestLoad - data.lowestLoad;
    if (!(span > 0.0) || !std::isfinite(span))
        return;
    const LinearAxis axis = linearAxis(data.lowestLoad, data.highestLoad, 6);
    painter.setPen(kChartInk);
    for (const double tick : axis.ticks) {
        const double share = (tick - data.lowestLoad) / span;
        if (share < -1e-9 || share > 1.0 + 1e-9)
            continue;
        const QString label = linearTickLabel(tick, axis.step, separator);
        const double x = square.left() + share * square.width();
        painter.drawLine(QPointF(x, square.bottom()), QPointF(x, square.bottom() + 5.0));
        drawXTickLabel(painter, x, square.bottom(), label);
        const double y = square.bottom() - share * square.height();
        painter.drawLine(QPointF(square.left() - 5.0, y), QPointF(square.left(), y));
        drawYTickLabel(painter, square.left() - 2.0, y, label);
    }
}

void drawCells(QPainter& painter, const QRectF& square, const SpectrumPlotData& data, std::int32_t largest)
{
    const double side = square.width() / data.binCount;
    painter.setPen(Qt::NoPen);
    for (std::int32_t from = 1; from <= data.binCount; ++from) {
        for (std::int32_t to = 1; to <= data.binCount; ++to) {
            const std::int32_t count = data.cell(from, to);
            if (count <= 0)
                continue;
            // Cells overlap by a fraction of a pixel so that no seam shows between them.
            const QRectF cell(square.left() + (to - 1) * side, square.bottom() - from * side, side + 0.5, side + 0.5);
            painter.fillRect(cell.intersected(square), heatColour(count, largest));
        }
    }
    if (side >= 6.0) {
        painter.setPen(QPen(kChartGrid, 0.5));
        for (std::int32_t k = 1; k < data.binCount; ++k) {
            painter.drawLine(QPointF(square.left() + k * side, square.top()),
                             QPointF(square.left() + k * side, square.bottom()));
            painter.drawLine(QPointF(square.left(), square.top() + k * side),
                             QPointF(square.right(), square.top() + k * side));
        }
    }
    painter.setPen(QPen(QColor(0x90, 0x90, 0x90), 1.0, Qt::DashLine));
    painter.drawLine(square.bottomLeft(), square.topRight());
}

} // namespace

void drawHeatColourBar(QPainter& painter, const QRectF& square, double largest)
{
    const QRectF bar(square.right() + kBarGap, square.top(), kBarWidth, square.height());
    QLinearGradient gradient(bar.bottomLeft(), bar.topLeft());
    for (int i = 0; i < kScaleStops; ++i)
        gradient.setColorAt(static_cast<double>(i) / (kScaleStops - 1), kScale[i]);
    painter.fillRect(bar, gradient);
    painter.setPen(kChartInk);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bar);
    // 1 at the bottom, the largest count at the top, the powers of ten
    // between that leave room for their labels.
    std::vector<double> labelled{1.0};
    for (double count = 10.0; count < largest; count *= 10.0) {
        if (bar.height() * (1.0 - logShare(count, largest)) >= 14.0)
            labelled.push_back(count);
    }
    if (largest > 1.0)
        labelled.push_back(largest);
    for (const double count : labelled) {
        const double y = bar.bottom() - logShare(count, largest) * bar.height();
        painter.drawLine(QPointF(bar.right(), y), QPointF(bar.right() + 4.0, y));
        drawScaleLabel(painter, bar.right() + 2.0, y, QString::number(count, 'g', 6));
    }
    painter.save();
    painter.setFont(chartFont(11));
    painter.drawText(QRectF(bar.left() - 20.0, bar.top() - 20.0, bar.width() + 60.0, 16.0),
                     Qt::AlignLeft | Qt::AlignBottom, QStringLiteral("cycles"));
    painter.restore();
}

QColor heatColour(double count, double largest)
{
    if (!(count > 0.0))
        return Qt::white;
    return scaleColour(logShare(std::max(count, 1.0), std::max(largest, count)));
}

QColor heatColour(std::int32_t count, std::int32_t largest)
{
    if (count <= 0)
        return Qt::white;
    return scaleColour(logShare(count, std::max(largest, count)));
}

void paintFromToMatrix(QPainter& painter, const QRectF& bounds, const SpectrumPlotData& data, QChar decimalSeparator)
{
    painter.save();
    ChartMargins margins;
    margins.right = 96.0;
    const QString suffix = data.normalized           ? QStringLiteral(" / highest peak")
                           : data.loadUnit.isEmpty() ? QString()
                                                     : QStringLiteral(" (") + data.loadUnit + u')';
    const QString title = QStringLiteral("From-to matrix (%1 x %1 load classes)").arg(data.binCount);
    // The cells are square: the margins take what the shorter side leaves over.
    const double width = bounds.width() - margins.left - margins.right;
    const double height = bounds.height() - margins.top - margins.bottom;
    const double side = std::max(std::min(width, height), 1.0);
    margins.left += (width - side) / 2.0;
    margins.right += (width - side) / 2.0;
    margins.top += (height - side) / 2.0;
    margins.bottom += (height - side) / 2.0;
    const QRectF square = drawChartFrame(painter, bounds, margins, title, QStringLiteral("To load") + suffix,
                                         QStringLiteral("From load") + suffix);
    if (!data.hasMatrix()) {
        drawEmptyNote(painter, square, QStringLiteral("The count did not use load classes."));
        painter.restore();
        return;
    }
    const std::int32_t largest = largestCell(data);
    drawCells(painter, square, data, largest);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kChartInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(square);
    drawLoadAxes(painter, square, data, decimalSeparator);
    if (largest > 0)
        drawHeatColourBar(painter, square, largest);
    painter.restore();
}
