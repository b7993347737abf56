// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"
#include "chi_square.h"
#include "distribution.h"
#include "zufall.h"


#include <QAbstractTableModel>
#include <QWidget>

#include <array>
#include <optional>
#include <span>
#include <vector>

class Game;
class QGroupBox;
class QLabel;
class QResizeEvent;
class QShowEvent;
class QTableView;

// Every reachable sum of the current game: its count and relative frequency beside the
// probability and the expected count of fair dice, and the class the χ² test counts it in.
// Numbers are exact and German.
class AuswertungModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Gezinkt is there only while the dice are loaded and not secret.
    enum Column {
        Summe,
        Anzahl,
        Relativ,
        Wahrscheinlichkeit,
        Erwartet,
        Klasse,
        Spalten,
        Gezinkt = Spalten
    };

    explicit AuswertungModel(QObject *parent = nullptr);

    // `counts[i]` is the count of the sum distribution.minSum() + i; `classes` are the χ² test's
    // pooled classes of these counts (none without a test).
    void setCounts(const SumDistribution &distribution, std::vector<qint64> counts,
                   std::span<const ChiSquare::Class> classes);
    // Loaded dice add a last column: each sum's probability under the weights. None: fair dice,
    // or the settings are secret.
    void setLoaded(std::optional<SumChances> chances);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString text(int row, int column) const;

    SumDistribution m_distribution{1};
    std::vector<qint64> m_counts;
    qint64 m_throws = 0;
    std::vector<QString> m_classes; // per row, empty without a test
    std::optional<SumChances> m_loaded;
};

// "Auswertung": how the throws since New compare with fair dice: mean and standard deviation
// beside their theoretical values, Pearson's χ² test with a sentence for pupils, and a table of
// every sum.
class Auswertung : public QWidget, public AccessibleWindow
{
    Q_OBJECT

public:
    Kind accessibleKind() const override { return Kind::Evaluation; }
    explicit Auswertung(const Game &game);

    // Reads the game state again; cheap enough to run after every move.
    void refresh();

    const AuswertungModel &model() const { return *m_model; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void showNoGame();
    // Grows the window (within its screen) when a longer sentence needs more lines than the
    // layout can give it.
    void keepTextWhole();

    // From the third look on, the verdict warns that looking often raises false alarms.
    static constexpr int SeveralLooks = 3;

    const Game &m_game;
    int m_looks = 0;
    int m_fittedHeight = 0;
    qint64 m_lastLook = -1;
    QLabel *m_wurfanzahl;

    QLabel *m_mittelwert;
    QLabel *m_mittelwertTheorie;
    QLabel *m_standardabweichung;
    QLabel *m_standardabweichungTheorie;
    QLabel *m_chiQuadrat;
    QLabel *m_freiheitsgrade;
    QLabel *m_pWert;
    QLabel *m_deutung;
    QLabel *m_klassen = nullptr;
    QLabel *m_gewichte = nullptr;

    QGroupBox *m_kennzahlen = nullptr;
    QGroupBox *m_test = nullptr;
    QLabel *m_mittelwertCaption = nullptr;
    QLabel *m_sdCaption = nullptr;
    AuswertungModel *m_model;
    QTableView *m_tabelle;
};
