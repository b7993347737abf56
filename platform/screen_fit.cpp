// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_fit.h"

#include <QApplication>
#include <QMargins>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace ScreenFit {

namespace {

// One axis: the span start … start + length - 1 inside low … high, both included.
void fitSpan(int &start, int &length, int low, int high)
{
    length = std::min(length, high - low + 1);
    start = std::clamp(start, low, high - length + 1);
}

// The title bar and borders the window system puts around `window`. Before a window is first
// shown the system has not framed it yet, so the frame of another visible window stands in:
// all windows of the program share one frame style.
QMargins frameMargins(const QWidget &window)
{
    if (window.isVisible() && window.windowHandle())
        return window.windowHandle()->frameMargins();
    for (const QWidget *other : QApplication::topLevelWidgets()) {
        if (other != &window && other->isVisible() && other->isWindow() && other->windowHandle()) {
            const QMargins margins = other->windowHandle()->frameMargins();
            if (!margins.isNull())
                return margins;
        }
    }
    return {};
}

QScreen *screenOf(const QWidget &window, const QRect &frame)
{
    if (QScreen *screen = QGuiApplication::screenAt(frame.center()))
        return screen;
    if (QScreen *screen = QGuiApplication::screenAt(frame.topLeft()))
        return screen;
    // Wholly off every screen, as a design position can be under a large scale factor.
    if (QScreen *screen = window.screen())
        return screen;
    return QGuiApplication::primaryScreen();
}

} // namespace

QRect fitInto(const QRect &frame, const QRect &available)
{
    if (available.isEmpty() || available.contains(frame))
        return frame;
    int x = frame.x(), width = frame.width();
    int y = frame.y(), height = frame.height();
    fitSpan(x, width, available.left(), available.right());
    fitSpan(y, height, available.top(), available.bottom());
    return {x, y, width, height};
}

void placeOnScreen(QWidget &window)
{
    const QMargins margins = frameMargins(window);
    const QRect frame = window.geometry() + margins;
    const QScreen *screen = screenOf(window, frame);
    if (!screen)
        return;
    const QRect fitted = fitInto(frame, screen->availableGeometry());
    if (fitted != frame)
        window.setGeometry(fitted - margins);
}

void showOnScreen(QWidget &window)
{
    placeOnScreen(window);
    window.show();
    placeOnScreen(window);
}

} // namespace ScreenFit
