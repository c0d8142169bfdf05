#include "float_text.h"

#include "engine/numbers/decimal_digits.h"
#include "engine/numbers/decimal_parser.h"

#include <cmath>
#include <string>

namespace morvane {

using tessivo::DecimalDigits;

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The field's text without its surrounding blanks as the numbers library
// reads it: ASCII, with the user's separator as one character that is not
// part of the grammar otherwise. A control character or any other character
// outside ASCII cannot belong to a number.
std::optional<std::string> toAsciiText(const QString& text, QChar separator, char asciiSeparator)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    std::string out;
    out.reserve(static_cast<std::size_t>(end - begin));
    for (qsizetype i = begin; i < end; ++i) {
        if (text[i] == separator)
            out.push_back(asciiSeparator);
        else if (text[i].unicode() >= 0x20 && text[i].unicode() < 0x80)
            out.push_back(static_cast<char>(text[i].unicode()));
        else
            return std::nullopt;
    }
    return out;
}

QString digitsText(const DecimalDigits& number, int from, int count)
{
    QString out;
    for (int k = from; k < from + count; ++k)
        out += (k >= 0 && k < static_cast<int>(number.digits.size())) ? QChar(number.digits[k]) : u'0';
    return out;
}

QString scientific(const DecimalDigits& number, QChar separator)
{
    QString out = number.negative ? QStringLiteral("-") : QString();
    out += QChar(number.digits[0]);
    if (number.digits.size() > 1)
        out += separator + QString::fromStdString(number.digits.substr(1));
    out += u'E' + QString::number(number.pointPosition - 1);
    return out;
}

} // namespace

std::optional<long double> parseFloat(const QString& text, QChar decimalSeparator)
{
    // A separator outside ASCII stands for itself through a control character.
    const char asciiSeparator =
        decimalSeparator.unicode() < 0x80 ? static_cast<char>(decimalSeparator.unicode()) : '\x1f';
    const auto ascii = toAsciiText(text, decimalSeparator, asciiSeparator);
    long double value = 0.0L;
    if (!ascii || !tessivo::parseDecimal(*ascii, value, asciiSeparator))
        return std::nullopt;
    return value;
}

std::optional<QString> nonFiniteText(long double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    return std::nullopt;
}

QString formatFixed(long double value, int precision, int decimals, QChar decimalSeparator)
{
    if (const auto special = nonFiniteText(value))
        return *special;
    DecimalDigits number = tessivo::significantDigits(value, precision);
    if (number.pointPosition > precision)
        return scientific(number, decimalSeparator);
    tessivo::roundDigits(number, number.pointPosition + decimals);
    QString out = (number.negative && !number.digits.empty()) ? QStringLiteral("-") : QString();
    out += number.pointPosition > 0 ? digitsText(number, 0, number.pointPosition) : QStringLiteral("0");
    if (decimals > 0)
        out += decimalSeparator + digitsText(number, number.pointPosition, decimals);
    return out;
}

QString formatFixedAtLeast(long double value, int precision, int minDecimals, QChar decimalSeparator)
{
    if (const auto special = nonFiniteText(value))
        return *special;
    const DecimalDigits number = tessivo::significantDigits(value, precision);
    if (number.digits.empty())
        return formatFixed(0.0L, precision, minDecimals, decimalSeparator);
    if (number.pointPosition > precision || number.pointPosition < -7)
        return scientific(number, decimalSeparator);
    const int needed = static_cast<int>(number.digits.size()) - number.pointPosition;
    const int decimals = needed > minDecimals ? needed : minDecimals;
    QString out = number.negative ? QStringLiteral("-") : QString();
    out += number.pointPosition > 0 ? digitsText(number, 0, number.pointPosition) : QStringLiteral("0");
    if (decimals > 0)
        out += decimalSeparator + digitsText(number, number.pointPosition, decimals);
    return out;
}

QString formatGeneral(long double value, int precision, QChar decimalSeparator)
{
    if (const auto special = nonFiniteText(value))
        return *special;
    const DecimalDigits number = tessivo::significantDigits(value, precision);
    if (number.digits.empty())
        return QStringLiteral("0");
    if (number.pointPosition > precision || number.pointPosition < -4)
        return scientific(number, decimalSeparator);
    QString out = number.negative ? QStringLiteral("-") : QString();
    const int size = static_cast<int>(number.digits.size());
    out += number.pointPosition > 0 ? digitsText(number, 0, number.pointPosition) : QStringLiteral("0");
    if (size > number.pointPosition)
        out += decimalSeparator + digitsText(number, number.pointPosition, size - number.pointPosition);
    return out;
}

} // namespace morvane
