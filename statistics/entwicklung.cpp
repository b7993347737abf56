// SPDX-License-Identifier: GPL-3.0-or-later
#include "entwicklung.h"

#include "chart_accessibility.h"
#include "design_font.h"
#include "distribution.h"
#include "focus_frame.h"
#include "game.h"
#include "number_format.h"
#include "window_zoom.h"
#include "worksheet_actions.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>

#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QGraphicsPolygonItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QMenu>
#include <QSignalBlocker>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

std::optional<SumDistribution> distributionOf(const Game &game)
{
    if (!game.isSetUp())
        return std::nullopt;
    return SumDistribution(game.dice());
}

// Enough decimals that neighbouring ticks `step` apart read differently (2,5 needs two).
QString labelFormatFor(double step)
{
    int decimals = 0;
    while (decimals < 8 && std::abs(step * std::pow(10.0, decimals)
                                    - std::round(step * std::pow(10.0, decimals)))
                               > 1e-6)
        ++decimals;
    return QStringLiteral("%.%1f").arg(decimals);
}

// Design: below "Verlauf", left of the pie, clear of the main window and of "Auswertung".
constexpr QRect DesignGeometry(6, 680, 616, 336);

const QString BandName = QStringLiteral("wo faire Würfel meistens bleiben");
// What the band means, and what it does not: it holds at each single number of throws, not
// along the whole line, and about 95 % only once the throws are many (exactly, for a probability
// of 1/6: 5/6 at one throw, 98,5 % at ten).
const QString BandExplanation = QStringLiteral(
    "Der Bereich reicht zwei Standardabweichungen (±2σ) über und unter den erwarteten Wert. "
    "Bei fairen Würfeln liegt der Wert nach einer bestimmten Anzahl von Würfen ab etwa 100 "
    "Würfen mit etwa 95 % Wahrscheinlichkeit darin; nach wenigen Würfen kann es deutlich "
    "weniger oder mehr sein, bei einer Wahrscheinlichkeit von 1/6 etwa nach einem Wurf 83 %, "
    "nach zehn 98,5 %. Dass die Linie den Bereich irgendwo hin und wieder verlässt, ist normal "
    "und geschieht in vielen Spielen.");

// A value beyond the scale is marked at the edge by a small arrow pointing away, this many
// pixels high.
constexpr qreal ArrowSize = 7;

// The band's edge reaches 3:1 against the white plot area (about 5:1).
const QColor BandEdge(60, 110, 200);

// The chart at least as wide as its legend in one row, so that no entry is cut at any font, and
// high enough for a plot beside the texts.
void fitLegendWidth(QChart &chart, QWidget &view)
{
    const QFontMetrics metrics(chart.legend()->font());
    int width = 40;
    for (const QLegendMarker *marker : chart.legend()->markers()) {
        if (marker->isVisible())
            width += metrics.horizontalAdvance(marker->label()) + metrics.height() + 16;
    }
    view.setMinimumWidth(width);
    // Room for the plot between title, axis and legend however large the font.
    view.setMinimumHeight(12 * metrics.height());
}

// From this many throws on, line and band decide the vertical axis; before, the band is too
// wide to show anything else.
constexpr qint64 ScaleFromThrows = 10;

} // namespace

Entwicklung::Entwicklung(const Game &game, Dialogs &dialogs) : m_game(game)
{
    setObjectName(QStringLiteral("Entwicklung"));
    setWindowTitle(QStringLiteral("Entwicklung der relativen Häufigkeit"));
    setGeometry(DesignGeometry);

    createControls();
    createChart();
    createMenu(dialogs);

    auto *row = new QHBoxLayout;
    auto *groesseLabel = new QLabel(QStringLiteral("&Darstellung:"), this);
    groesseLabel->setBuddy(m_groesse);
    row->addWidget(groesseLabel);
    row->addWidget(m_groesse);
    row->addSpacing(12);
    row->addWidget(m_summeLabel);
    row->addWidget(m_summe);
    row->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(row);
    layout->addWidget(m_hinweis);
    layout->addWidget(m_chartView, 1);

    refresh();
}


