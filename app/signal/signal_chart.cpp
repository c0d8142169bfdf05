#include "signal/signal_chart.h"

#include "charts/chart_axes.h"
#include "charts/chart_painting.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

const QColor kSignal(0x1f, 0x4e, 0x9a);
const QColor kReversal(0xc0, 0x30, 0x20);
const QColor kBand(0xf0, 0xa0, 0x30, 0x50);
const QColor kClassEdge(0xe0, 0xb8, 0x80);
const QColor kMark(0x10, 0x90, 0x40);

struct SignalScale {
    QRectF plot;
    SignalWindow window;
    LinearAxis loads;
    double y(double load) const { return plot.bottom() - (load - loads.min) / (loads.max - loads.min) * plot.height(); }
    double x(double position) const { return signalXOf(plot, window, position); }
};

// The reversals with positions in the window (and one on each side, so the
// bands reach the edges).
std::pair<std::size_t, std::size_t> visibleReversals(const std::vector<SignalReversal>& all, const SignalWindow& w)
{
    const auto before = [](const SignalReversal& r, double p) { return static_cast<double>(r.position) < p; };
    std::size_t lo = static_cast<std::size_t>(std::lower_bound(all.begin(), all.end(), w.first, before) - all.begin());
    std::size_t hi = static_cast<std::size_t>(std::lower_bound(all.begin(), all.end(), w.end, before) - all.begin());
    return {lo > 0 ? lo - 1 : lo, std::min(hi + 1, all.size())};
}

// The position (fractional between rows) at which the rising times reach t.
double positionOfTime(const std::vector<long double>& times, double t)
{
    const auto it = std::lower_bound(times.begin(), times.end(), static_cast<long double>(t));
    if (it == times.begin())
        return 0.0;
    if (it == times.end())
        return static_cast<double>(times.size() - 1);
    const auto i = static_cast<std::size_t>(it - times.begin());
    const double before = static_cast<double>(times[i - 1]);
    const double after = static_cast<double>(times[i]);
    return static_cast<double>(i - 1) + (after > before ? (t - before) / (after - before) : 0.0);
}

// The ticks along the bottom: the positions, or with a time column the
// times at their rows.
void drawXAxis(QPainter& painter, const SignalScale& s, const std::vector<long double>* times, QChar separator)
{
    LinearAxis axis = linearAxis(s.window.first, s.window.end, 8);
    if (times) {
        const auto last = static_cast<double>(times->size() - 1);
        const auto timeAt = [&](double position) {
            return static_cast<double>((*times)[static_cast<std::size_t>(std::clamp(std::round(position), 0.0, last))]);
        };
        axis = linearAxis(timeAt(std::max(0.0, s.window.first)), timeAt(std::min(last, s.window.end - 1.0)), 8);
    }
    for (const double tick : axis.ticks) {
        const double position = times ? positionOfTime(*times, tick) : tick;
        if (position < s.window.first || position > s.window.end)
            continue;
        const double x = s.x(position);
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(x, s.plot.top()), QPointF(x, s.plot.bottom()));
        painter.setPen(kChartInk);
        painter.drawLine(QPointF(x, s.plot.bottom()), QPointF(x, s.plot.bottom() + 5.0));
        drawXTickLabel(painter, x, s.plot.bottom(), linearTickLabel(tick, axis.step, separator));
    }
}

void drawAxes(QPainter& painter, const SignalScale& s, const std::vector<double>& edges, QChar separator)
{
    for (const double tick : s.loads.ticks) {
        const double y = s.y(tick);
        painter.setPen(QPen(kChartGrid, 1.0));
        painter.drawLine(QPointF(s.plot.left(), y), QPointF(s.plot.right(), y));
        painter.setPen(kChartInk);
        painter.drawLine(QPointF(s.plot.left() - 5.0, y), QPointF(s.plot.left(), y));
        drawYTickLabel(painter, s.plot.left() - 2.0, y, linearTickLabel(tick, s.loads.step, separator));
    }
    painter.setPen(QPen(kClassEdge, 1.0, Qt::DashLine));
    for (const double edge : edges)
        if (edge >= s.loads.min && edge <= s.loads.max)
            painter.drawLine(QPointF(s.plot.left(), s.y(edge)), QPointF(s.plot.right(), s.y(edge)));
}

// The time column of the count, when it has one for every position.
const std::vector<long double>* timesOf(const SignalData& data)
{
    const auto& times = data.source().times;
    return times && times->size() >= 2 && static_cast<std::int64_t>(times->size()) == data.source().length ? times.get()
                                                                                                           : nullptr;
}

