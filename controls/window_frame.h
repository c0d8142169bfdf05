#pragma once
// A top-level window's outer frame (title bar and borders included) as the
// user sees it, placed and read the same way whether or not a window
// manager has put its frame round the window yet.
//
// Under X11 a window that is moved before the window manager has framed it
// has its inner area placed at the given point, so a position saved from
// the frame and restored that way creeps up by one title bar on every start.
// These functions ask the window system to place the frame itself.

#include <QList>
#include <QPoint>
#include <QRect>

class QWidget;

namespace morvane {

// Moves the window so that the top-left corner of its outer frame is at
// `position`; a window that is not a top-level is moved as QWidget::move does.
void moveFrameTo(QWidget* window, QPoint position);

// The outer frame: where the window system has it, or, before the window
// is on screen, where moveFrameTo last asked for it.
QRect outerBounds(const QWidget* window);

// The top-left corner at which a frame's title bar (its top `titleHeight`
// pixels) lies within one of `screens`: the corner itself when the title
// bar is already wholly on a screen, else the nearest such corner on the
// screen closest to the frame (the window's width permitting, the whole
// title bar; else its left end).
QPoint titleBarOnScreen(const QRect& frame, int titleHeight, const QList<QRect>& screens);

// Moves the window with moveFrameTo to titleBarOnScreen over the available
// areas of the screens.
void keepTitleBarOnScreen(QWidget* window);

} // namespace morvane
