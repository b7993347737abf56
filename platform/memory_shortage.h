// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QString>

#include <functional>

class Dialogs;

// Why a command failed when memory ran out, and that the game is kept.
QString shortageReason();
// What the user reads then: `notDone` says what did not happen, shortageReason() why.
QString shortageText(const QString &notDone);

// Runs a command that needs memory in proportion to the game. Should memory run out on the way,
// the user hears what was not done instead of std::bad_alloc ending the program; false then.
bool runOrReportShortage(Dialogs &dialogs, const QString &title, const QString &notDone,
                         const std::function<void()> &command);

// The last line: a std::bad_alloc that a command let through is caught where Qt hands an event
// to the program, so the program and its game go on. memoryRanShort() follows once the event
// loop is back, once for shortages that come in a burst.
class GuardedApplication : public QApplication
{
    Q_OBJECT

public:
    GuardedApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;

signals:
    void memoryRanShort();

private:
    bool m_reportPending = false;
};
