#include "shell_open.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
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

int desktopLaunch(const QString& target)
{
    const int code = shellTargetCode(target);
    if (code != kShellSuccess)
        return code;
    return QDesktopServices::openUrl(urlOf(target)) ? kShellSuccess : 31;
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
