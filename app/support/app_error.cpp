#include "support/app_error.h"

#include "float_text.h"

#include <cmath>

QString withFullStop(const QString& message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

QString notAFloatMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(text);
}

long double textToFloat(const QString& text, QChar decimalSeparator)
{
    const auto value = morvane::parseFloat(text, decimalSeparator);
    if (!value)
        throw AppError(notAFloatMessage(text));
    return *value;
}

long double filterFromText(const QString& text, QChar decimalSeparator)
{
    const long double value = textToFloat(text, decimalSeparator);
    if (!std::isfinite(static_cast<double>(value)))
        throw AppError(notAFloatMessage(text));
    return value;
}