void Entwicklung::createControls()
{
    m_groesse = new QComboBox(this);
    m_groesse->setObjectName(QStringLiteral("Groesse"));
    m_groesse->addItem(QStringLiteral("relative Häufigkeit einer Augensumme"));
    m_groesse->addItem(QStringLiteral("Mittelwert der Augensummen"));

    m_summe = new QSpinBox(this);
    m_summe->setObjectName(QStringLiteral("Summe"));
    m_summeLabel = new QLabel(QStringLiteral("&Augensumme:"), this);
    m_summeLabel->setBuddy(m_summe);

    m_hinweis = new QLabel(this);
    m_hinweis->setObjectName(QStringLiteral("Hinweis"));
    m_hinweis->setText(QStringLiteral(
        "Noch keine Würfe: Nach dem ersten Spielzug erscheint hier die Entwicklung."));
    m_hinweis->setWordWrap(true);

    connect(m_groesse, &QComboBox::currentIndexChanged, this, &Entwicklung::refresh);
    connect(m_summe, &QSpinBox::valueChanged, this, &Entwicklung::refresh);
}

void Entwicklung::createChart()
{
    m_chart = new QChart;
    // Axis labels in German whatever the system's locale: decimal comma, "." between thousands.
    m_chart->setLocale(NumberFormat::german());
    m_chart->setLocalizeNumbers(true);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->setMargins(QMargins(4, 4, 4, 4));

    m_band = new QAreaSeries;
    m_bandUpper = new QLineSeries(m_band);
    m_bandLower = new QLineSeries(m_band);
    m_band->setUpperSeries(m_bandUpper);
    m_band->setLowerSeries(m_bandLower);
    m_band->setName(BandName);
    m_band->setColor(QColor(120, 160, 230, 90));
    m_band->setPen(QPen(BandEdge, 1.5));

    m_expected = new QLineSeries;
    m_expected->setPen(QPen(QColor(20, 60, 160), 1.5, Qt::DashLine));

    m_observed = new QLineSeries;
    m_observed->setName(QStringLiteral("beobachtet"));
    m_observed->setPen(QPen(QColor(200, 30, 30), 1.5));

    // Added in drawing order: the band at the back, the observation in front.
    m_chart->addSeries(m_band);
    m_chart->addSeries(m_expected);
    m_chart->addSeries(m_observed);

    m_kAxis = new QLogValueAxis;
    m_kAxis->setBase(10);
    m_kAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_kAxis->setMinorTickCount(-1);
    m_kAxis->setTitleText(QStringLiteral("Anzahl der Würfe"));
    m_valueAxis = new QValueAxis;
    m_chart->addAxis(m_kAxis, Qt::AlignBottom);
    m_chart->addAxis(m_valueAxis, Qt::AlignLeft);
    for (QAbstractSeries *series : m_chart->series()) {
        series->attachAxis(m_kAxis);
        series->attachAxis(m_valueAxis);
    }

    // Fonts in pixels: the printout scales the chart as a whole.
    m_chart->setTitleFont(inScreenPixels(m_chart->titleFont()));
    m_chart->legend()->setFont(inScreenPixels(m_chart->legend()->font()));
    for (QAbstractAxis *axis : m_chart->axes()) {
        axis->setLabelsFont(inScreenPixels(axis->labelsFont()));
        axis->setTitleFont(inScreenPixels(axis->titleFont()));
    }


    for (QLegendMarker *marker : m_chart->legend()->markers(m_band)) {
        connect(marker, &QLegendMarker::hovered, this, [this](bool inside) {
            if (inside)
                QToolTip::showText(QCursor::pos(), BandExplanation, m_chartView);
            else
                QToolTip::hideText();
        });
    }

    // The arrows follow the plot when the window changes size.
    connect(m_chart, &QChart::plotAreaChanged, this, [this] { markOutside(); });

    // On a projector the chart's texts grow with the window; they are sized in pixels, so the
    // window's font does not reach them.
    struct ChartFonts
    {
        QFont title, legend;
        QList<QFont> labels, titles;
    };
    ChartFonts base{m_chart->titleFont(), m_chart->legend()->font(), {}, {}};
    for (const QAbstractAxis *axis : m_chart->axes()) {
        base.labels << axis->labelsFont();
        base.titles << axis->titleFont();
    }
    new WindowZoom(*this, [this, base](qreal factor) {
        m_chart->setTitleFont(scaledFont(base.title, factor));
        m_chart->legend()->setFont(scaledFont(base.legend, factor));
        const QList<QAbstractAxis *> axes = m_chart->axes();
        for (qsizetype i = 0; i < axes.size() && i < base.labels.size(); ++i) {
            axes[i]->setLabelsFont(scaledFont(base.labels[i], factor));
            axes[i]->setTitleFont(scaledFont(base.titles[i], factor));
        }
        fitLegendWidth(*m_chart, *m_chartView);
    });

    m_chartView = new QChartView(m_chart, this);
    m_chartView->setObjectName(QStringLiteral("Diagramm"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    // A keyboard user reaches the chart (and its context menu with the menu key) with Tab.
    m_chartView->setFocusPolicy(Qt::StrongFocus);
    frameWhileFocused(*m_chartView);
}

void Entwicklung::createMenu(Dialogs &dialogs)
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("Kontextmenue"));
    // The chart at the size the view gives it.
    const auto chartSize = [this] { return m_chart->size().toSize(); };
    addWorksheetActions(*m_menu, *this, m_game, dialogs, chartSize, [this, chartSize](QPainter &painter) {
        paintChart(painter, QRectF(QPointF(0, 0), chartSize()));
    });
}

