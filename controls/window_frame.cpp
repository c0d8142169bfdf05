#include "window_frame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <limits>

namespace morvane {

namespace {

// Used until the window manager tells the real height.
constexpr int kMinimumTitleHeight = 24;

// The native window of a top-level on its way to the screen or on it. A
// widget not yet shown is placed by QWidget itself, which then takes the
// position as the frame's.
QWindow* nativeWindow(const QWidget* window)
{
    return window->isWindow() && window->isVisible() ? window->windowHandle() : nullptr;
}

long long distanceSquared(const QRect& area, QPoint point)
{
    const long long dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
    const long long dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
    return dx * dx + dy * dy;
}

} // namespace

void moveFrameTo(QWidget* window, QPoint position)
{
    if (QWindow* native = nativeWindow(window)) {
        // The widget's own move keeps its geometry in step with the native
        // window's (so that showing it does not put the old one back); the
        // frame-inclusive position then tells the window manager that the
        // point is the frame's (north-west gravity), framed yet or not.
        window->move(position);
        native->setFramePosition(position);
        return;
    }
    window->move(position);
}

QRect outerBounds(const QWidget* window)
{
    if (const QWindow* native = nativeWindow(window))
        return QRect(native->framePosition(), native->frameGeometry().size());
    return window->frameGeometry();
}

QPoint titleBarOnScreen(const QRect& frame, int titleHeight, const QList<QRect>& screens)
{
    const QRect titleBar(frame.left(), frame.top(), frame.width(), std::max(titleHeight, 1));
    for (const QRect& screen : screens) {
        if (screen.contains(titleBar))
            return frame.topLeft();
    }
    const QRect* nearest = nullptr;
    long long best = std::numeric_limits<long long>::max();
    for (const QRect& screen : screens) {
        const long long d = distanceSquared(screen, frame.center());
        if (d < best) {
            best = d;
            nearest = &screen;
        }
    }
    if (!nearest)
        return frame.topLeft();
    const int left =
        std::clamp(frame.left(), nearest->left(), std::max(nearest->left(), nearest->right() + 1 - frame.width()));
    const int top =
        std::clamp(frame.top(), nearest->top(), std::max(nearest->top(), nearest->bottom() + 1 - titleBar.height()));
    return {left, top};
}

void keepTitleBarOnScreen(QWidget* window)
{
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    const QRect frame = outerBounds(window);
    const QWindow* native = nativeWindow(window);
    const int titleHeight = std::max(native ? native->frameMargins().top() : 0, kMinimumTitleHeight);
    const QPoint corner = titleBarOnScreen(frame, titleHeight, screens);
    if (corner != frame.topLeft())
        moveFrameTo(window, corner);
}

} // namespace morvane
