// SPDX-License-Identifier: GPL-3.0-or-later
#include "focus_frame.h"

#include <QEvent>
#include <QFocusFrame>
#include <QPointer>
#include <QWidget>

namespace {

class FocusWatcher : public QObject
{
public:
    explicit FocusWatcher(QWidget &widget) : QObject(&widget), m_widget(&widget) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::FocusIn) {
            // Created on first use, a sibling of the widget, so that the frame can lie around it.
            if (!m_frame)
                m_frame = new QFocusFrame(m_widget->parentWidget());
            m_frame->setWidget(m_widget);
        } else if (watched == m_widget && event->type() == QEvent::FocusOut && m_frame) {
            m_frame->setWidget(nullptr);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *m_widget;
    QPointer<QFocusFrame> m_frame;
};

} // namespace

void frameWhileFocused(QWidget &widget)
{
    widget.installEventFilter(new FocusWatcher(widget));
}