QString withUnit(const QString& name, const std::string& unit)
{
    return unit.empty() ? name : name + QStringLiteral(" (") + QString::fromStdString(unit) + u')';
}

QPainterPath signalPath(const SignalScale& s, const std::vector<tessivo::ColumnExtremes>& columns)
{
    QPainterPath path;
    bool first = true;
    for (const auto& c : columns) {
        const auto to = [&](double x, double load) {
            if (first)
                path.moveTo(x, s.y(load));
            else
                path.lineTo(x, s.y(load));
            first = false;
        };
        if (c.end - c.first == 1) {
            to(s.x(static_cast<double>(c.first)), c.low);
        } else {
            // One stroke over the column's whole spread keeps every extreme on show.
            const double x = s.x(static_cast<double>(c.first + c.end - 1) / 2.0);
            to(x, c.low);
            to(x, c.high);
        }
    }
    return path;
}

// Each kept reversal with the band that the filter absorbs after it: below a
// peak and above a trough, up to the next reversal. A wiggle that stays in
// the band is not a reversal of its own.
void drawBands(QPainter& painter, const SignalScale& s, const std::vector<SignalReversal>& all, std::size_t lo,
               std::size_t hi, double filter)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(kBand);
    for (std::size_t i = lo; i < hi && filter > 0.0; ++i) {
        const SignalReversal& r = all[i];
        const bool peak = i + 1 < all.size() ? r.load > all[i + 1].load : i > 0 && r.load > all[i - 1].load;
        const double x0 = s.x(static_cast<double>(r.position));
        const double x1 = i + 1 < all.size() ? s.x(static_cast<double>(all[i + 1].position)) : s.plot.right();
        const double y0 = s.y(r.load);
        const double y1 = s.y(peak ? r.load - filter : r.load + filter);
        painter.drawRect(QRectF(QPointF(x0, std::min(y0, y1)), QPointF(x1, std::max(y0, y1))));
    }
}

