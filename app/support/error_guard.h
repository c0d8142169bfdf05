#pragma once
// The edge of every command handler: no exception may leave a Qt event
// handler, so an error that escapes the command's body is shown instead.

#include <QString>
#include <functional>

// The message of an escaped error with its full stop, and for a file error
// the file's path as the detail (else empty).
using ErrorReporter = std::function<void(const QString& message, const QString& detail)>;

// Runs body; an escaping error goes to report. False when the body failed.
bool runGuarded(const std::function<void()>& body, const ErrorReporter& report);
