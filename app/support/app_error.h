#pragma once
// Errors a command handler lets through to the application's error box.

#include <QString>
#include <stdexcept>

class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The error box's text: a full stop is appended when the message's last
// character comes after "." in character-code order (a letter or a digit
// does; ".", a quotation mark or ")" does not).
QString withFullStop(const QString& message);

// "'<text>' is not a valid floating point value"
QString notAFloatMessage(const QString& text);

// The text as a number with the given decimal separator; throws AppError
// with notAFloatMessage when it is not one.
long double textToFloat(const QString& text, QChar decimalSeparator);

// The filter size, which the settings keep as a 64-bit double: textToFloat,
// and the same error for a number that has no finite double.
long double filterFromText(const QString& text, QChar decimalSeparator);
