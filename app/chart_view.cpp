#include "chart_view.h"

#include <QBuffer>
#include <QPainter>
#include <QSvgGenerator>

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
    return buffer.data();
}

ChartView::ChartView(ChartPainter paint, QWidget* parent)
    : QWidget(parent)
    , m_paint(std::move(paint))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_paint(painter, QRectF(rect()));
}
