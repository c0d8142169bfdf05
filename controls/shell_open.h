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

// The code for an opener's exit status, in the exit codes of xdg-open:
// 0 success, 2 a file is missing (2); bad use (1), no tool for the target
// (3) and a failed action (4) mean that nothing could open it (31).
int openerExitCode(int status);

// shellTargetCode, then runs `opener target` and maps its exit status with
// openerExitCode; 31 when the opener is empty, cannot be started or
// crashes. The user interface is repainted but takes no input while the
// opener runs; an opener still running after waitMilliseconds (it keeps the
// application it started in the foreground) counts as success and is left
// to run.
int launchWithOpener(const QString& opener, const QString& target, int waitMilliseconds = 5000);

// The desktop's launcher: launchWithOpener with xdg-open from PATH, whose
// exit status tells whether anything could open the target (the desktop
// services report success as soon as xdg-open starts).
int desktopLaunch(const QString& target);

// Opens target with the default action. A code that has a message is shown
// through report; every other code ends the call silently. An empty launch
// or report stands for the default.
void ShellOpen(const QString& target, const ShellLauncher& launch = desktopLaunch,
               const ShellErrorReporter& report = {});

} // namespace morvane
