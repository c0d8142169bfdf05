#include "fatigue/sn_curve_chart.h"

#include "charts/chart_axes.h"
#include "charts/chart_painting.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

const QColor kCurveColour(0xb0, 0x30, 0x20);
const QColor kSpectrumColour(0x1f, 0x4e, 0x9a);

struct LogLogScale {
    QRectF plot;
    int xFirst = 0, xLast = 9; // decades of N
    int yFirst = 0, yLast = 3; // decades of S
    // The frame starts a little before N = 1, so that the largest cycle's
    // level shows as a step of its own and not on the axis.
    static constexpr double kLeftPad = 0.3;

    double x(double n) const
    {
        return plot.left() + (std::log10(n) - xFirst + kLeftPad) / (xLast - xFirst + kLeftPad) * plot.width();
    }
    double y(double s) const { return plot.bottom() - (std::log10(s) - yFirst) / (yLast - yFirst) * plot.height(); }
};

std::vector<SnChartData::Step> sortedSteps(const SnChartData& data)
{
    std::vector<SnChartData::Step> steps;
    for (const SnChartData::Step& s : data.steps) {
        if (s.load > 0.0L && s.count > 0.0L)
            steps.push_back(s);
    }
    std::sort(steps.begin(), steps.end(), [](const auto& a, const auto& b) { return a.load > b.load; });
    return steps;
}

// The curve's load at n, horizontal beyond its cut-off.
double curveLoad(const tessivo::fatigue::SnCurve& curve, double n)
{
    const auto& d = curve.definition();
    const long double cycles = d.cutoffN && n > *d.cutoffN ? *d.cutoffN : static_cast<long double>(n);
    return static_cast<double>(curve.loadAt(cycles));
}

LogLogScale scaleFor(const SnChartData& data, const std::vector<SnChartData::Step>& steps)
{
    LogLogScale s;
    double total = 0.0, sMin = 0.0, sMax = 0.0;
    for (const auto& step : steps) {
        total += static_cast<double>(step.count);
        const double load = static_cast<double>(step.load);
        sMin = sMin == 0.0 ? load : std::min(sMin, load);
        sMax = std::max(sMax, load);
    }
    double nMax = std::max(total * 10.0, 10.0);
    if (data.curve) {
        nMax = std::max(nMax, 1e9);
        const double low = curveLoad(*data.curve, std::pow(10.0, std::ceil(std::log10(nMax))));
        const double high = curveLoad(*data.curve, 1e3);
        sMin = sMin == 0.0 ? low : std::min(sMin, low);
        sMax = std::max(sMax, high);
    }
    s.xLast = std::max(1, static_cast<int>(std::ceil(std::log10(nMax))));
    if (!(sMin > 0.0) || !std::isfinite(sMin) || !std::isfinite(sMax)) {
        sMin = 1.0;
        sMax = 10.0;
    }
    // A load right on a decade keeps a little room to the frame.
    s.yFirst = static_cast<int>(std::floor(std::log10(sMin) - 0.02));
    s.yLast = std::max(s.yFirst + 1, static_cast<int>(std::ceil(std::log10(sMax) + 0.02)));
    return s;
}

void drawAxes(QPainter& painter, const LogLogScale& s)
{
    for (int decade = s.xFirst; decade <= s.xLast; ++decade) {
        const double x = s.x(std::pow(10.0, decade));
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
        painter.setPen(kChartInk);
        drawDecadeLabel(painter, x, s.plot.bottom(), decade);
    }
    for (int decade = s.yFirst; decade <= s.yLast; ++decade) {
        const double y = s.y(std::pow(10.0, decade));
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(s.plot.left(), y), QPointF(s.plot.right(), y));
        painter.setPen(kChartInk);
        drawYTickLabel(painter, s.plot.left() - 2.0, y, QString::number(std::pow(10.0, decade), 'g', 6));
    }
}

QPainterPath curvePath(const tessivo::fatigue::SnCurve& curve, const LogLogScale& s)
{
    QPainterPath path;
    constexpr int kPoints = 240;
    for (int i = 0; i <= kPoints; ++i) {
        const double first = s.xFirst - LogLogScale::kLeftPad;
        const double n = std::pow(10.0, first + (s.xLast - first) * static_cast<double>(i) / kPoints);
        const QPointF p(s.x(n), s.y(curveLoad(curve, n)));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    return path;
}

QPainterPath spectrumPath(const std::vector<SnChartData::Step>& steps, const LogLogScale& s)
{
    QPainterPath path(QPointF(s.plot.left(), s.y(static_cast<double>(steps.front().load))));
    double cumulative = 0.0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        cumulative += static_cast<double>(steps[i].count);
        const double x = s.x(std::max(cumulative, 1.0));
        path.lineTo(x, s.y(static_cast<double>(steps[i].load)));
        if (i + 1 < steps.size())
            path.lineTo(x, s.y(static_cast<double>(steps[i + 1].load)));
    }
    return path;
}

void drawLegend(QPainter& painter, const QRectF& plot, bool curve)
{
    painter.setFont(chartFont(12));
    const auto entry = [&painter, &plot](int row, const QColor& colour, const QString& text) {
        const double y = plot.top() + 14.0 + row * 18.0;
        painter.setPen(QPen(colour, 2.0));
        painter.drawLine(QPointF(plot.right() - 190.0, y), QPointF(plot.right() - 160.0, y));
        painter.setPen(kChartInk);
        drawScaleLabel(painter, plot.right() - 154.0, y, text);
    };
    entry(0, kSpectrumColour, QStringLiteral("Counted spectrum"));
    if (curve)
        entry(1, kCurveColour, QStringLiteral("S-N curve"));
}

} // namespace

void paintSnChart(QPainter& painter, const QRectF& bounds, const SnChartData& data)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const std::vector<SnChartData::Step> steps = sortedSteps(data);
    const QString load = data.amplitude ? QStringLiteral("Load amplitude S") : QStringLiteral("Load range S");
    LogLogScale s = scaleFor(data, steps);
    s.plot = drawChartFrame(painter, bounds, ChartMargins{}, QStringLiteral("S-N curve and counted spectrum"),
                            QStringLiteral("Number of cycles N"), load);
    drawAxes(painter, s);
    painter.setPen(QPen(kChartInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(s.plot);
    painter.setClipRect(s.plot);
    if (data.curve) {
        painter.setPen(QPen(kCurveColour, 2.0));
        painter.drawPath(curvePath(*data.curve, s));
    }
    if (!steps.empty()) {
        painter.setPen(QPen(kSpectrumColour, 2.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        painter.drawPath(spectrumPath(steps, s));
    }
    painter.setClipping(false);
    if (steps.empty())
        drawEmptyNote(painter, s.plot, QStringLiteral("No load cycles were counted."));
    else
        drawLegend(painter, s.plot, data.curve.has_value());
    painter.restore();
}
