#include "notifier.h"

#include "app_identity.h"

#include <QMessageBox>

void MessageBoxNotifier::error(const QString& text)
{
    QMessageBox::critical(m_parent, QStringLiteral("Error"), text);
}

void MessageBoxNotifier::information(const QString& text)
{
    QMessageBox::information(m_parent, QStringLiteral("Information"), text);
}

void MessageBoxNotifier::generalError(const QString& text)
{
    QMessageBox::critical(m_parent, kApplicationTitle, text);
}

bool MessageBoxNotifier::question(const QString& title, const QString& text)
{
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes;
}
