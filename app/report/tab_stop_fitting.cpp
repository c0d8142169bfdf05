#include "report/tab_stop_fitting.h"

#include "report/report_pane.h"

#include <QFontMetricsF>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QVariantList>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0; // the pane lays out at 96 dots per inch

QList<int> stopsOf(const QTextBlock& block)
{
    QList<int> stops;
    for (const QVariant& p : block.blockFormat().property(ReportPane::kTabStopPointsProperty).toList())
        stops << p.toInt();
    return stops;
}

// Widths by character format: a report has two or three formats but
// thousands of fragments. Printable ASCII is summed from cached advances
// (the digits, signs and points of loads are not kerned), which is many
// times faster than shaping each field; other text is measured as a whole.
class TextWidths {
public:
    explicit TextWidths(const QFont& defaultFont) : m_default(defaultFont) {}

    double of(const QTextFragment& fragment, QStringView text)
    {
        Font& font = fontOf(fragment);
        double sum = 0.0;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u >= 0x7f)
                return font.metrics.horizontalAdvance(text.toString());
            double& advance = font.advances[u];
            if (advance < 0.0)
                advance = font.metrics.horizontalAdvance(c);
            sum += advance;
        }
        return sum;
    }

private:
    struct Font {
        explicit Font(const QFont& font) : metrics(font) { advances.fill(-1.0); }
        QFontMetricsF metrics;
        std::array<double, 0x80> advances;
    };

    Font& fontOf(const QTextFragment& fragment)
    {
        const int index = fragment.charFormatIndex();
        auto it = m_fonts.find(index);
        if (it == m_fonts.end())
            it = m_fonts.emplace(index, Font(fragment.charFormat().font().resolve(m_default))).first;
        return it->second;
    }

    QFont m_default;
    std::map<int, Font> m_fonts;
};

// The width in points of each tab-separated field of the block, each
// fragment measured with its own font.
QList<double> fieldWidths(const QTextBlock& block, TextWidths& widthOf)
{
    QList<double> widths{0.0};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QString text = fragment.text();
        qsizetype start = 0;
        for (qsizetype tab = text.indexOf(u'\t');; tab = text.indexOf(u'\t', start)) {
            const qsizetype end = tab < 0 ? text.size() : tab;
            widths.last() += widthOf.of(fragment, QStringView(text).mid(start, end - start)) * kPointsPerPixel;
            if (tab < 0)
                break;
            widths << 0.0;
            start = tab + 1;
        }
    }
    return widths;
}

// The stops for every block from first to last, set in one edit.
void applyStops(const QTextBlock& first, const QTextBlock& last, const QList<int>& stops)
{
    QTextBlockFormat format = first.blockFormat();
    QList<QTextOption::Tab> tabs;
    QVariantList points;
    for (int point : stops) {
        tabs.append(QTextOption::Tab(point * ReportPane::kPixelsPerPoint, QTextOption::LeftTab));
        points.append(point);
    }
    format.setTabPositions(tabs);
    format.setProperty(ReportPane::kTabStopPointsProperty, points);
    QTextCursor cursor(first);
    cursor.setPosition(last.position(), QTextCursor::KeepAnchor);
    cursor.mergeBlockFormat(format);
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
    TextWidths widthOf(font);
    const double gap = QFontMetricsF(font).horizontalAdvance(u' ') * kPointsPerPixel;
    QTextBlock block = document.begin();
    while (block.isValid()) {
        const QList<int> minimum = stopsOf(block);
        QTextBlock end = block;
        QList<double> widest;
        for (; end.isValid() && !minimum.isEmpty() && stopsOf(end) == minimum; end = end.next()) {
            const QList<double> widths = fieldWidths(end, widthOf);
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
            const QTextBlock last = end.isValid() ? end.previous() : document.lastBlock();
            applyStops(block, last, stops);
        }
        block = end;
    }
}
