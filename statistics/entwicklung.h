// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"
#include "running_frequency.h"

#include <QWidget>

class QAreaSeries;
class QChart;
class QChartView;
class Dialogs;
class Game;

class QContextMenuEvent;
class QMenu;
class QShowEvent;
class QComboBox;
class QGraphicsPolygonItem;
class QLabel;
class QLineSeries;
class QLogValueAxis;
class QPainter;
class QSpinBox;
class QValueAxis;

// "Entwicklung": the law of large numbers. How the relative frequency of one sum (or the mean of
// all sums) moves after k = 1 … N throws, beside what theory expects and the band of two standard
// deviations around it, with k on a logarithmic axis. The record of throws lives in the game
// state; the window keeps its reduced series and only reads the throws it has not seen yet.
class Entwicklung : public QWidget, public GameChart
{
    Q_OBJECT

public:
    Kind accessibleKind() const override { return Kind::Development; }
    const Game &shownGame() const override { return m_game; }
    bool showsFrequency() const override;
    int shownSum() const override { return summe(); }
    // Six decades of throws across a window a thousand pixels wide: about a bucket per pixel
    // column, and every bucket's extremes are kept.
    static constexpr int BucketsPerDecade = 100;

    // `dialogs` are the main window's: every dialog this window shows belongs to it.
    Entwicklung(const Game &game, Dialogs &dialogs);


    // Catches up with the game state: after every move and every New. While the window is
    // hidden only the throws are read; the chart follows when it is shown.
    void refresh();
    // Shows the relative frequency of `sum` (a sum the dice cannot show becomes the nearest one).
    void showSum(int sum);

    RunningSeries::Groesse groesse() const;
    int summe() const;

    QChartView &chartView() const { return *m_chartView; }
    // The chart as vectors (lines, areas, text) into `target`, for images and printing.
    void paintChart(QPainter &painter, const QRectF &target);

    const QLineSeries &beobachtet() const { return *m_observed; }
    const QLineSeries &erwartet() const { return *m_expected; }
    const QAreaSeries &erwartungsbereich() const { return *m_band; }

protected:
    void showEvent(QShowEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void createControls();
    void createChart();
    void createMenu(Dialogs &dialogs);
    void followDice();
    void updateChart();
    static double axisEnd(qint64 throws);
    void setValueRange(double low, double high);
    void markOutside();

    // What theory and band were last drawn for; they are redrawn only when this changes.
    struct Theory
    {
        ExpectedRange range;
        double kEnd = 0;
        bool operator==(const Theory &) const = default;
    };

    const Game &m_game;
    QComboBox *m_groesse;
    QLabel *m_summeLabel;
    QSpinBox *m_summe;
    QLabel *m_hinweis;
    QChart *m_chart;
    QChartView *m_chartView;
    QLineSeries *m_observed;
    QLineSeries *m_expected;
    QLineSeries *m_bandUpper;
    QLineSeries *m_bandLower;
    QAreaSeries *m_band;
    QLogValueAxis *m_kAxis;
    QValueAxis *m_valueAxis;
    QMenu *m_menu;
    QList<QGraphicsPolygonItem *> m_outside; // arrows at the edge for values beyond the scale

    int m_dice = 0; // the number of dice the choice of sums was made for
    Theory m_shownTheory;
    bool m_chartStale = true;
    RunningSeries m_running{BucketsPerDecade};
};
