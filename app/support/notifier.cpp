#include "support/notifier.h"

#include "support/app_identity.h"

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <algorithm>

namespace {

// Room in the title bar beside the title: the window manager's buttons and
// borders, which the program cannot measure.
constexpr int kTitleBarExtra = 120;
// A detail names files by their full path: room for a path on one line.
constexpr int kDetailWidth = 420;

void show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text, const QString& detail)
{
    QMessageBox box(parent);
    box.setIcon(icon);
    prepareMessageBox(box, title, text, detail);
    box.exec();
}

} // namespace

void prepareMessageBox(QMessageBox& box, const QString& title, const QString& text, const QString& detail)
{
    box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(detail);
    box.setStandardButtons(QMessageBox::Ok);
    QFont titleFont = box.font();
    titleFont.setBold(true);
    int leastWidth = QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarExtra;
    if (!detail.isEmpty())
        leastWidth = std::max(leastWidth, kDetailWidth);
    // QMessageBox sizes itself to its text; a spacer across its grid is the
    // way to give it a least width.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(leastWidth, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
    }
}

void MessageBoxNotifier::error(const QString& text, const QString& detail)
{
    show(m_parent, QMessageBox::Critical, QStringLiteral("Error"), text, detail);
}

void MessageBoxNotifier::information(const QString& text, const QString& detail)
{
    show(m_parent, QMessageBox::Information, QStringLiteral("Information"), text, detail);
}

void MessageBoxNotifier::generalError(const QString& text, const QString& detail)
{
    show(m_parent, QMessageBox::Critical, kApplicationTitle, text, detail);
}

bool MessageBoxNotifier::question(const QString& title, const QString& text)
{
    return QMessageBox::question(m_parent, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}