void Entwicklung::contextMenuEvent(QContextMenuEvent *event)
{
    // Not exec(): the menu must not hold up the program (nor a test) while it is open.
    m_menu->popup(event->globalPos());
    event->accept();
}

RunningSeries::Groesse Entwicklung::groesse() const
{
    return m_groesse->currentIndex() == 1 ? RunningSeries::Groesse::Mittelwert
                                          : RunningSeries::Groesse::RelativeHaeufigkeit;
}

int Entwicklung::summe() const
{
    return m_summe->value();
}


void Entwicklung::followDice()
{
    if (m_game.dice() == m_dice)
        return;
    m_dice = m_game.dice();
    // Sums of a different number of dice are another game, even in a record of the same length.
    m_running.clear();
    const bool oneDie = m_dice == 1;
    m_groesse->setItemText(0, oneDie ? QStringLiteral("relative Häufigkeit einer Augenzahl")
                                     : QStringLiteral("relative Häufigkeit einer Augensumme"));
    m_groesse->setItemText(1, oneDie ? QStringLiteral("Mittelwert der Augenzahlen")
                                     : QStringLiteral("Mittelwert der Augensummen"));
    m_summeLabel->setText(oneDie ? QStringLiteral("&Augenzahl:") : QStringLiteral("&Augensumme:"));
    const QSignalBlocker blocker(m_summe);
    if (const auto distribution = distributionOf(m_game)) {
        m_summe->setRange(distribution->minSum(), distribution->maxSum());
        m_summe->setValue(distribution->mostLikelySum());
    } else {
        m_summe->setRange(0, 0);
    }
}

void Entwicklung::refresh()
{
    followDice();
    m_running.setGroesse(groesse());
    m_running.setSumme(summe());
    m_running.update(m_game.throwSums());
    // The title names what the chart shows; files and printouts take it from here.
    const bool oneDie = m_dice == 1;
    if (!m_game.isSetUp())
        setWindowTitle(QStringLiteral("Entwicklung der relativen Häufigkeit"));
    else if (groesse() == RunningSeries::Groesse::Mittelwert)
        setWindowTitle(oneDie ? QStringLiteral("Entwicklung des Mittelwerts der Augenzahlen")
                              : QStringLiteral("Entwicklung des Mittelwerts der Augensummen"));
    else
        setWindowTitle(QStringLiteral("Entwicklung der relativen Häufigkeit der %1 %2")
                           .arg(oneDie ? QStringLiteral("Augenzahl") : QStringLiteral("Augensumme"),
                                NumberFormat::integer(summe())));
    // A hidden chart would lay out its series for a size it does not have yet; showing it
    // catches up once, at its real size.
    m_chartStale = !isVisible();
    if (!m_chartStale)
        updateChart();
    announceChartChange(*this);
}

