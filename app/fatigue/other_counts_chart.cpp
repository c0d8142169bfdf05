#include "fatigue/other_counts_chart.h"

#include "charts/chart_axes.h"
#include "charts/chart_painting.h"

#include "engine/fatigue/other_counts.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

using namespace tessivo::fatigue;

namespace {

const QColor kBar(0x1f, 0x4e, 0x9a, 0xc0);

// classes + 1 ascending edges over [low, high]; a span of zero gets width 1.
std::vector<long double> edgesOver(long double low, long double high, int classes)
{
    if (!(high > low))
        high = low + 1.0L;
    std::vector<long double> edges;
    for (int k = 0; k <= classes; ++k)
        edges.push_back(k == classes ? high : low + (high - low) * k / classes);
    return edges;
}

QString unitText(const QString& unit)
{
    return unit.isEmpty() ? QString() : QStringLiteral(" (") + unit + u')';
}

} // namespace

QString otherCountTitle(OtherCount kind)
{
    switch (kind) {
    case OtherCount::LevelCrossings:
        return QStringLiteral("Level crossings");
    case OtherCount::RangePairs:
        return QStringLiteral("Range pairs");
    case OtherCount::TimeAtLevel:
        return QStringLiteral("Time at level");
    }
    return {};
}

OtherCountData otherCountOf(OtherCount kind, const std::vector<long double>& values, int classes, double interval)
{
    OtherCountData data;
    data.kind = kind;
    if (values.empty())
        return data;
    classes = std::max(1, classes);
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    switch (kind) {
    case OtherCount::LevelCrossings: {
        long double sum = 0.0L;
        for (const long double v : values)
            sum += v;
        const long double reference = sum / static_cast<long double>(values.size());
        data.reference = static_cast<double>(reference);
        const std::vector<long double> levels = edgesOver(*lowest, *highest, classes);
        const double half = static_cast<double>(levels[1] - levels[0]) / 2.0;
        for (const LevelCount& c : levelCrossings(values, levels, reference)) {
            const auto level = static_cast<double>(c.level);
            data.bars.push_back({level - half, level + half, static_cast<double>(c.count)});
        }
        break;
    }
    case OtherCount::RangePairs: {
        const std::vector<RangePair> pairs = rangePairs(values);
        const std::vector<long double> edges = edgesOver(0.0L, *highest - *lowest, classes);
        for (std::size_t k = 0; k + 1 < edges.size(); ++k)
            data.bars.push_back({static_cast<double>(edges[k]), static_cast<double>(edges[k + 1]), 0.0});
        const long double width = edges[1] - edges[0];
        for (const RangePair& p : pairs) {
            const auto k = std::min<std::size_t>(static_cast<std::size_t>(p.range / width), data.bars.size() - 1);
            data.bars[k].amount += static_cast<double>(p.count);
        }
        break;
    }
    case OtherCount::TimeAtLevel: {
        data.seconds = interval > 0.0;
        const std::vector<long double> edges = edgesOver(*lowest, *highest, classes);
        const TimeAtLevel time = timeAtLevel(values, edges, data.seconds ? interval : 1.0L);
        for (std::size_t k = 0; k < time.seconds.size(); ++k)
            data.bars.push_back({static_cast<double>(edges[k]), static_cast<double>(edges[k + 1]),
                                 static_cast<double>(time.seconds[k])});
        break;
    }
    }
    return data;
}

void paintOtherCount(QPainter& painter, const QRectF& bounds, const OtherCountData& data, QChar separator)
{
    painter.save();
    const QString unit = unitText(data.loadUnit);
    QString xCaption = QStringLiteral("Crossings");
    QString yCaption = QStringLiteral("Load level") + unit;
    if (data.kind == OtherCount::RangePairs) {
        xCaption = QStringLiteral("Cycles");
        yCaption = QStringLiteral("Load range") + unit;
    } else if (data.kind == OtherCount::TimeAtLevel) {
        xCaption = data.seconds ? QStringLiteral("Time (s)") : QStringLiteral("Values");
        yCaption = QStringLiteral("Load") + unit;
    }
    const QRectF plot = drawChartFrame(painter, bounds, ChartMargins{}, otherCountTitle(data.kind), xCaption, yCaption);
    if (data.bars.empty()) {
        painter.setPen(QPen(kChartInk, 1.0));
        painter.drawRect(plot);
        drawEmptyNote(painter, plot, QStringLiteral("Execute a count to see this count of its loads."));
        painter.restore();
        return;
    }
    double largest = 0.0;
    for (const OtherCountBar& bar : data.bars)
        largest = std::max(largest, bar.amount);
    const LinearAxis amounts = linearAxis(0.0, largest, 8);
    const LinearAxis loads = linearAxis(data.bars.front().low, data.bars.back().high, 8);
    const auto x = [&](double v) {
        return plot.left() + (v - amounts.min) / (amounts.max - amounts.min) * plot.width();
    };
    const auto y = [&](double v) { return plot.bottom() - (v - loads.min) / (loads.max - loads.min) * plot.height(); };
    for (const double tick : amounts.ticks) {
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(x(tick), plot.top()), QPointF(x(tick), plot.bottom()));
        painter.setPen(kChartInk);
        drawXTickLabel(painter, x(tick), plot.bottom(), linearTickLabel(tick, amounts.step, separator));
    }
    for (const double tick : loads.ticks) {
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(plot.left(), y(tick)), QPointF(plot.right(), y(tick)));
        painter.setPen(kChartInk);
        drawYTickLabel(painter, plot.left(), y(tick), linearTickLabel(tick, loads.step, separator));
    }
    painter.setClipRect(plot);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBar);
    for (const OtherCountBar& bar : data.bars) {
        // A gap of a pixel between neighbours, so that each class shows as a bar.
        const QRectF rect(QPointF(x(0.0), y(bar.high) + 0.5), QPointF(x(bar.amount), y(bar.low) - 0.5));
        painter.drawRect(rect.normalized());
    }
    if (data.kind == OtherCount::LevelCrossings) {
        painter.setPen(QPen(kChartInk, 1.0, Qt::DashLine));
        painter.drawLine(QPointF(plot.left(), y(data.reference)), QPointF(plot.right(), y(data.reference)));
    }
    painter.setClipping(false);
    painter.setPen(QPen(kChartInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);
    painter.restore();
}
