// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "element_list.h"
#include "game.h"
#include "statistics_windows.h"

#include <QMainWindow>

#include <functional>
#include <optional>

#include <vector>

class Announcement;
class Dialogs;
class DiceArea;
class QAction;
class QLabel;
class QLocale;
class QMenu;
class RandomSource;
class RollButton;

// "Kollavo", the start-up window: the row of dice, the roll button and the menu bar through
// which every other command is reached. Constructing it is the window's load: it sets the
// game's defaults and starts the first game.
//
// Its collaborators come in through the constructor and must outlive it: `dialogs` for every
// input, message and save dialog, its own and the statistics windows', and `random` for the
// dice. It owns the game and the statistics windows; it performs commands on the game, and
// every window, this one included, follows the game's signals.
class Casino : public QMainWindow
{
    Q_OBJECT

public:
    // The pie chart draws its wedges with `pie`; a test hands in a recorder.
    Casino(Dialogs &dialogs, RandomSource &random, PieFunction pie = &Pie);

    ~Casino() override;

    // The face array of face value 1 … 6 (Eins … Sechs); element i stands in die slot i.
    const ElementList<QLabel> &faceArray(int value) const;

    const Game &game() const { return m_game; }
    // For tests and tools that set up a game without throwing it.
    Game &game() { return m_game; }
    StatisticsWindows &windows() { return m_windows; }

    void MNeu_Click();
    void MAnzahl_Click();
    void MWuerfe_Click();
    void CBKollavo_MouseDown();
    void MInfo_Click();
    void MEnde_Click();
    void MExport_Click();
    // "Würfel und Zufall …" from the tray's context menu: start value and weights.
    void MZufall_Click();
    // The close box while a modal dialog blocks the window, which Qt itself ignores.
    void closeBoxWhileBlocked();

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createDiceRow();
    void Form_Load();
    void Form_Unload();
    void windowItemClicked(QAction *item, SharedWindowBase &window);
    void exportData();
    void showFaces(const MoveResult &result);
    void updateRollButtonTip();
    void reportCountLimit(const MoveResult &result, qint32 throwsAsked);
    void reportAfterThePress(std::function<void()> report);

    // The entry `parse` accepts, asked for with `prompt` and `current` as the default; nothing
    // when the program ends meanwhile.
    template <class Value>
    std::optional<Value> askUntilValid(const QString &prompt, Value current,
                                       std::optional<Value> (*parse)(const QString &,
                                                                     const QLocale &));

    Dialogs &m_dialogs;
    // Declared before the windows, which must not outlive it.
    Game m_game;
    StatisticsWindows m_windows;
    // The unload step ran: the window is closing or closed, and asks nothing more.
    bool m_unloaded = false;
    bool m_reportOpen = false;      // a press's message is on the screen
    bool m_closeAfterReport = false; // the close box was clicked meanwhile



    DiceArea *m_client = nullptr;
    Announcement *m_ansage = nullptr;
    RollButton *m_cbKollavo = nullptr;
    std::vector<ElementList<QLabel>> m_faces; // Eins … Sechs

    QAction *m_mWuerfeln = nullptr;
    QAction *m_mZufall = nullptr;
    QMenu *m_trayMenu = nullptr;

    QAction *m_mNeu = nullptr;

    QAction *m_mAnzahl = nullptr;
    QAction *m_mWuerfe = nullptr;
    QMenu *m_mHauf = nullptr;
    QAction *m_mAbs = nullptr;
    QAction *m_mRel = nullptr;
    QAction *m_mVerlauf = nullptr;
    QAction *m_mExport = nullptr;
    QAction *m_mInfo = nullptr;
    QAction *m_mEnde = nullptr;
};

// What a press of the roll button will do and what has been gathered, for its tooltip.
// `howTheDiceFall` tells of a start value or loaded dice; empty for fair dice from the clock.
QString rollButtonTip(qint16 dice, qint32 throwsPerMove, qint64 throwsSoFar,
                      const QString &howTheDiceFall = {});

// The Info message's three lines, joined by CR LF.
QString infoText();
