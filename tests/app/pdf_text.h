#pragma once
// The text of a PDF written by Qt's PDF engine, glyph by glyph in drawing
// order, read back through each font's ToUnicode map: enough to tell what a
// printed report holds without a PDF library. Also the page count and title.

#include <QByteArray>
#include <QHash>
#include <QRegularExpression>
#include <QString>
#include <QtEndian>

namespace pdf_text {

struct Object {
    QString dict;
    QByteArray stream; // decompressed
};

// qUncompress wants the size ahead of the data and fails when it is too small.
inline QByteArray inflate(const QByteArray& deflated)
{
    for (quint32 factor = 16; factor <= 4096; factor *= 4) {
        QByteArray sized(4, '\0');
        qToBigEndian<quint32>(static_cast<quint32>(deflated.size()) * factor + 4096, sized.data());
        const QByteArray out = qUncompress(sized + deflated);
        if (!out.isEmpty())
            return out;
    }
    return {};
}

inline QHash<int, Object> objectsOf(const QByteArray& file)
{
    QHash<int, Object> objects;
    const QString text = QString::fromLatin1(file); // one char per byte: offsets stay byte offsets
    static const QRegularExpression object(QStringLiteral("(\\d+) 0 obj(.*?)endobj"),
                                           QRegularExpression::DotMatchesEverythingOption);
    for (auto it = object.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        QString body = m.captured(2);
        Object o;
        const qsizetype start = body.indexOf(QStringLiteral("stream\n"));
        if (start >= 0) {
            const qsizetype end = body.lastIndexOf(QStringLiteral("endstream"));
            QByteArray data = body.mid(start + 7, end - start - 7).toLatin1();
            o.dict = body.left(start);
            if (data.endsWith('\n'))
                data.chop(1);
            o.stream = o.dict.contains(QStringLiteral("/FlateDecode")) ? inflate(data) : data;
        } else {
            o.dict = body;
        }
        objects.insert(m.captured(1).toInt(), o);
    }
    return objects;
}

inline QHash<uint, QChar> toUnicode(const QString& cmap)
{
    QHash<uint, QChar> map;
    static const QRegularExpression range(QStringLiteral("<([0-9A-Fa-f]+)> <([0-9A-Fa-f]+)> \\[([^\\]]*)\\]"));
    static const QRegularExpression hex(QStringLiteral("<([0-9A-Fa-f]+)>"));
    for (auto it = range.globalMatch(cmap); it.hasNext();) {
        const auto m = it.next();
        uint code = m.captured(1).toUInt(nullptr, 16);
        for (auto u = hex.globalMatch(m.captured(3)); u.hasNext(); ++code)
            map.insert(code, QChar(static_cast<char16_t>(u.next().captured(1).toUInt(nullptr, 16))));
    }
    return map;
}

// Every glyph the pages show, in drawing order.
inline QString textOf(const QByteArray& file)
{
    const QHash<int, Object> objects = objectsOf(file);
    QHash<QString, QHash<uint, QChar>> fonts; // resource name -> map
    static const QRegularExpression fontRef(QStringLiteral("/(F\\d+) (\\d+) 0 R"));
    static const QRegularExpression unicodeRef(QStringLiteral("/ToUnicode (\\d+) 0 R"));
    for (const Object& o : objects) {
        for (auto it = fontRef.globalMatch(o.dict); it.hasNext();) {
            const auto m = it.next();
            const auto ref = unicodeRef.match(objects.value(m.captured(2).toInt()).dict);
            if (ref.hasMatch())
                fonts.insert(m.captured(1),
                             toUnicode(QString::fromLatin1(objects.value(ref.captured(1).toInt()).stream)));
        }
    }
    QList<int> numbers = objects.keys();
    std::sort(numbers.begin(), numbers.end());
    static const QRegularExpression show(QStringLiteral("/(F\\d+) [\\d.]+ Tf|<([0-9A-Fa-f]+)> Tj"));
    QString text;
    for (int n : numbers) {
        const QString content = QString::fromLatin1(objects.value(n).stream);
        if (!content.contains(QStringLiteral(" Tf")))
            continue;
        QHash<uint, QChar> font;
        for (auto it = show.globalMatch(content); it.hasNext();) {
            const auto m = it.next();
            if (!m.captured(1).isEmpty()) {
                font = fonts.value(m.captured(1));
                continue;
            }
            const QString glyphs = m.captured(2);
            for (qsizetype i = 0; i + 4 <= glyphs.size(); i += 4)
                text += font.value(glyphs.mid(i, 4).toUInt(nullptr, 16), QChar(u'?'));
        }
    }
    return text;
}

inline int pageCount(const QByteArray& file)
{
    static const QRegularExpression pages(QStringLiteral("/Type /Pages[^>]*/Count (\\d+)"));
    const auto m = pages.match(QString::fromLatin1(file));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The document's title, which Qt takes from the print job's name.
inline QString title(const QByteArray& file)
{
    static const QRegularExpression t(QStringLiteral("/Title \\(\\x{fe}\\x{ff}((?:..)*?)\\)"),
                                      QRegularExpression::DotMatchesEverythingOption);
    const auto m = t.match(QString::fromLatin1(file));
    if (!m.hasMatch())
        return {};
    const QByteArray utf16 = m.captured(1).toLatin1();
    QString out;
    for (qsizetype i = 0; i + 1 < utf16.size(); i += 2)
        out += QChar(static_cast<char16_t>((uchar(utf16[i]) << 8) | uchar(utf16[i + 1])));
    return out;
}

} // namespace pdf_text
