#include "float_format.h"

#include "engine/numbers/decimal_digits.h"
#include "float_text.h"

#include <QStringList>

namespace morvane {

using tessivo::DecimalDigits;
using tessivo::roundDigits;

namespace {

struct Section {
    QString prefix, suffix;
    int minInteger = 0;  // "0"s before the point
    int minDecimals = 0; // "0"s after the point
    int maxDecimals = 0; // "0"s and "#"s after the point
    bool grouping = false;
    bool scientific = false;
    QString exponentMark; // "E+", "E-", "e+" or "e-"
    int exponentDigits = 0;
};

QStringList splitSections(const QString& pattern)
{
    QStringList out{QString()};
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            out.append(QString());
            continue;
        }
        out.last() += c;
    }
    return out;
}

// Reads one section: literal text, then the placeholders, then literal text.
Section parseSection(const QString& text)
{
    Section s;
    bool inNumber = false, afterPoint = false, numberDone = false;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        QString& literal = inNumber || numberDone ? s.suffix : s.prefix;
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                literal += c;
            continue;
        }
        const bool placeholder = c == u'0' || c == u'#';
        if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (placeholder && !numberDone) {
            inNumber = true;
            if (afterPoint) {
                ++s.maxDecimals;
                s.minDecimals = c == u'0' ? s.maxDecimals : s.minDecimals;
            } else if (c == u'0') {
                ++s.minInteger;
            }
        } else if (c == u'.' && !numberDone && !afterPoint) {
            inNumber = afterPoint = true;
        } else if (c == u',' && !numberDone) {
            s.grouping = true;
        } else if ((c == u'E' || c == u'e') && inNumber && !numberDone && i + 1 < text.size()
                   && (text[i + 1] == u'+' || text[i + 1] == u'-')) {
            s.scientific = true;
            s.exponentMark = text.mid(i, 2);
            for (i += 2; i < text.size() && text[i] == u'0'; ++i)
                ++s.exponentDigits;
            --i;
            numberDone = true;
        } else {
            if (inNumber)
                numberDone = true;
            literal += c;
        }
    }
    return s;
}

QString groupDigits(const QString& digits, QChar separator)
{
    QString out;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += separator;
        out += digits[i];
    }
    return out;
}

QString renderPlain(DecimalDigits number, const Section& s, const FloatSymbols& sym)
{
    roundDigits(number, number.pointPosition + s.maxDecimals);
    QString integer, fraction;
    for (int k = 0; k < number.pointPosition; ++k)
        integer += k < static_cast<int>(number.digits.size()) ? QChar(number.digits[k]) : u'0';
    while (integer.size() < s.minInteger)
        integer.prepend(u'0');
    for (int k = number.pointPosition; k < static_cast<int>(number.digits.size()); ++k)
        fraction += k >= 0 ? QChar(number.digits[k]) : u'0';
    while (fraction.size() < s.minDecimals)
        fraction += u'0';
    if (s.grouping)
        integer = groupDigits(integer, sym.groupSeparator);
    return fraction.isEmpty() ? integer : integer + sym.decimalSeparator + fraction;
}

QString renderScientific(DecimalDigits number, const Section& s, const FloatSymbols& sym)
{
    const int integerDigits = qMax(1, s.minInteger);
    roundDigits(number, integerDigits + s.maxDecimals);
    const int exponent = number.digits.empty() ? 0 : number.pointPosition - integerDigits;
    number.pointPosition = integerDigits;
    QString mantissa = renderPlain(number, s, sym);
    QString expDigits = QString::number(qAbs(exponent)).rightJustified(s.exponentDigits, u'0');
    const bool plusSign = s.exponentMark.endsWith(u'+');
    const QString sign = exponent < 0 ? QStringLiteral("-") : (plusSign ? QStringLiteral("+") : QString());
    return mantissa + s.exponentMark.left(1) + sign + expDigits;
}

} // namespace

QString formatFloat(const QString& pattern, long double value, const FloatSymbols& symbols)
{
    if (const auto special = nonFiniteText(value))
        return *special;
    const QStringList sections = splitSections(pattern);
    QString chosen = sections[0];
    bool ownNegative = false;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        chosen = sections[1];
        ownNegative = true;
    } else if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) {
        chosen = sections[2];
    }
    if (chosen.isEmpty())
        return formatGeneral(value, 15, symbols.decimalSeparator);
    const Section s = parseSection(chosen);
    DecimalDigits number = tessivo::significantDigits(value, 18);
    const QString body = s.scientific ? renderScientific(number, s, symbols) : renderPlain(number, s, symbols);
    // Negative zero is written as zero.
    const QString sign = number.negative && value != 0 && !ownNegative ? QStringLiteral("-") : QString();
    return s.prefix + sign + body + s.suffix;
}

} // namespace morvane
