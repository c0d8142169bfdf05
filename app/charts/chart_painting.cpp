#include "charts/chart_painting.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr int kTitlePixels = 15;
constexpr int kCaptionPixels = 13;
constexpr int kTickPixels = 12;
constexpr double kTickGap = 6.0;
// Distances from the plot area: the title's band above it, the captions'
// near edges below and left of it (beyond the tick labels).
constexpr double kTitleBand = 36.0;
constexpr double kXCaptionOffset = 32.0;
constexpr double kYCaptionOffset = 76.0;
} // namespace

QFont chartFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QRectF drawChartFrame(QPainter& painter, const QRectF& bounds, const ChartMargins& margins, const QString& title,
                      const QString& xCaption, const QString& yCaption)
{
    painter.fillRect(bounds, Qt::white);
    const QRectF plot = bounds.adjusted(margins.left, margins.top, -margins.right, -margins.bottom);
    painter.setPen(kChartInk);
    painter.setFont(chartFont(kTitlePixels, true));
    painter.drawText(QRectF(plot.left(), plot.top() - kTitleBand, plot.width(), kTitleBand), Qt::AlignCenter, title);

    painter.setFont(chartFont(kCaptionPixels));
    const double captionHeight = QFontMetricsF(painter.font()).height();
    painter.drawText(QRectF(plot.left(), plot.bottom() + kXCaptionOffset, plot.width(), captionHeight), Qt::AlignCenter,
                     xCaption);
    painter.save();
    painter.translate(plot.left() - kYCaptionOffset, plot.center().y());
    painter.rotate(-90.0);
    painter.drawText(QRectF(-plot.height() / 2.0, 0.0, plot.height(), captionHeight), Qt::AlignCenter, yCaption);
    painter.restore();
    return plot;
}

void drawXTickLabel(QPainter& painter, double x, double top, const QString& text)
{
    painter.setFont(chartFont(kTickPixels));
    const QFontMetricsF metrics(painter.font());
    const double width = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(x - width / 2.0, top + kTickGap + metrics.ascent()), text);
}

void drawYTickLabel(QPainter& painter, double right, double y, const QString& text)
{
    painter.setFont(chartFont(kTickPixels));
    const QFontMetricsF metrics(painter.font());
    const double width = metrics.horizontalAdvance(text);
    painter.drawText(QPointF(right - kTickGap - width, y + (metrics.ascent() - metrics.descent()) / 2.0), text);
}

void drawScaleLabel(QPainter& painter, double left, double y, const QString& text)
{
    painter.setFont(chartFont(kTickPixels));
    const QFontMetricsF metrics(painter.font());
    painter.drawText(QPointF(left + kTickGap, y + (metrics.ascent() - metrics.descent()) / 2.0), text);
}

void drawDecadeLabel(QPainter& painter, double x, double top, int exponent)
{
    if (exponent == 0 || exponent == 1) {
        drawXTickLabel(painter, x, top, exponent == 0 ? QStringLiteral("1") : QStringLiteral("10"));
        return;
    }
    const QFont base = chartFont(kTickPixels);
    const QFont raised = chartFont(kTickPixels - 3);
    const QString power = QString::number(exponent);
    const QFontMetricsF baseMetrics(base);
    const double baseWidth = baseMetrics.horizontalAdvance(QStringLiteral("10"));
    const double width = baseWidth + QFontMetricsF(raised).horizontalAdvance(power);
    const double baseline = top + kTickGap + baseMetrics.ascent();
    painter.setFont(base);
    painter.drawText(QPointF(x - width / 2.0, baseline), QStringLiteral("10"));
    painter.setFont(raised);
    painter.drawText(QPointF(x - width / 2.0 + baseWidth, baseline - baseMetrics.ascent() * 0.45), power);
}

void drawEmptyNote(QPainter& painter, const QRectF& plot, const QString& text)
{
    painter.setFont(chartFont(kCaptionPixels));
    painter.setPen(kChartInk);
    painter.drawText(plot, Qt::AlignCenter, text);
}
