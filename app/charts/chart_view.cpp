#include "charts/chart_view.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace {

// A viewer without the chart's font would fall back to its own default,
// often a serif: every family named gets the generic sans-serif behind it.
QByteArray withGenericFonts(const QByteArray& svg)
{
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    QString text = QString::fromUtf8(svg);
    QString out;
    qsizetype done = 0;
    for (auto it = family.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(text).mid(done, m.capturedStart() - done);
        QString names = m.captured(1);
        if (!names.contains(QStringLiteral("sans-serif")))
            names += QStringLiteral(", sans-serif");
        out += QStringLiteral("font-family=\"") + names + u'"';
        done = m.capturedEnd();
    }
    out += QStringView(text).mid(done);
    return out.toUtf8();
}

} // namespace

QImage renderChart(const ChartPainter& paint, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, QRectF(QPointF(0.0, 0.0), size));
    return image;
}

QByteArray renderChartSvg(const ChartPainter& paint, const QString& title, QSize size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    // Pixel sizes of fonts and pens mean user units at this resolution.
    svg.setResolution(96);
    svg.setTitle(title);
    {
        QPainter painter(&svg);
        paint(painter, QRectF(QPointF(0.0, 0.0), size));
    }
    return withGenericFonts(buffer.data());
}

ChartView::ChartView(ChartPainter paint, QWidget* parent) : QWidget(parent), m_paint(std::move(paint))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_paint(painter, QRectF(rect()));
}
