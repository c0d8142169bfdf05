#pragma once
// What the plots share: their fonts, the frame of a plot area inside the
// picture with its title and axis captions, and tick labels. Everything is
// painted with QPainter in device-independent pixels, so the same code draws
// on the screen, into a PNG picture and into an SVG file.

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

class QPainter;

// The margins around the plot area that the title, the tick labels and the
// axis captions take. `right` leaves room for a colour scale.
struct ChartMargins {
    double left = 84.0;
    double top = 44.0;
    double right = 28.0;
    double bottom = 60.0;
};

QFont chartFont(int pixelSize, bool bold = false);
inline const QColor kChartGrid(0xdd, 0xdd, 0xdd);
inline const QColor kChartInk(0x20, 0x20, 0x20);

// The background, the title centred above the plot area and the axis
// captions below it and left of it (turned upwards); returns the plot area.
QRectF drawChartFrame(QPainter& painter, const QRectF& bounds, const ChartMargins& margins, const QString& title,
                      const QString& xCaption, const QString& yCaption);

// A tick label centred below x, or right-aligned left of y.
void drawXTickLabel(QPainter& painter, double x, double top, const QString& text);
void drawYTickLabel(QPainter& painter, double right, double y, const QString& text);
// A label left-aligned right of `left`, vertically centred on y.
void drawScaleLabel(QPainter& painter, double left, double y, const QString& text);

// "10" with the exponent raised and smaller, centred below x; 10^0 is "1"
// and 10^1 "10".
void drawDecadeLabel(QPainter& painter, double x, double top, int exponent);

// A centred note in the plot area for a plot without data.
void drawEmptyNote(QPainter& painter, const QRectF& plot, const QString& text);
