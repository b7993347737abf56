// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QObject>
#include <QSize>

#include <functional>

class QWidget;

// Ctrl+Plus, Ctrl+Minus and Ctrl+0 for one window, for a projector: what the window draws grows
// from 100 % to 200 % in steps of 25 %, and the window with it, within its screen. It starts at
// 100 % and is forgotten with the window; at 100 % the window is exactly as it was.
class WindowZoom : public QObject
{
    Q_OBJECT

public:
    static constexpr int Smallest = 100;
    static constexpr int Largest = 200;
    static constexpr int Step = 25;

    // `drawn(factor)` scales what the window paints itself, beyond the fonts of its widgets,
    // which are scaled here.
    explicit WindowZoom(QWidget &window, std::function<void(qreal)> drawn = {});

    int percent() const { return m_percent; }
    void setPercent(int percent);

private:
    QWidget &m_window;
    std::function<void(qreal)> m_drawn;
    int m_percent = Smallest;
    QSize m_baseSize;
};

// Every font set on `root` or its descendants scaled by `factor` from the font it had at the
// first call; a factor of 1 gives each widget back exactly the font it had.
void scaleWidgetFonts(QWidget &root, qreal factor);

// `font` scaled by `factor`, in whichever unit it is sized.
QFont scaledFont(QFont font, qreal factor);
