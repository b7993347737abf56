// SPDX-License-Identifier: GPL-3.0-or-later
#include "close_request.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

// Watches X11's close requests (a WM_DELETE_WINDOW client message); other platforms send none.
class CloseWatcher : public QObject, public QAbstractNativeEventFilter
{
public:
    CloseWatcher(QWidget &window, std::function<void()> requested)
        : QObject(&window), m_window(&window), m_requested(std::move(requested))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t" || !m_window || !QApplication::activeModalWidget())
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE)
            return false;
        const auto *client = static_cast<const xcb_client_message_event_t *>(message);
        if (client->format != 32 || client->window != m_window->internalWinId()
            || client->data.data32[0] != deleteAtom())
            return false;
        // After the event has been handled: the callback may close the modal dialog.
        QMetaObject::invokeMethod(this, [this] { m_requested(); }, Qt::QueuedConnection);
        return false;
    }

private:
    xcb_atom_t deleteAtom()
    {
        if (m_deleteAtom != XCB_ATOM_NONE)
            return m_deleteAtom;
        auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        if (!x11)
            return XCB_ATOM_NONE;
        xcb_connection_t *connection = x11->connection();
        static constexpr char name[] = "WM_DELETE_WINDOW";
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, true, sizeof name - 1, name), nullptr);
        if (reply) {
            m_deleteAtom = reply->atom;
            std::free(reply);
        }
        return m_deleteAtom;
    }

    QPointer<QWidget> m_window;
    std::function<void()> m_requested;
    xcb_atom_t m_deleteAtom = XCB_ATOM_NONE;
};

} // namespace

void watchCloseWhileBlocked(QWidget &window, std::function<void()> requested)
{
    new CloseWatcher(window, std::move(requested));
}
