// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pie.h"
#include "shared_window.h"

#include <QObject>

#include <array>
#include <span>

class AbsHaeufigkeiten;
class Auswertung;
class Dialogs;
class Entwicklung;
class Game;
class RelHaeufigkeiten;
class Verlauf;
class Zufallsgroesse;

// The statistics windows of one program, each a shared instance that the main window owns
// through this registry. The registry is also how the windows follow the game: after every New
// and every move it brings each window up to date, always in the same order (the bar chart
// before the pie, both before the theory windows), whichever of them the user closed and opened
// again in between. The bar chart, the pie and the history are made at the first change of the
// game, shown or not; the theory windows only once the user has asked for them. Every chart it
// makes, again after each close too, gets its theory items wired to the theory windows.
class StatisticsWindows : public QObject
{
    Q_OBJECT

public:
    // `game` and `dialogs` must outlive the registry; every window is created with them. The
    // pie chart draws its wedges with `pie`.
    StatisticsWindows(Game &game, Dialogs &dialogs, PieFunction pie = &Pie);

    ~StatisticsWindows() override;

    SharedWindow<AbsHaeufigkeiten> &absHaeufigkeiten() { return m_abs; }
    SharedWindow<RelHaeufigkeiten> &relHaeufigkeiten() { return m_rel; }
    SharedWindow<Verlauf> &verlauf() { return m_verlauf; }
    SharedWindow<Auswertung> &auswertung() { return m_auswertung; }
    SharedWindow<Entwicklung> &entwicklung() { return m_entwicklung; }
    SharedWindow<Zufallsgroesse> &zufallsgroesse() { return m_zufallsgroesse; }

    // Every window, in the order in which the main window unloads them when it closes: the pie,
    // the bar chart and the history first, then the theory windows.
    std::span<SharedWindowBase *const> all() const { return m_unloadOrder; }
    void unloadAll();

    // "Entwicklung" on `sum`, or on the most likely sum of the game when `sum` is 0 (the menu was
    // opened over no bar or wedge), in front of the others.
    void showEntwicklung(int sum);

private:
    void keepTheTestInView();
    void followNewGame();
    void followMove();
    void refreshTheory();
    // The chart windows' theory actions (MAuswertung, MEntwicklung) open the theory windows.
    void linkTheoryActions(QWidget *chart);

    Game &m_game;
    SharedWindow<AbsHaeufigkeiten> m_abs;
    SharedWindow<RelHaeufigkeiten> m_rel;
    SharedWindow<Verlauf> m_verlauf;
    SharedWindow<Auswertung> m_auswertung;
    SharedWindow<Entwicklung> m_entwicklung;
    SharedWindow<Zufallsgroesse> m_zufallsgroesse;
    const std::array<SharedWindowBase *, 6> m_unloadOrder;
};
