// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// The roll button throws when any mouse button goes down on it, not on release and not from the
// keyboard: it has no click handler, so space or Enter do nothing.
class RollButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

signals:
    void mouseDown();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
