// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// The roll button throws when any mouse button goes down on it, not on release and not from the
// keyboard: it has no click handler, so space or Enter do nothing. Assistive technology presses
// it through roll().
class RollButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    // Throws as a mouse press does.
    void roll() { emit mouseDown(); }

signals:
    void mouseDown();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // A right press throws; it must not also open the tray's menu. The Menu key and Shift+F10
    // do open it.
    void contextMenuEvent(QContextMenuEvent *event) override;
};

