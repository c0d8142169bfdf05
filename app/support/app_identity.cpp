#include "support/app_identity.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

void applyApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Morvane Engineering"));
    QCoreApplication::setApplicationName(QStringLiteral("Tessivo"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.0"));
}

void applyApplicationIdentity(QApplication& app)
{
    applyApplicationNames();
    QGuiApplication::setDesktopFileName(QStringLiteral("tessivo"));
    app.setWindowIcon(QIcon(QStringLiteral(":/tessivo/tessivo.svg")));
    installFontSubstitutions();
    // Widgets below a style sheet take the application's font rather than
    // their window's, so the layout's font is the application's as well.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    QApplication::setFont(font);
}

void installFontSubstitutions()
{
    if (!QFont::substitutes(QStringLiteral("MS Sans Serif")).isEmpty())
        return;
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Tahoma"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}
