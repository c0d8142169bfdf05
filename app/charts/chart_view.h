#pragma once
// A chart is one painting function of the picture's bounds; the same
// function paints the view on the screen and the exported pictures.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QWidget>
#include <functional>

class QPainter;

using ChartPainter = std::function<void(QPainter&, const QRectF&)>;

// The size of exported pictures, in pixels (PNG) or user units (SVG).
inline constexpr QSize kChartExportSize(960, 640);

// The chart on a white picture of `size` pixels.
QImage renderChart(const ChartPainter& paint, QSize size = kChartExportSize);

// The chart as an SVG document of `size` user units, titled `title`; every
// font family it names has the generic sans-serif as its fallback.
QByteArray renderChartSvg(const ChartPainter& paint, const QString& title, QSize size = kChartExportSize);

// Shows a chart and repaints it at the widget's size.
class ChartView : public QWidget {
    Q_OBJECT

public:
    explicit ChartView(ChartPainter paint, QWidget* parent = nullptr);
    const ChartPainter& chart() const { return m_paint; }
    QSize sizeHint() const override { return {760, 520}; }
    QSize minimumSizeHint() const override { return {420, 320}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChartPainter m_paint;
};
