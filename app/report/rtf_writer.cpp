#include "report/rtf_writer.h"

#include "report/report_pane.h"

#include <QFont>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr int kTwipsPerPoint = 20;
constexpr double kPointsPerPixel = 72.0 / 96.0; // the pane lays out at 96 dots per inch

// The run's font with whatever it leaves open taken from the document.
QFont fontOf(const QTextCharFormat& format, const QTextDocument& document)
{
    return format.font().resolve(document.defaultFont());
}

int halfPoints(const QFont& font)
{
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * kPointsPerPixel;
    return std::max(1, static_cast<int>(std::lround(points * 2)));
}

QByteArray escaped(const QString& text)
{
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += static_cast<char>(u);
        } else if (u == u'\t') {
            out += "\\tab ";
        } else if (u == QChar::LineSeparator || u == u'\n') {
            out += "\\line ";
        } else if (u == QChar::ObjectReplacementCharacter || u < 0x20) {
            continue;
        } else if (u < 0x7f) {
            out += static_cast<char>(u);
        } else {
            // The fallback as \'3f ("?") rather than a bare "?": some readers
            // drop the word after a bare fallback.
            out += "\\u" + QByteArray::number(static_cast<std::int16_t>(u)) + "\\'3f";
        }
    }
    return out;
}

QList<int> tabStopTwips(const QTextBlockFormat& format)
{
    QList<int> twips;
    const QVariant points = format.property(ReportPane::kTabStopPointsProperty);
    if (points.isValid()) {
        for (const QVariant& p : points.toList())
            twips << p.toInt() * kTwipsPerPoint;
        return twips;
    }
    for (const QTextOption::Tab& tab : format.tabPositions())
        twips << static_cast<int>(std::lround(tab.position * kPointsPerPixel * kTwipsPerPoint));
    return twips;
}

QByteArray paragraphStart(const QTextBlockFormat& format)
{
    QByteArray out = "\\pard";
    const Qt::Alignment align = format.alignment() & Qt::AlignHorizontal_Mask;
    if (align & Qt::AlignHCenter)
        out += "\\qc";
    else if (align & Qt::AlignRight)
        out += "\\qr";
    else if (align & Qt::AlignJustify)
        out += "\\qj";
    for (int twips : tabStopTwips(format))
        out += "\\tx" + QByteArray::number(twips);
    return out;
}

class RtfBuilder {
public:
    explicit RtfBuilder(const QTextDocument& document) : m_document(document)
    {
        fontIndex(document.defaultFont().family()); // \deff0
    }

    QByteArray build()
    {
        QByteArray body;
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
            body += paragraphStart(block.blockFormat());
            for (auto it = block.begin(); !it.atEnd(); ++it)
                body += run(it.fragment());
            body += block.next().isValid() ? "\\par\n" : "\n";
        }
        return header() + body + "}\n";
    }

private:
    int fontIndex(const QString& family)
    {
        int index = static_cast<int>(m_families.indexOf(family));
        if (index < 0) {
            index = static_cast<int>(m_families.size());
            m_families << family;
        }
        return index;
    }

    QByteArray run(const QTextFragment& fragment)
    {
        if (!fragment.isValid())
            return {};
        const QFont font = fontOf(fragment.charFormat(), m_document);
        QByteArray out =
            "{\\f" + QByteArray::number(fontIndex(font.family())) + "\\fs" + QByteArray::number(halfPoints(font));
        if (font.bold())
            out += "\\b";
        if (font.italic())
            out += "\\i";
        if (font.underline())
            out += "\\ul";
        return out + ' ' + escaped(fragment.text()) + '}';
    }

    QByteArray header()
    {
        const QFont base = m_document.defaultFont();
        QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\uc1\\deff0{\\fonttbl";
        for (int i = 0; i < m_families.size(); ++i)
            out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 " + escaped(m_families[i]) + ";}";
        return out + "}\n\\fs" + QByteArray::number(halfPoints(base)) + '\n';
    }

    const QTextDocument& m_document;
    QStringList m_families;
};

} // namespace

QByteArray documentToRtf(const QTextDocument& document)
{
    return RtfBuilder(document).build();
}
