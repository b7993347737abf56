// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs.h"
#include "pie.h"

#include "random_source.h"
#include "scripted_random.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

class Casino;
class Game;
class StatisticsWindows;

// Answers the program's dialogs from a script and records what they were asked; a dialog with no
// answer left fails the test instead of blocking.
class ScriptedDialogs final : public Dialogs
{
public:
    struct Input
    {
        QString prompt;
        QString title;
        QString defaultText;
    };
    struct Message
    {
        QString text;
        QString title;
        Icon icon;
    };

    std::deque<QString> inputAnswers;
    std::deque<QString> saveAnswers; // an empty answer is a cancelled dialog
    QList<Input> inputs;
    QList<Message> messages;
    QList<QStringList> saveFilters; // the filters each save dialog offered
    QStringList saveSuffixes;       // the default suffix each save dialog was given
    // The filter each answered save dialog reports as chosen; the first offered when empty.
    std::deque<QString> saveFilterAnswers;
    std::deque<bool> printAnswers; // false: the print dialog was cancelled
    int printDialogs = 0;
    // Runs while a message is open, as the user could act on other windows meanwhile.
    std::function<void()> whileMessageOpen;
    // Runs while an entry box is open, before it is answered.
    std::function<void()> whileInputOpen;
    // Runs while a save or print dialog is open, before it is answered.
    std::function<void()> whileFileDialogOpen;

    QString inputBox(const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void messageBox(const QString &text, const QString &title, Icon icon) override;
    // Like the real dialog, adds the chosen filter's suffix to an answer without one when given
    // a default suffix.
    QString saveFileName(const QStringList &filters, QString *selectedFilter,
                         const QString &defaultSuffix) override;
    bool printDialog(QPrinter &printer) override;
};

// The program as it is right after start-up: every statistics window unloaded, and a new main
// window loaded (not shown) with these collaborators,
// which must outlive it.
std::unique_ptr<Casino> startProgram(Dialogs &dialogs, RandomSource &random,
                                     PieFunction pie = &Pie);
// What a worksheet action produced: the saved file at `savedPath` if there is one, else the
// clipboard's text.
QString worksheetResult(const QString &savedPath);

// Ends the program: its windows unloaded and deleted, for cleanup().
void endProgram(std::unique_ptr<Casino> &casino);

// The statistics windows and the game of the program that startProgram() started last, while it
// runs. Tests write the game directly to set up a state without throwing it.
StatisticsWindows &windows();
Game &game();

