#include "tab_stop_fitting.h"

#include "report_pane.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QVariantList>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0; // the pane lays out at 96 dots per inch

QList<int> stopsOf(const QTextBlock& block)
{
    QList<int> stops;
    for (const QVariant& p : block.blockFormat().property(ReportPane::kTabStopPointsProperty).toList())
        stops << p.toInt();
    return stops;
}

// The width in points of each tab-separated field of the block, each
// fragment measured with its own font.
QList<double> fieldWidths(const QTextBlock& block, const QFont& defaultFont)
{
    QList<double> widths{0.0};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QFontMetricsF metrics(fragment.charFormat().font().resolve(defaultFont));
        const QStringList parts = fragment.text().split(u'\t');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                widths << 0.0;
            widths.last() += metrics.horizontalAdvance(parts[i]) * kPointsPerPixel;
        }
    }
    return widths;
}

void applyStops(const QTextBlock& block, const QList<int>& stops)
{
    QTextBlockFormat format = block.blockFormat();
    QList<QTextOption::Tab> tabs;
    QVariantList points;
    for (int point : stops) {
        tabs.append(QTextOption::Tab(point * ReportPane::kPixelsPerPoint, QTextOption::LeftTab));
        points.append(point);
    }
    format.setTabPositions(tabs);
    format.setProperty(ReportPane::kTabStopPointsProperty, points);
    QTextCursor(block).setBlockFormat(format);
}

} // namespace

QList<int> fittedStops(const QList<int>& minimum, const QList<double>& widths, double gap)
{
    QList<int> stops = minimum;
    int shift = 0;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        stops[i] += shift;
        if (i + 1 >= stops.size() || i >= widths.size())
            continue;
        const int needed = static_cast<int>(std::ceil(stops[i] + widths[i] + gap - 1e-9));
        shift += std::max(0, needed - (minimum[i + 1] + shift));
    }
    return stops;
}

void fitTabStopsToText(QTextDocument& document)
{
    const QFont font = document.defaultFont();
    const double gap = QFontMetricsF(font).horizontalAdvance(u' ') * kPointsPerPixel;
    QTextBlock block = document.begin();
    while (block.isValid()) {
        const QList<int> minimum = stopsOf(block);
        QTextBlock end = block;
        QList<double> widest;
        for (; end.isValid() && !minimum.isEmpty() && stopsOf(end) == minimum; end = end.next()) {
            const QList<double> widths = fieldWidths(end, font);
            if (widths.size() < 2)
                continue; // a line without tabs holds no column
            for (qsizetype i = 0; i < widths.size(); ++i) {
                if (i >= widest.size())
                    widest << 0.0;
                widest[i] = std::max(widest[i], widths[i]);
            }
        }
        if (minimum.isEmpty()) {
            block = block.next();
            continue;
        }
        const QList<int> stops = fittedStops(minimum, widest, gap);
        if (stops != minimum) {
            for (QTextBlock b = block; b != end; b = b.next())
                applyStops(b, stops);
        }
        block = end;
    }
}
