// SPDX-License-Identifier: GPL-3.0-or-later
#include "roll_button.h"

#include <QContextMenuEvent>
#include <QMouseEvent>

void RollButton::mousePressEvent(QMouseEvent *event)
{
    QPushButton::mousePressEvent(event); // the pressed look for the left button
    event->accept();                     // right and middle presses are ours too
    emit mouseDown();
}

void RollButton::contextMenuEvent(QContextMenuEvent *event)
{
    // The keyboard's request goes on to the tray, whose menu is the main window's.
    if (event->reason() == QContextMenuEvent::Keyboard)
        event->ignore();
    else
        event->accept();
}
