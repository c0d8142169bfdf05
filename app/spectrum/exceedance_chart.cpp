#include "spectrum/exceedance_chart.h"

#include "charts/chart_axes.h"
#include "charts/chart_painting.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

const QColor kCurve(0x1f, 0x4e, 0x9a);
// The curve keeps clear of the frame: one cycle (10^0) lies this far right of
// the left edge, so that the largest cycle's step, which a count of one puts
// at N = 1, is a line of its own rather than part of the axis.
constexpr double kCycleInset = 12.0;

struct SpectrumScale {
    QRectF plot;
    LogAxis cycles;
    LinearAxis ranges;

    double x(double cycleCount) const
    {
        const double decades = cycles.lastDecade - cycles.firstDecade;
        return plot.left() + kCycleInset
               + (std::log10(cycleCount) - cycles.firstDecade) / decades * (plot.width() - kCycleInset);
    }
    double y(double range) const
    {
        return plot.bottom() - (range - ranges.min) / (ranges.max - ranges.min) * plot.height();
    }
};

void drawCycleAxis(QPainter& painter, const SpectrumScale& s)
{
    for (int decade = s.cycles.firstDecade; decade <= s.cycles.lastDecade; ++decade) {
        const double x = s.x(std::pow(10.0, decade));
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
        painter.setPen(kChartInk);
        painter.drawLine(QPointF(x, s.plot.bottom()), QPointF(x, s.plot.bottom() + 5.0));
        drawDecadeLabel(painter, x, s.plot.bottom(), decade);
        if (decade == s.cycles.lastDecade)
            break;
        for (int minor = 2; minor <= 9; ++minor) {
            const double xm = s.x(minor * std::pow(10.0, decade));
            painter.drawLine(QPointF(xm, s.plot.bottom()), QPointF(xm, s.plot.bottom() + 3.0));
        }
    }
}

void drawRangeAxis(QPainter& painter, const SpectrumScale& s, QChar separator)
{
    for (const double tick : s.ranges.ticks) {
        const double y = s.y(tick);
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(s.plot.left(), y), QPointF(s.plot.right(), y));
        painter.setPen(kChartInk);
        painter.drawLine(QPointF(s.plot.left() - 5.0, y), QPointF(s.plot.left(), y));
        drawYTickLabel(painter, s.plot.left() - 2.0, y, linearTickLabel(tick, s.ranges.step, separator));
    }
}

QPainterPath stepCurve(const SpectrumScale& s, const std::vector<SpectrumStep>& steps)
{
    QPainterPath path(QPointF(s.plot.left(), s.y(static_cast<double>(steps.front().range))));
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const double x = s.x(static_cast<double>(steps[i].cumulative));
        path.lineTo(x, s.y(static_cast<double>(steps[i].range)));
        const double next = i + 1 < steps.size() ? static_cast<double>(steps[i + 1].range) : 0.0;
        path.lineTo(x, s.y(next));
    }
    return path;
}

// The largest range stays below the frame's top edge: an axis that would
// end exactly at it gets one more step.
LinearAxis rangeAxis(double largest)
{
    LinearAxis axis = linearAxis(0.0, largest, 8);
    if (largest > 0.0 && axis.max <= largest * (1.0 + 1e-9)) {
        axis.max += axis.step;
        axis.ticks.push_back(axis.max);
    }
    return axis;
}

} // namespace

void paintLoadSpectrum(QPainter& painter, const QRectF& bounds, const SpectrumPlotData& data, QChar decimalSeparator)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QString unit = data.loadUnit.isEmpty() ? QString() : QStringLiteral(" (") + data.loadUnit + u')';
    const QString rangeCaption =
        data.normalized ? QStringLiteral("Load range / highest peak") : QStringLiteral("Load range") + unit;
    SpectrumScale s;
    s.plot = drawChartFrame(painter, bounds, ChartMargins{}, QStringLiteral("Cumulative load spectrum"),
                            QStringLiteral("Cumulative number of cycles"), rangeCaption);
    s.cycles = logAxis(static_cast<double>(data.totalCycles()));
    s.ranges = rangeAxis(static_cast<double>(data.largestRange()));
    drawCycleAxis(painter, s);
    drawRangeAxis(painter, s, decimalSeparator);
    painter.setPen(QPen(kChartInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(s.plot);
    if (data.steps.empty() || data.totalCycles() < 1) {
        drawEmptyNote(painter, s.plot, QStringLiteral("No load cycles were counted."));
    } else {
        painter.setPen(QPen(kCurve, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.setClipRect(s.plot); // the thick stroke ends at the frame
        painter.drawPath(stepCurve(s, data.steps));
        painter.setClipping(false);
    }
    painter.restore();
}
