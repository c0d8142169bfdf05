#include "app_identity.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

void applyApplicationIdentity(QApplication& app)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Morvane Engineering"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessivo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("tessivo"));
    app.setWindowIcon(QIcon(QStringLiteral(":/tessivo/tessivo.svg")));
    installFontSubstitutions();
}

void installFontSubstitutions()
{
    if (!QFont::substitutes(QStringLiteral("MS Sans Serif")).isEmpty())
        return;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}
