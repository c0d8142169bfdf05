#include "report/report_html.h"

#include "report/report_pane.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QVariantList>

namespace {

constexpr double kPointsPerPixel = 72.0 / 96.0;

QList<int> stopsOf(const QTextBlock& block)
{
    QList<int> stops;
    for (const QVariant& p : block.blockFormat().property(ReportPane::kTabStopPointsProperty).toList())
        stops << p.toInt();
    return stops;
}

QString styled(const QString& text, const QTextCharFormat& format)
{
    QString out = text.toHtmlEscaped();
    const QFont font = format.font();
    if (font.bold())
        out = QStringLiteral("<b>") + out + QStringLiteral("</b>");
    if (font.italic())
        out = QStringLiteral("<i>") + out + QStringLiteral("</i>");
    if (font.underline())
        out = QStringLiteral("<u>") + out + QStringLiteral("</u>");
    return out;
}

// The block's text as HTML, split into its tab-separated fields.
QStringList fieldsOf(const QTextBlock& block)
{
    QStringList fields{QString()};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QStringList parts = fragment.text().split(u'\t');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0)
                fields << QString();
            fields.last() += styled(parts[i], fragment.charFormat());
        }
    }
    return fields;
}

QString paragraph(const QTextBlock& block)
{
    QString text = fieldsOf(block).join(QStringLiteral("&#9;"));
    return QStringLiteral("<p style=\"margin:0; white-space:pre-wrap\">")
           + (text.isEmpty() ? QStringLiteral("&nbsp;") : text) + QStringLiteral("</p>\n");
}

QString table(const QList<QTextBlock>& rows, const QList<int>& stops)
{
    QString out = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"0\" style=\"border-collapse:collapse\">\n");
    for (qsizetype i = 0; i + 1 < stops.size(); ++i) {
        out += QStringLiteral("<col style=\"width:%1pt\" width=\"%2\">")
                   .arg(stops[i + 1] - stops[i])
                   .arg(qRound((stops[i + 1] - stops[i]) / kPointsPerPixel));
    }
    out += u'\n';
    for (const QTextBlock& row : rows) {
        out += QStringLiteral("<tr>");
        for (const QString& field : fieldsOf(row))
            out += QStringLiteral("<td style=\"padding:0; white-space:nowrap\">") + field + QStringLiteral("</td>");
        out += QStringLiteral("</tr>\n");
    }
    return out + QStringLiteral("</table>\n");
}

} // namespace

QString documentToHtml(const QTextDocument& document)
{
    const QFont font = document.defaultFont();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * kPointsPerPixel;
    QString out =
        QStringLiteral("<html><head><meta charset=\"utf-8\"></head>\n<body style=\"font-family:'%1', sans-serif; "
                       "font-size:%2pt\">\n")
            .arg(font.family().toHtmlEscaped())
            .arg(points);
    QTextBlock block = document.begin();
    while (block.isValid()) {
        const QList<int> stops = stopsOf(block);
        QList<QTextBlock> rows;
        for (QTextBlock b = block; b.isValid() && !stops.isEmpty() && stopsOf(b) == stops && b.text().contains(u'\t');
             b = b.next())
            rows << b;
        if (rows.isEmpty()) {
            out += paragraph(block);
            block = block.next();
        } else {
            out += table(rows, stops);
            block = rows.last().next();
        }
    }
    return out + QStringLiteral("</body></html>\n");
}
