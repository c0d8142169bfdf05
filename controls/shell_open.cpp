#include "shell_open.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace morvane {
namespace {

struct CodeMessage {
    int code;
    const char* text;
};

constexpr CodeMessage kMessages[] = {
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {5, "The operating system denied access to the specified file."},
    {8, "There was not enough memory to complete the operation."},
    {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
    {26, "A sharing violation occurred."},
    {27, "The filename association is incomplete or invalid."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {29, "The DDE transaction failed."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
    {31, "There is no application associated with the given filename extension."},
    {32, "The specified dynamic-link library was not found."},
};

// A web address carries a scheme of two or more letters; "C:" or a path does not.
bool isWebAddress(const QUrl& url)
{
    return url.isValid() && url.scheme().size() > 1 && !url.isLocalFile();
}

QUrl urlOf(const QString& target)
{
    const QUrl url(target, QUrl::StrictMode);
    if (url.isLocalFile() || isWebAddress(url))
        return url;
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

void showErrorBox(const QString& message)
{
    QMessageBox::critical(nullptr, QStringLiteral("Error"), message);
}

} // namespace

QString shellErrorMessage(int code)
{
    for (const CodeMessage& m : kMessages) {
        if (m.code == code)
            return QString::fromLatin1(m.text);
    }
    return {};
}

int shellTargetCode(const QString& target)
{
    const QUrl url = urlOf(target);
    if (!url.isLocalFile())
        return kShellSuccess;
    const QFileInfo file(url.toLocalFile());
    if (!file.exists())
        return file.absoluteDir().exists() ? 2 : 3;
    if (!file.isReadable())
        return 5;
    return kShellSuccess;
}

int openerExitCode(int status)
{
    switch (status) {
    case 0:
        return kShellSuccess;
    case 2:
        return 2; // a file named in the target is missing
    default:
        return 31; // 1 bad use, 3 no tool for it, 4 the action failed
    }
}

int launchWithOpener(const QString& opener, const QString& target, int waitMilliseconds)
{
    const int code = shellTargetCode(target);
    if (code != kShellSuccess)
        return code;
    if (opener.isEmpty())
        return 31;
    // Owned by the application, so that an opener still running when the
    // wait ends is neither killed nor leaked.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    const QUrl url = urlOf(target);
    process->start(opener, {url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded)});
    if (!process->waitForStarted()) {
        delete process;
        return 31;
    }
    QEventLoop wait;
    QObject::connect(process, &QProcess::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(waitMilliseconds, &wait, &QEventLoop::quit);
    if (process->state() != QProcess::NotRunning)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    if (process->state() != QProcess::NotRunning) {
        // The application it started is still in the foreground.
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        return kShellSuccess;
    }
    const int result = process->exitStatus() == QProcess::NormalExit ? openerExitCode(process->exitCode()) : 31;
    delete process;
    return result;
}

int desktopLaunch(const QString& target)
{
    return launchWithOpener(QStandardPaths::findExecutable(QStringLiteral("xdg-open")), target);
}

void ShellOpen(const QString& target, const ShellLauncher& launch, const ShellErrorReporter& report)
{
    int code = 0;
    try {
        code = launch ? launch(target) : desktopLaunch(target);
    } catch (...) {
        code = 0; // out of resources: the shell says nothing either
    }
    const QString message = shellErrorMessage(code);
    if (message.isEmpty())
        return;
    if (report)
        report(message);
    else
        showErrorBox(message);
}

} // namespace morvane
