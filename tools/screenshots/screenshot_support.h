#pragma once
// What the screenshot tools share: a pause for the window manager and the
// widgets to settle, then the picture.

#include <QEventLoop>
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

// The window with its frame, cut from the screen, so that nothing else
// shows in the picture.
inline bool grabFramed(QWidget& window, const QString& target)
{
    settleFor();
    // A window shown a moment ago may not be mapped and framed yet.
    for (int i = 0; i < 10 && (!window.isVisible() || window.frameGeometry().width() < 50); ++i)
        settleFor(300);
    const QRect frame = window.frameGeometry();
    return window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height()).save(target);
}

// The window's own contents only.
inline bool grabContents(QWidget& window, const QString& target)
{
    settleFor();
    return window.grab().save(target);
}
