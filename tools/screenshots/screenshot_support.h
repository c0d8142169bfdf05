#pragma once
// What the screenshot tools share: a pause for the window manager and the
// widgets to settle, then the picture.

#include "import/table_import_dialog.h"

#include <QEventLoop>
#include <QImage>
#include <QListWidget>
#include <QScreen>
#include <QString>
#include <QTimer>
#include <QWidget>

inline void settleFor(int ms = 800)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The whole screen, so that the window's frame and any dialog over it show.
inline bool grabScreen(QWidget& window, const QString& target)
{
    settleFor();
    return window.screen()->grabWindow(0).save(target);
}

inline bool isBlank(const QImage& picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != picture.pixel(0, 0))
                return false;
    return true;
}

// The window with its frame, cut from the screen, so that nothing else
// shows in the picture.
inline bool grabFramed(QWidget& window, const QString& target)
{
    settleFor();
    // A window shown a moment ago may not be mapped, framed and placed yet:
    // wait until its frame stays where it is.
    QRect placed;
    const auto moving = [&] {
        const QRect frame = window.frameGeometry();
        return !window.isVisible() || frame.width() < 50 || frame != placed;
    };
    for (int i = 0; i < 10 && moving(); ++i) {
        placed = window.frameGeometry();
        settleFor(300);
    }
    // A window mapped but not painted yet comes out in one colour: wait for it.
    QImage picture;
    for (int i = 0; i < 10 && (i == 0 || isBlank(picture)); ++i) {
        if (i > 0)
            settleFor(300);
        const QRect frame = window.frameGeometry();
        picture = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).toImage();
    }
    return !isBlank(picture) && picture.save(target);
}

// The window's own contents only.
inline bool grabContents(QWidget& window, const QString& target)
{
    settleFor();
    return window.grab().save(target);
}

// Selects the Import dialog's column whose label is `name`; false when the
// table has none.
inline bool chooseColumn(TableImportDialog& dialog, const QString& name)
{
    for (int row = 0; row < dialog.lwColumns->count(); ++row) {
        if (dialog.lwColumns->item(row)->data(Qt::UserRole).toString() == name) {
            dialog.lwColumns->setCurrentRow(row);
            return true;
        }
    }
    return false;
}
