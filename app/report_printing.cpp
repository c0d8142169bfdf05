#include "report_printing.h"

#include "app_error.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>

namespace {

constexpr double kLayoutDpi = 96.0;
constexpr int kDotsPerMeterAt96Dpi = 3780; // 96 / 0.0254, rounded
constexpr double kEdge = 0.5; // layout pixels: more than the layout's rounding, less than any line

// A paint device that only tells the layout its resolution.
QImage layoutDevice()
{
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    device.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    return device;
}

} // namespace

QString printerFailedMessage()
{
    return QStringLiteral("The printer could not be started.");
}

void printDocument(const QTextDocument& document, QPrinter& printer, const QString& jobName)
{
    printer.setDocName(jobName);
    printer.setFullPage(false);
    QPainter painter;
    if (!painter.begin(&printer))
        throw AppError(printerFailedMessage());

    // The user's document stays as it is; the copy is laid out for the page.
    const std::unique_ptr<QTextDocument> copy(document.clone());
    QImage device = layoutDevice();
    copy->documentLayout()->setPaintDevice(&device);
    copy->setDocumentMargin(0);
    const double scale = printer.resolution() / kLayoutDpi;
    const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
    const QSizeF page(printable.width() / scale, printable.height() / scale);
    copy->setPageSize(page);

    painter.scale(scale, scale);
    const int pages = copy->pageCount();
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !printer.newPage())
            throw AppError(printerFailedMessage());
        const QRectF visible(0, i * page.height(), page.width(), page.height());
        painter.save();
        painter.translate(0, -visible.top());
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        // The layout draws every line that touches the clip; a line that
        // starts exactly at the page's edge belongs to the next page only.
        context.clip = visible.adjusted(0, kEdge, 0, -kEdge);
        copy->documentLayout()->draw(&painter, context);
        painter.restore();
    }
    painter.end();
}
