// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "random_variable.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <array>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

class Dialogs;
class Game;
class QComboBox;
class QContextMenuEvent;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLocale;
class QMenu;
class QPainter;
class QSpinBox;
class QTableView;

// One row per value of the chosen variable: its count and relative frequency beside its exact
// probability for fair dice (reduced fraction and decimal) and the expected count; while the dice
// are loaded and not secret, a last column with the probability under the weights.
class ZufallsgroesseModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Wert, Anzahl, Relativ, Bruch, Dezimal, Erwartet, Spalten, Gezinkt = Spalten };

    using QAbstractTableModel::QAbstractTableModel;

    void setValues(RandomVariable::Groesse groesse, std::vector<int> values,
                   std::vector<qint64> counts, RandomVariable::Chances fair,
                   std::optional<RandomVariable::Chances> loaded);

    RandomVariable::Groesse groesse() const { return m_groesse; }
    qint64 throws() const { return m_throws; }
    qint64 count(int row) const { return m_counts[static_cast<std::size_t>(row)]; }
    double share(int row) const;
    double probability(int row) const;
    QString text(int row, int column, const QLocale &locale) const;
    // The table for a spreadsheet: tab-separated, numbers in `locale`; the probability as a
    // decimal only, since a spreadsheet would take "1/6" for a date.
    QString tableText(const QLocale &locale) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    RandomVariable::Groesse m_groesse = RandomVariable::Groesse::Augensumme;
    std::vector<int> m_values;
    std::vector<qint64> m_counts;
    qint64 m_throws = 0;
    RandomVariable::Chances m_fair;
    std::optional<RandomVariable::Chances> m_loaded;
};

// The bars of the table: the observed relative frequency of every value beside its exact
// probability. One routine paints the screen, the images, the SVG file and the printout. Left
// and Right walk the bars for the keyboard and a screen reader.
class ZDiagramm : public QWidget
{
    Q_OBJECT

public:
    explicit ZDiagramm(const ZufallsgroesseModel &model, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    // Paints the chart at `size` in its logical coordinates, with vector operations only.
    void paintChart(QPainter &painter, QSizeF size) const;
    int currentBar() const { return m_current; }
    // What a screen reader says of the current bar.
    QString barText(int row) const;
    // After the model changed.
    void refresh();

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void announce();
    // Where the bars stand in a chart of `size`.
    static QRectF plotArea(QSizeF size);

    const ZufallsgroesseModel &m_model;
    QString m_title;
    int m_current = 0;
};

// "Zufallsgröße": a variable of every throw besides the sum (the number of sixes, the largest
// face, a double …), observed against exact theory, with the binomial test on the number of one
// face.
class Zufallsgroesse : public QWidget
{
    Q_OBJECT

public:
    // `dialogs` are the main window's: every dialog this window shows belongs to it.
    Zufallsgroesse(const Game &game, Dialogs &dialogs);

    // Catches up with the game: after every move and every New. Only the new throws are read.
    void refresh();

    const ZufallsgroesseModel &model() const { return *m_model; }
    const ZDiagramm &diagramm() const { return *m_diagramm; }

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