void Entwicklung::showEvent(QShowEvent *event)
{
    if (m_chartStale) {
        m_chartStale = false;
        updateChart();
    }
    QWidget::showEvent(event);
}

void Entwicklung::showSum(int sum)
{
    followDice();
    {
        // One pass over the record for both changes, not one for each.
        const QSignalBlocker blockGroesse(m_groesse);
        const QSignalBlocker blockSumme(m_summe);
        m_groesse->setCurrentIndex(0);
        m_summe->setValue(sum);
    }
    refresh();
}

void Entwicklung::updateChart()
{
    const auto distribution = distributionOf(m_game);

    const qint64 throws = distribution ? m_running.throws() : 0;
    const bool frequency = groesse() == RunningSeries::Groesse::RelativeHaeufigkeit;
    m_summe->setEnabled(frequency);
    m_summeLabel->setEnabled(frequency);
    m_hinweis->setVisible(throws == 0);

    using namespace NumberFormat;
    const bool oneDie = distribution && distribution->dice() == 1;
    Theory theory;
    if (distribution)
        theory.range = expectedRange(*distribution, groesse(), summe());
    if (distribution && frequency) {
        const int s = summe();
        m_expected->setName(QStringLiteral("Wahrscheinlichkeit %1/%2 ≈ %3")
                                .arg(integer(distribution->ways(s)),
                                     integer(distribution->outcomes()),
                                     fraction(distribution->ways(s), distribution->outcomes(),
                                              Share)));
        // Above the chart rather than along its short side, where a long title is cut.
        m_chart->setTitle(QStringLiteral("relative Häufigkeit der %1 %2")
                                      .arg(oneDie ? QStringLiteral("Augenzahl")
                                                  : QStringLiteral("Augensumme"),
                                           integer(s)));
    } else if (distribution) {
        m_expected->setName(QStringLiteral("Erwartungswert %1 · %2 = %3")
                                .arg(fraction(7, 2, {1, 0}), integer(distribution->dice()),
                                     fraction(7 * distribution->dice(), 2, {1, 0})));
        m_chart->setTitle(oneDie ? QStringLiteral("Mittelwert der Augenzahlen")
                                 : QStringLiteral("Mittelwert der Augensummen"));
    }
    fitLegendWidth(*m_chart, *m_chartView);

    if (throws == 0) {
        m_observed->clear();
        m_expected->clear();
        m_bandUpper->clear();
        m_bandLower->clear();
        m_shownTheory = {};
        m_kAxis->setRange(1, 10);
        setValueRange(theory.range.floor, theory.range.ceiling);
        return;
    }

    // Every change of an axis or of a series makes the chart lay out all its series again, so
    // a move changes only what it must: the observed line, and the axis end with theory and band
    // only when the throws pass the next round number.
    const double kEnd = axisEnd(throws);
    theory.kEnd = kEnd;
    if (!(theory == m_shownTheory)) {
        const ExpectationBand band = expectationBand(theory.range, static_cast<qint64>(kEnd));
        m_kAxis->setRange(1, kEnd);
        m_bandLower->replace(band.lower);
        m_bandUpper->replace(band.upper);
        const double expected = theory.range.expected;
        m_expected->replace({QPointF(1, expected), QPointF(kEnd, expected)});
        m_shownTheory = theory;
    }
    const QList<QPointF> points = m_running.points();
    m_observed->replace(points);
    // A line needs two points; a single throw shows as a dot.
    m_observed->setPointsVisible(points.size() == 1);

    // The band is widest at one throw: for a rare sum it would squash the line flat. From 10
    // throws on, the band there and the line decide the scale; earlier values may leave it.
    const ExpectedRange &range = theory.range;
    double low = range.expected;
    double high = range.expected;
    if (throws < ScaleFromThrows) {
        low = std::min({low, m_running.minimum(), range.low(1)});
        high = std::max({high, m_running.maximum(), range.high(1)});
    } else {
        low = range.low(ScaleFromThrows);
        high = range.high(ScaleFromThrows);
        for (const QPointF &p : points) {
            if (p.x() >= ScaleFromThrows) {
                low = std::min(low, p.y());
                high = std::max(high, p.y());
            }
        }
    }
    if (high - low < 1e-9)
        high = low + (frequency ? 0.01 : 1);
    setValueRange(low, high);
    markOutside();
}

