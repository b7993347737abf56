// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_window.h"

#include "screen_fit.h"

#include <QEvent>

void SharedWindowBase::show()
{
    QWidget &window = touch();
    // A window opens at its design position, or as near to it as its screen allows; once it has
    // been shown or hidden, it stays wherever the user has put it.
    if (!std::exchange(m_placed, true))
        ScreenFit::showOnScreen(window);
    else
        window.show();
}

void SharedWindowBase::showInFront()
{
    show();
    if (m_window) {
        m_window->raise();
        m_window->activateWindow();
    }
}

void SharedWindowBase::hide()
{
    if (m_window) {
        m_placed = true;
        m_window->hide();
    }
}

void SharedWindowBase::unload()
{
    if (!m_window)
        return;
    QWidget *window = m_window;
    window->close();
    // close() only schedules the deletion; the program expects the window gone right away.
    delete window;
}

void SharedWindowBase::adopt(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    connect(window, &QObject::destroyed, this, &SharedWindowBase::released);
    m_window = window;
    m_placed = false;
    emit created(window);

}

bool SharedWindowBase::eventFilter(QObject *watched, QEvent *event)
{
    // Closing is never refused in this program, so the window leaves its instance as soon as the
    // close begins: anything that touches the instance from now on gets a new window, not one
    // that is about to be deleted.
    if (event->type() == QEvent::Close && watched == m_window) {
        m_window = nullptr;
        emit released();
    }
    return QObject::eventFilter(watched, event);
}
