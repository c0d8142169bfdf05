#include "report/report_printing.h"

#include "support/app_error.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>
#include <vector>

namespace {

constexpr double kLayoutDpi = 96.0;
constexpr int kDotsPerMeterAt96Dpi = 3780; // 96 / 0.0254, rounded
constexpr double kEdge = 0.5;              // layout pixels: more than the layout's rounding, less than any line
const QString kTableHeading = QStringLiteral("Load cycles");

// A paint device that only tells the layout its resolution.
QImage layoutDevice()
{
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    device.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    return device;
}

struct Line {
    double top;
    double bottom;
    int block;
};

// Every laid-out line of the document, top to bottom, in layout pixels.
std::vector<Line> linesOf(QTextDocument& doc)
{
    std::vector<Line> lines;
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QRectF box = layout->blockBoundingRect(b);
        const QTextLayout* text = b.layout();
        for (int i = 0; i < text->lineCount(); ++i) {
            const QTextLine line = text->lineAt(i);
            lines.push_back({box.top() + line.y(), box.top() + line.y() + line.height(), b.blockNumber()});
        }
        if (text->lineCount() == 0)
            lines.push_back({box.top(), box.bottom(), b.blockNumber()});
    }
    return lines;
}

// The band of the table's two heading lines, and the block after which a
// page starts inside the table; empty when the document has no table.
struct Headings {
    double top = 0;
    double bottom = 0;
    int lastBlock = -1;
    bool present() const { return lastBlock >= 0; }
};

Headings headingsOf(QTextDocument& doc)
{
    Headings h;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        if (b.text() != kTableHeading)
            continue;
        const QTextBlock first = b.next();
        const QTextBlock second = first.next();
        if (!second.isValid() || !first.text().contains(u'\t') || !second.text().contains(u'\t'))
            return h;
        h.top = doc.documentLayout()->blockBoundingRect(first).top();
        h.bottom = doc.documentLayout()->blockBoundingRect(second).bottom();
        h.lastBlock = second.blockNumber();
        return h;
    }
    return h;
}

struct Page {
    double top; // of the document's band on this page
    double bottom;
    bool repeatHeadings;
};

std::vector<Page> paginate(const std::vector<Line>& lines, const Headings& headings, double bodyHeight)
{
    std::vector<Page> pages;
    std::size_t i = 0;
    while (i < lines.size() || pages.empty()) {
        const bool repeat =
            !pages.empty() && headings.present() && i < lines.size() && lines[i].block > headings.lastBlock;
        const double room = bodyHeight - (repeat ? headings.bottom - headings.top : 0.0);
        const double top = i < lines.size() ? lines[i].top : 0.0;
        std::size_t j = i;
        while (j < lines.size() && (j == i || lines[j].bottom - top <= room))
            ++j; // a line taller than the page goes on a page of its own
        pages.push_back({top, j < lines.size() ? lines[j].top : (j > 0 ? lines[j - 1].bottom : 0.0), repeat});
        i = j;
    }
    return pages;
}

void drawBand(QPainter& painter, QTextDocument& doc, double top, double bottom, double atY, double width)
{
    painter.save();
    painter.translate(0, atY - top);
    const QRectF visible(0, top, width, bottom - top);
    painter.setClipRect(visible);
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout draws every line that touches the clip; a line that starts
    // exactly at the band's edge belongs to the next band only.
    context.clip = visible.adjusted(0, kEdge, 0, -kEdge);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace

QString printerFailedMessage()
{
    return QStringLiteral("The printer could not be started.");
}

void printDocument(const QTextDocument& document, QPrinter& printer, const QString& jobName, const QString& footer)
{
    printer.setDocName(jobName);
    printer.setFullPage(false); // the painter's origin is inside the page setup's margins
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
    copy->setTextWidth(page.width());

    QFont footerFont = copy->defaultFont();
    if (footerFont.pointSizeF() > 0)
        footerFont.setPixelSize(qRound(footerFont.pointSizeF() * kLayoutDpi / 72.0)); // the painter is scaled to 96 dpi
    const QFontMetricsF footerMetrics(footerFont, &device);
    const double footerHeight = footerMetrics.height() * 2; // a blank line's room above it
    const Headings headings = headingsOf(*copy);
    const std::vector<Page> pages = paginate(linesOf(*copy), headings, page.height() - footerHeight);

    painter.scale(scale, scale);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0 && !printer.newPage())
            throw AppError(printerFailedMessage());
        double y = 0;
        if (pages[i].repeatHeadings) {
            drawBand(painter, *copy, headings.top, headings.bottom, 0, page.width());
            y = headings.bottom - headings.top;
        }
        drawBand(painter, *copy, pages[i].top, pages[i].bottom, y, page.width());
        painter.setFont(footerFont);
        const QRectF footerBox(0, page.height() - footerMetrics.height(), page.width(), footerMetrics.height());
        if (!footer.isEmpty())
            painter.drawText(footerBox, Qt::AlignLeft | Qt::AlignVCenter, footer);
        painter.drawText(footerBox, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(i + 1).arg(pages.size()));
    }
    painter.end();
}
