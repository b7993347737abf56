// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"
#include "random_variable.h"
#include "zufallsgroesse_diagramm.h"
#include "zufallsgroesse_tabelle.h"

#include <QWidget>

#include <array>
#include <optional>
#include <tuple>
#include <utility>

class Dialogs;
class Game;
class QComboBox;
class QContextMenuEvent;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QMenu;
class QSpinBox;
class QTableView;

// "Zufallsgröße": a variable of every throw besides the sum (the number of sixes, the largest
// face, a double …), observed against exact theory, with the binomial test on the number of one
// face.
class Zufallsgroesse : public QWidget, public AccessibleWindow
{
    Q_OBJECT

public:
    // `dialogs` are the main window's: every dialog this window shows belongs to it.
    Zufallsgroesse(const Game &game, Dialogs &dialogs);

    // Catches up with the game: after every move and every New. Only the new throws are read.
    void refresh();

    const ZufallsgroesseModel &model() const { return *m_model; }
    Kind accessibleKind() const override { return Kind::RandomVariable; }

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void followDice();
    void updateTest();
    RandomVariable::Groesse groesse() const;
    // The face the test counts, if the chosen variable is a count of one face.
    std::optional<int> testedFace() const;

    const Game &m_game;
    QComboBox *m_groesse;
    QLabel *m_augenzahlLabel;
    QSpinBox *m_augenzahl;
    ZufallsgroesseModel *m_model;
    QTableView *m_tabelle;
    ZDiagramm *m_diagramm;
    QGroupBox *m_test;
    QComboBox *m_seite;
    QDoubleSpinBox *m_alternative;
    QLabel *m_testergebnis;
    QLabel *m_gewichte;
    QMenu *m_menu;

    int m_dice = 0; // the number of dice the chooser was filled for
    std::tuple<int, int, int, std::array<int, 6>> m_theoryKey{-1, 0, 0, {}};
    RandomVariable::Chances m_fair;
    std::optional<RandomVariable::Chances> m_loaded;
    // What the table's columns were last sized for.
    std::tuple<int, int, bool> m_tableShape{-1, 0, false};
    qsizetype m_fittedDigits = 0;
    RandomVariable::Tally m_tally;
    // The weights and face the alternative was last taken from: a typed value stays until they
    // change.
    std::optional<std::pair<std::array<int, 6>, int>> m_alternativeFrom;
};
