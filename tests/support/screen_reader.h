// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

// A screen reader for a test: while one lives, Qt sends its accessibility events (which it does
// only while assistive technology listens) and every name or description change is recorded
// with the text a screen reader then reads. One at a time.
class ListeningScreenReader
{
public:
    struct Heard
    {
        QAccessible::Event type;
        QPointer<QObject> element;
        QString text;
    };

    ListeningScreenReader();
    ~ListeningScreenReader();
    ListeningScreenReader(const ListeningScreenReader &) = delete;
    ListeningScreenReader &operator=(const ListeningScreenReader &) = delete;

    // False where Qt's platform layer would not switch its events on.
    bool isListening() const;
    void forget();
    const QList<Heard> &heard() const;
    // The texts of the changes of `type` heard from the children of `window`, in order.
    QStringList heardIn(const QObject &window,
                        QAccessible::Event type = QAccessible::NameChanged) const;

private:
    QAccessible::UpdateHandler m_before;
};
