// SPDX-License-Identifier: GPL-3.0-or-later
#include "memory_shortage.h"

#include "dialogs.h"

#include <new>

QString shortageReason()
{
    return QStringLiteral("Der Arbeitsspeicher reicht nicht aus. Das Spiel bleibt erhalten; "
                          "schließen Sie andere Programme und versuchen Sie es noch einmal.");
}

QString shortageText(const QString &notDone)
{
    return notDone + QStringLiteral("\r\n") + shortageReason();
}

bool runOrReportShortage(Dialogs &dialogs, const QString &title, const QString &notDone,
                         const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const std::bad_alloc &) {
    }
    // Outside the handler: the message needs memory too, and what the command held is free now.
    dialogs.messageBox(shortageText(notDone), title, Dialogs::Icon::Warning);
    return false;
}

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) { }

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
    }
    if (!m_reportPending) {
        m_reportPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_reportPending = false;
                emit memoryRanShort();
            },
            Qt::QueuedConnection);
    }
    return false;
}
