#include "float_text.h"

#include "decimal_digits.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace morvane {

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

// Copies the number into plain ASCII with "." as separator, or fails on any
// character that has no place in the accepted grammar.
std::optional<std::string> toAsciiNumber(const QString& text, QChar separator)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    std::string out;
    qsizetype i = begin;
    auto digitsHere = [&] {
        int n = 0;
        for (; i < end && text[i] >= u'0' && text[i] <= u'9'; ++i, ++n)
            out.push_back(static_cast<char>(text[i].unicode()));
        return n;
    };
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        out.push_back(static_cast<char>(text[i++].unicode()));
    int mantissaDigits = digitsHere();
    if (i < end && text[i] == separator) {
        out.push_back('.');
        ++i;
        mantissaDigits += digitsHere();
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        out.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            out.push_back(static_cast<char>(text[i++].unicode()));
        if (digitsHere() == 0)
            return std::nullopt;
    }
    if (i != end)
        return std::nullopt;
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
    out += u'E' + QString::number(number.pointPos - 1);
    return out;
}

} // namespace

namespace {

// Qt's application object sets the C library's locale from the environment,
// so the plain conversion would stop at "." under a decimal-comma locale.
// The conversion is therefore pinned to a "C" locale of its own.
std::optional<long double> asciiToLongDouble(const std::string& ascii)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    const long double value = strtold_l(ascii.c_str(), nullptr, cLocale);
    if (std::isinf(value))
        return std::nullopt; // beyond the range of long double
    return value;
}

} // namespace

std::optional<long double> parseFloat(const QString& text, QChar decimalSeparator)
{
    const auto ascii = toAsciiNumber(text, decimalSeparator);
    if (!ascii)
        return std::nullopt;
    return asciiToLongDouble(*ascii);
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
    DecimalDigits number = toDecimalDigits(value, precision);
    if (number.pointPos > precision)
        return scientific(number, decimalSeparator);
    roundDigits(number, number.pointPos + decimals);
    QString out = (number.negative && !number.digits.empty()) ? QStringLiteral("-") : QString();
    out += number.pointPos > 0 ? digitsText(number, 0, number.pointPos) : QStringLiteral("0");
    if (decimals > 0)
        out += decimalSeparator + digitsText(number, number.pointPos, decimals);
    return out;
}

QString formatGeneral(long double value, int precision, QChar decimalSeparator)
{
    if (const auto special = nonFiniteText(value))
        return *special;
    const DecimalDigits number = toDecimalDigits(value, precision);
    if (number.digits.empty())
        return QStringLiteral("0");
    if (number.pointPos > precision || number.pointPos < -4)
        return scientific(number, decimalSeparator);
    QString out = number.negative ? QStringLiteral("-") : QString();
    const int size = static_cast<int>(number.digits.size());
    out += number.pointPos > 0 ? digitsText(number, 0, number.pointPos) : QStringLiteral("0");
    if (size > number.pointPos)
        out += decimalSeparator + digitsText(number, number.pointPos, size - number.pointPos);
    return out;
}

} // namespace morvane
