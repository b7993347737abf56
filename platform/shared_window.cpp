// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared_window.h"

#include "screen_fit.h"

#include <QEvent>

void SharedWindowBase::show()
{
    QWidget &window = touch();
    // A window opens at its design position, or as near to it as its screen allows; once it has
    // been shown or hidden, it stays wherever the user has put it.
    if (!window.testAttribute(Qt::WA_WState_ExplicitShowHide))
        ScreenFit::showOnScreen(window);
    else
        window.show();
}

void SharedWindowBase::hide()
{
    if (m_window)
        m_window->hide();
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

Dialogs &SharedWindowBase::attachedDialogs() const
{
    Q_ASSERT_X(m_dialogs, "SharedWindow", "a window that shows dialogs was touched before attach()");
    return *m_dialogs;
}

void SharedWindowBase::adopt(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->installEventFilter(this);
    m_window = window;
}

bool SharedWindowBase::eventFilter(QObject *watched, QEvent *event)
{
    // Closing is never refused in this program, so the window leaves its instance as soon as the
    // close begins: anything that touches the instance from now on gets a new window, not one
    // that is about to be deleted.
    if (event->type() == QEvent::Close && watched == m_window)
        m_window = nullptr;
    return QObject::eventFilter(watched, event);
}