void Entwicklung::markOutside()
{
    // The first throws may lie beyond the scale that the later ones decide; an arrow at the
    // edge shows that the start was wilder, and its tooltip the value.
    for (QGraphicsPolygonItem *arrow : std::as_const(m_outside))
        delete arrow;
    m_outside.clear();
    if (m_observed->count() == 0)
        return;
    const bool frequency = groesse() == RunningSeries::Groesse::RelativeHaeufigkeit;
    const double top = m_valueAxis->max();
    const double bottom = m_valueAxis->min();
    for (const QPointF &p : m_observed->points()) {
        if (p.x() >= ScaleFromThrows)
            break;
        if (p.y() <= top && p.y() >= bottom)
            continue;
        const bool above = p.y() > top;
        const QPointF tip = m_chart->mapToPosition(QPointF(p.x(), above ? top : bottom), m_observed);
        const qreal away = above ? -ArrowSize : ArrowSize;
        auto *arrow = new QGraphicsPolygonItem(
            QPolygonF({tip + QPointF(0, away), tip + QPointF(-ArrowSize / 2, 0),
                       tip + QPointF(ArrowSize / 2, 0)}),
            m_chart);
        arrow->setPen(Qt::NoPen);
        arrow->setBrush(m_observed->pen().color());
        arrow->setZValue(m_chart->zValue() + 10);
        // Before ten throws every point is one throw: the value is a whole count over k.
        const auto k = static_cast<qint64>(std::llround(p.x()));
        const auto whole = static_cast<qint64>(std::llround(p.y() * static_cast<double>(k)));
        arrow->setToolTip(
            QStringLiteral("nach %1 %2: %3 – außerhalb der gezeigten Skala")
                .arg(NumberFormat::integer(k), k == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfen"),
                     NumberFormat::fraction(whole, k, frequency ? NumberFormat::Share
                                                                : NumberFormat::Digits{3, 0})));
        m_outside.append(arrow);
    }
}

double Entwicklung::axisEnd(qint64 throws)
{
    // Two significant digits, rounded up: the axis grows in steps of at most a tenth of a
    // decade, and on a logarithmic axis the gap after the last throw is hardly to be seen.
    if (throws <= 10)
        return 10;
    const double unit = std::pow(10.0, std::floor(std::log10(static_cast<double>(throws))) - 1);
    return std::ceil(static_cast<double>(throws) / unit - 1e-9) * unit;
}

void Entwicklung::setValueRange(double low, double high)
{
    // Ticks at multiples of 1, 2, 2,5 or 5 times a power of ten, about five intervals; computed
    // here rather than by applyNiceNumbers(), which changes the range several times over.
    const double raw = (high - low) / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    double step = magnitude;
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = factor * magnitude;
        if (step >= raw * (1 - 1e-9))
            break;
    }
    const double min = std::floor(low / step + 1e-9) * step;
    const double max = std::ceil(high / step - 1e-9) * step;
    if (m_valueAxis->min() != min || m_valueAxis->max() != max)
        m_valueAxis->setRange(min, max);
    m_valueAxis->setTickCount(static_cast<int>(std::lround((max - min) / step)) + 1);
    m_valueAxis->setLabelFormat(labelFormatFor(step));
}

void Entwicklung::paintChart(QPainter &painter, const QRectF &target)
{
    if (m_chartStale) {
        m_chartStale = false;
        updateChart();
    }
    // The scene the view shows, with any layout it still owes the screen done first, so that the
    // file does not show an older state than the next repaint of the window.
    QCoreApplication::sendPostedEvents(m_chart, QEvent::LayoutRequest);
    m_chart->scene()->render(&painter, target, m_chart->sceneBoundingRect());
}

bool Entwicklung::showsFrequency() const
{
    return groesse() == RunningSeries::Groesse::RelativeHaeufigkeit;
}