void drawMarks(QPainter& painter, const SignalScale& s, const std::vector<CycleMark>& marks, int selected)
{
    int drawn = 0;
    for (std::size_t i = 0; i < marks.size() && drawn < 5000; ++i) {
        const CycleMark& m = marks[i];
        const double a = static_cast<double>(std::min(m.start, m.end));
        const double b = static_cast<double>(std::max(m.start, m.end));
        if (b < s.window.first || a >= s.window.end)
            continue;
        ++drawn;
        const bool chosen = static_cast<int>(i) == selected;
        const double x0 = s.x(a);
        const double x1 = std::max(s.x(b), x0 + 1.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(kMark.red(), kMark.green(), kMark.blue(), chosen ? 0x60 : 0x28));
        painter.drawRect(QRectF(QPointF(x0, s.plot.top()), QPointF(x1, s.plot.bottom())).intersected(s.plot));
        painter.setPen(QPen(kMark, chosen ? 2.5 : 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawLine(QPointF(s.x(static_cast<double>(m.start)), s.y(m.from)),
                         QPointF(s.x(static_cast<double>(m.end)), s.y(m.to)));
        painter.drawEllipse(QPointF(s.x(static_cast<double>(m.start)), s.y(m.from)), 4.5, 4.5);
        painter.drawEllipse(QPointF(s.x(static_cast<double>(m.end)), s.y(m.to)), 4.5, 4.5);
    }
}

// What the note says of the marked cycles: how many, and where the selected
// one happened, by position and, from a table's time column, in time.
QString markNote(const SignalData& data, int selected, QChar separator)
{
    const auto& marks = data.marks();
    if (marks.empty())
        return {};
    if (selected < 0 || selected >= static_cast<int>(marks.size()))
        return marks.size() == 1 ? QStringLiteral("; 1 cycle marked")
                                 : QStringLiteral("; %1 cycles marked").arg(marks.size());
    const CycleMark& m = marks[static_cast<std::size_t>(selected)];
    QString note = QStringLiteral("; cycle %1 of %2 from position %3 to %4")
                       .arg(selected + 1)
                       .arg(marks.size())
                       .arg(m.start)
                       .arg(m.end);
    const auto& times = data.source().times;
    if (times && m.start >= 0 && m.end >= 0 && static_cast<std::size_t>(std::max(m.start, m.end)) < times->size()) {
        const auto text = [separator](long double t) {
            return QString::number(static_cast<double>(t), 'g', 10).replace(u'.', separator);
        };
        note += QStringLiteral(" (time %1 to %2)")
                    .arg(text((*times)[static_cast<std::size_t>(m.start)]),
                         text((*times)[static_cast<std::size_t>(m.end)]));
    }
    return note;
}

} // namespace

QRectF signalPlotArea(const QRectF& bounds)
{
    const ChartMargins m;
    return bounds.adjusted(m.left, m.top, -m.right, -m.bottom);
}

double signalPositionAt(const QRectF& plot, const SignalWindow& window, double x)
{
    return window.first + (x - plot.left()) / plot.width() * window.span() - 0.5;
}

double signalXOf(const QRectF& plot, const SignalWindow& window, double position)
{
    return plot.left() + (position + 0.5 - window.first) / window.span() * plot.width();
}

void paintSignal(QPainter& painter, const QRectF& bounds, const SignalData& data, const SignalWindow& window,
                 int selectedMark, QChar decimalSeparator)
{
    painter.save();
    SignalScale s;
    s.window = window;
    const std::vector<long double>* times = timesOf(data);
    const QString across = times ? withUnit(QStringLiteral("Time"), data.source().timeUnit)
                                 : QStringLiteral("Position in the combined sequence");
    s.plot = drawChartFrame(painter, bounds, ChartMargins{}, QStringLiteral("Load history"), across,
                            withUnit(QStringLiteral("Load"), data.source().loadUnit));
    if (data.empty()) {
        s.loads = linearAxis(0.0, 1.0, 8);
        painter.setPen(QPen(kChartInk, 1.0));
        painter.drawRect(s.plot);
        drawEmptyNote(painter, s.plot, QStringLiteral("Execute a count to see its load history."));
        painter.restore();
        return;
    }
    const auto first = static_cast<std::int64_t>(std::floor(window.first));
    const auto end = static_cast<std::int64_t>(std::ceil(window.end));
    std::vector<tessivo::ColumnExtremes> columns;
    try {
        columns = data.reduce(first, end, std::max(1, static_cast<int>(s.plot.width())));
    } catch (const std::exception&) {
        // A narrow window reads the work file, which the next count rewrites
        // (and may be counting into right now): nothing escapes a paint event.
        painter.setPen(QPen(kChartInk, 1.0));
        painter.drawRect(s.plot);
        drawEmptyNote(painter, s.plot, QStringLiteral("The sequence has changed since this count; execute again."));
        painter.restore();
        return;
    }
    double low = columns.empty() ? 0.0 : columns.front().low;
    double high = columns.empty() ? 1.0 : columns.front().high;
    for (const auto& c : columns) {
        low = std::min(low, c.low);
        high = std::max(high, c.high);
    }
    const auto& reversals = data.reversals();
    const auto [lo, hi] = visibleReversals(reversals, window);
    const bool markReversals = hi - lo <= static_cast<std::size_t>(kMaxMarkedReversals);
    const double filter = static_cast<double>(data.source().filterSize);
    s.loads = linearAxis(low, high, 8);
    drawAxes(painter, s, data.classEdges(), decimalSeparator);
    drawXAxis(painter, s, times, decimalSeparator);

    // Nothing drawn over the frame: bands and strokes end at the plot's edge.
    painter.setClipRect(s.plot);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (markReversals)
        drawBands(painter, s, reversals, lo, hi, filter);
    painter.setPen(QPen(kSignal, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(signalPath(s, columns));
    if (markReversals) {
        painter.setPen(QPen(kReversal, 1.2));
        painter.setBrush(Qt::white);
        for (std::size_t i = lo; i < hi; ++i)
            painter.drawEllipse(QPointF(s.x(static_cast<double>(reversals[i].position)), s.y(reversals[i].load)), 3.0,
                                3.0);
    }
    drawMarks(painter, s, data.marks(), selectedMark);
    painter.setClipping(false);

    painter.setPen(QPen(kChartInk, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(s.plot);
    painter.setFont(chartFont(11));
    QString note =
        QStringLiteral("Filter size %1").arg(QString::number(filter, 'g', 8).replace(u'.', decimalSeparator));
    if (!data.reversalsComplete())
        note += QStringLiteral("; too many reversals to mark");
    else if (!markReversals)
        note += QStringLiteral("; zoom in to see the reversals");
    else
        note += QStringLiteral("; %1 reversals kept in all").arg(reversals.size());
    note += markNote(data, selectedMark, decimalSeparator);
    painter.drawText(s.plot.adjusted(6.0, 4.0, -6.0, -4.0), Qt::AlignLeft | Qt::AlignTop, note);
    painter.restore();
}
