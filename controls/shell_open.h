#pragma once
// Hands a document path or a web address to the desktop, and turns the
// desktop's failures into the classic shell's readable messages.
//
// Failures are expressed as the shell's result codes (a number greater than
// 32 is success), so the messages stay the same whatever the desktop:
//   2  the file does not exist          3  its folder does not exist
//   5  the file cannot be read          31 nothing could be started for it
// ShellOpen never throws and never tells its caller the outcome.

#include <QString>
#include <functional>

namespace morvane {

// Asks the desktop to open a target; returns a shell result code.
using ShellLauncher = std::function<int(const QString& target)>;
// Shows one error message (default: a modal box "Error" with the error icon).
using ShellErrorReporter = std::function<void(const QString& message)>;

inline constexpr int kShellSuccess = 33;

// The message for a shell error code, or an empty string for a code that
// has none (success, 0 and unknown codes).
QString shellErrorMessage(int code);

// The code a local target would fail with before anything is started:
// 2, 3 or 5; kShellSuccess for a readable file and for a web address.
// "file:" addresses are checked as the file they name.
int shellTargetCode(const QString& target);

// The desktop's launcher: shellTargetCode, then QDesktopServices (xdg-open
// and its relatives); 31 when no opener could be started.
int desktopLaunch(const QString& target);

// Opens target with the default action. A code that has a message is shown
// through report; every other code ends the call silently. An empty launch
// or report stands for the default.
void ShellOpen(const QString& target, const ShellLauncher& launch = desktopLaunch,
               const ShellErrorReporter& report = {});

} // namespace morvane
