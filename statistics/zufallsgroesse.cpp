// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufallsgroesse.h"

#include "binomial_test.h"
#include "chart_actions.h"
#include "game.h"
#include "number_format.h"
#include "worksheet_actions.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QDoubleSpinBox>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using namespace RandomVariable;

namespace {

constexpr double Alpha = 0.05;

// Design: near the top left, over the main window and the bar chart: the user opens it on
// purpose and moves it where it suits the lesson.
constexpr QPoint DesignPosition(120, 40);

// Holds a label of a fixed number of lines without a layout: the label's new text after every
// move then asks no layout to run again. bench_zufallsgroesse: a label in the window's layout
// made the events after a move cost 7-15 ms instead of 1.
class LabelFrame : public QWidget
{
public:
    LabelFrame(QLabel &label, int lines, const QStringList &longestLines, QWidget *parent)
        : QWidget(parent), m_label(label)
    {
        label.setParent(this);
        const QFontMetrics metrics(label.font());
        int width = 0;
        for (const QString &line : longestLines)
            width = std::max(width, metrics.horizontalAdvance(line));
        setMinimumSize(width + 8, lines * metrics.lineSpacing() + 4);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void resizeEvent(QResizeEvent *) override { m_label.setGeometry(rect()); }

private:
    QLabel &m_label;
};

// The table as wide as all its columns, so that the window never cuts one.
void fitTableWidth(QTableView &table)
{
    QHeaderView &header = *table.horizontalHeader();
    table.resizeColumnsToContents();
    table.setMinimumWidth(header.length() + 2 * table.frameWidth()
                          + table.verticalScrollBar()->sizeHint().width());
}

// A probability of the test with its relation: "= 4,67 %"; below a hundredth of a percent the
// digits would only mislead.
QString testPercent(double share)
{
    if (share == 0)
        return QStringLiteral("= 0 %");
    if (share < 0.00005)
        return QStringLiteral("< 0,01 %");
    if (share > 0.99995 && share < 1)
        return QStringLiteral("> 99,99 %");
    return QStringLiteral("= ") + NumberFormat::real(100 * share, {2, 0}) + QStringLiteral(" %");
}

} // namespace

Zufallsgroesse::Zufallsgroesse(const Game &game, Dialogs &dialogs)
    : m_game(game),
      m_groesse(new QComboBox(this)),
      m_augenzahlLabel(new QLabel(QStringLiteral("Auge&nzahl:"), this)),
      m_augenzahl(new QSpinBox(this)),
      m_model(new ZufallsgroesseModel(this)),
      m_tabelle(new QTableView(this)),
      m_diagramm(new ZDiagramm(*m_model, this)),
      m_test(new QGroupBox(QStringLiteral("Binomialtest auf dem Niveau α = 5 %"), this)),
      m_seite(new QComboBox(m_test)),
      m_alternative(new QDoubleSpinBox(m_test)),
      m_testergebnis(new QLabel(m_test)),
      m_gewichte(new QLabel(this)),
      m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("Zufallsgroesse"));
    setWindowTitle(QStringLiteral("Zufallsgröße"));

    m_groesse->setObjectName(QStringLiteral("Groesse"));
    m_augenzahl->setObjectName(QStringLiteral("Augenzahl"));
    m_augenzahl->setRange(1, 6);
    m_augenzahl->setValue(6);
    m_augenzahlLabel->setBuddy(m_augenzahl);
    m_augenzahl->setAccessibleName(QStringLiteral("Augenzahl"));

    m_tabelle->setObjectName(QStringLiteral("ZTabelle"));
    m_tabelle->setAccessibleName(QStringLiteral("Tabelle der Zufallsgröße"));
    m_tabelle->setModel(m_model);
    m_tabelle->verticalHeader()->hide();
    m_tabelle->setSelectionMode(QAbstractItemView::NoSelection);
    m_tabelle->setAlternatingRowColors(true);
    // Sized to the contents when they can have grown (refresh), not after every move: a header
    // that measures every cell whenever the counts change costs more than the move itself.
    m_tabelle->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_tabelle->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);

    m_seite->setObjectName(QStringLiteral("Seite"));
    m_seite->addItems({QStringLiteral("rechtsseitig"), QStringLiteral("linksseitig"),
                       QStringLiteral("zweiseitig")});
    m_alternative->setObjectName(QStringLiteral("Alternative"));
    m_alternative->setLocale(NumberFormat::german());
    m_alternative->setDecimals(4);
    m_alternative->setRange(0.0001, 0.9999);
    m_alternative->setSingleStep(0.01);
    m_alternative->setValue(0.25);
    m_testergebnis->setObjectName(QStringLiteral("Testergebnis"));
    // Plain and not selectable: a selectable label keeps a text document that it lays out
    // anew at every move (bench_zufallsgroesse: a third of what the open window cost a move).
    m_testergebnis->setTextFormat(Qt::PlainText);
    // Broken into lines by the window: a label that wraps itself lays its text out again and
    // again on every move.
    m_testergebnis->setWordWrap(false);
    auto *form = new QFormLayout(m_test);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    form->addRow(QStringLiteral("&Seite:"), m_seite);
    form->addRow(QStringLiteral("&Alternative p₁:"), m_alternative);
    m_testergebnis->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The longest lines the test writes, with the largest numbers a game reaches.
    const QStringList longest{
        QStringLiteral("X, die Anzahl der Sechsen unter 2.660.000 Würfeln (380.000 Würfe mit je 7 "
                       "Würfeln), ist dann B(2.660.000; 1/6)-verteilt."),
        QStringLiteral("X liegt nicht im Ablehnungsbereich: Die Würfe geben keinen Grund, die "
                       "Hypothese zu verwerfen – bewiesen ist sie damit nicht."),
        QStringLiteral("Ablehnungsbereich: leer – bei so wenigen Würfen ist kein Ergebnis "
                       "unwahrscheinlich genug, um auf dem Niveau 5 % abzulehnen.")};
    form->addRow(new LabelFrame(*m_testergebnis, 9, longest, m_test));

    m_gewichte->setObjectName(QStringLiteral("Gewichte"));
    m_gewichte->setWordWrap(true);
    m_gewichte->hide();

    auto *row = new QHBoxLayout;
    auto *groesseLabel = new QLabel(QStringLiteral("&Zufallsgröße:"), this);
    groesseLabel->setBuddy(m_groesse);
    row->addWidget(groesseLabel);
    row->addWidget(m_groesse);
    row->addSpacing(12);
    row->addWidget(m_augenzahlLabel);
    row->addWidget(m_augenzahl);
    row->addStretch(1);

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_diagramm, 1);
    // The table as wide as its columns; the chart takes what is left.
    m_tabelle->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    middle->addWidget(m_tabelle);

    // Tab reads as the eye does: the chart before the table beside it.
    setTabOrder(m_augenzahl, m_diagramm);
    setTabOrder(m_diagramm, m_tabelle);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(middle, 1);
    layout->addWidget(m_gewichte);
    layout->addWidget(m_test);

    m_menu->setObjectName(QStringLiteral("Kontextmenue"));
    addChartActions(
        *m_menu, *this, dialogs,
        {[this] { return m_diagramm->size(); },
         [this](QPainter &painter) { m_diagramm->paintChart(painter, m_diagramm->size()); },
         [this] {
             return chartTitleLine(windowTitle() + QStringLiteral(": ") + m_groesse->currentText(),
                                   m_game.dice(), m_model->throws(), QDate::currentDate());
         },
         [this] { return m_model->tableText(QLocale()); }});

    connect(m_groesse, &QComboBox::currentIndexChanged, this, &Zufallsgroesse::refresh);
    connect(m_augenzahl, &QSpinBox::valueChanged, this, [this](int face) {
        const int index = m_groesse->findData(static_cast<int>(Groesse::AnzahlAugenzahl));
        if (index >= 0)
            m_groesse->setItemText(index, name(Groesse::AnzahlAugenzahl, face));
        refresh();
    });
    connect(m_seite, &QComboBox::currentIndexChanged, this, &Zufallsgroesse::updateTest);
    connect(m_alternative, &QDoubleSpinBox::valueChanged, this, &Zufallsgroesse::updateTest);

    refresh();
    ensurePolished();
    resize(sizeHint().expandedTo(QSize(1100, 600)));
    move(DesignPosition);
}

Groesse Zufallsgroesse::groesse() const
{
    return static_cast<Groesse>(m_groesse->currentData().toInt());
}

void Zufallsgroesse::followDice()
{
    if (m_game.dice() == m_dice)
        return;
    m_dice = m_game.dice();
    const QSignalBlocker blocker(m_groesse);
    const QVariant chosen = m_groesse->currentData();
    m_groesse->clear();
    if (!m_game.isSetUp())
        return;
    for (Groesse g : offered(m_dice))
        m_groesse->addItem(name(g, m_augenzahl->value()), static_cast<int>(g));
    // What is no longer offered (a double of one die) falls back to the sum.
    m_groesse->setCurrentIndex(std::max(0, m_groesse->findData(chosen)));
}

void Zufallsgroesse::refresh()
{
    followDice();
    if (!m_game.isSetUp()) {
        m_model->setValues(Groesse::Augensumme, {}, {}, {}, std::nullopt);
        m_diagramm->refresh();
        updateTest();
        return;
    }
    const int dice = m_game.dice();
    const Groesse g = groesse();
    const int face = m_augenzahl->value();
    m_augenzahl->setEnabled(g == Groesse::AnzahlAugenzahl);
    m_augenzahlLabel->setEnabled(g == Groesse::AnzahlAugenzahl);

    m_tally.update(m_game.throwFaces(), dice);
    std::vector<qint64> sums;
    for (int s = m_game.minSum(); s <= m_game.maxSum(); ++s)
        sums.push_back(m_game.count(s));

    const Zufallseinstellung &zufall = m_game.zufall();
    const bool loaded = !m_game.weights().isFair() && !zufall.geheim;
    m_gewichte->setVisible(loaded);
    if (loaded)
        m_gewichte->setText(QStringLiteral("Gezinkte Würfel mit den Gewichten %1 für die "
                                           "Augenzahlen 1 bis 6: Die letzte Spalte gibt die "
                                           "Wahrscheinlichkeiten mit diesen Gewichten an.")
                                .arg(gewichteText(zufall.gewichte)));
    // Theory changes with the choice and the dice, not with a move.
    const auto theoryKey = std::tuple(static_cast<int>(g), dice, face,
                                      loaded ? m_game.weights().weights() : std::array<int, 6>{});
    if (theoryKey != m_theoryKey) {
        m_theoryKey = theoryKey;
        m_fair = chances(g, dice, face);
        m_loaded = loaded ? std::optional(chances(g, dice, face, m_game.weights())) : std::nullopt;
    }
    m_model->setValues(g, values(g, dice), counts(g, face, m_tally, sums), m_fair, m_loaded);
    m_diagramm->setTitle(QStringLiteral("%1 – %2 Würfel, %3 %4")
                             .arg(name(g, face), NumberFormat::integer(dice),
                                  NumberFormat::integer(m_model->throws()),
                                  m_model->throws() == 1 ? QStringLiteral("Wurf")
                                                         : QStringLiteral("Würfe")));
    m_diagramm->refresh();
    // Counts and expected counts widen only when the number of throws gains a digit; after New
    // the columns keep their width, so that the window does not jump at every game.
    const auto shape = std::tuple(static_cast<int>(g), dice, loaded);
    const qsizetype digits = NumberFormat::integer(m_model->throws()).size();
    if (shape != m_tableShape || digits > m_fittedDigits) {
        m_tableShape = shape;
        m_fittedDigits = digits;
        fitTableWidth(*m_tabelle);
    }

    // The alternative follows the loaded dice while they can be seen; a typed value stays.
    const int testFace = testedFace().value_or(6);
    if (loaded && m_alternativeFrom != std::pair(zufall.gewichte, testFace)) {
        m_alternativeFrom = std::pair(zufall.gewichte, testFace);
        const std::array<int, 6> &w = m_game.weights().weights();
        int total = 0;
        for (int each : w)
            total += each;
        const QSignalBlocker blocker(m_alternative);
        m_alternative->setValue(static_cast<double>(w[static_cast<std::size_t>(testFace - 1)])
                                / total);
    } else if (!loaded) {
        m_alternativeFrom.reset();
    }
    updateTest();
}

std::optional<int> Zufallsgroesse::testedFace() const
{
    if (!m_game.isSetUp())
        return std::nullopt;
    const Groesse g = groesse();
    if (g == Groesse::AnzahlAugenzahl)
        return m_augenzahl->value();
    // One die: the event "six" is the number of sixes.
    if (m_game.dice() == 1 && (g == Groesse::MindestensEineSechs || g == Groesse::KeineSechs))
        return 6;
    return std::nullopt;
}

void Zufallsgroesse::updateTest()
{
    using namespace NumberFormat;
    const std::optional<int> face = testedFace();
    m_seite->setEnabled(face.has_value());
    m_alternative->setEnabled(face.has_value());
    if (!face) {
        m_testergebnis->setText(QStringLiteral(
            "Der Binomialtest prüft, wie oft eine Augenzahl fällt: Wählen Sie „Anzahl der "
            "Sechsen“ (oder einer anderen Augenzahl)."));
        return;
    }
    const qint64 trials = m_tally.throws() * m_game.dice();
    const QString plural = facePlural(*face);
    if (trials == 0) {
        m_testergebnis->setText(QStringLiteral("Noch keine Würfe: Nach dem ersten Spielzug "
                                               "steht hier der Test."));
        return;
    }
    const qint64 x = m_tally.facesShown(*face);
    const auto seite = static_cast<BinomialTest::Seite>(m_seite->currentIndex());
    const BinomialTest::Region region = BinomialTest::region(trials, 1.0 / 6, Alpha, seite);

    QStringList lines;
    const QString among = m_game.dice() == 1
        ? QStringLiteral("in %1 Würfen").arg(integer(trials))
        : QStringLiteral("unter %1 Würfeln (%2 Würfe mit je %3 Würfeln)")
              .arg(integer(trials), integer(m_tally.throws()), integer(m_game.dice()));
    lines << QStringLiteral("Hypothese: Eine %1 fällt mit der Wahrscheinlichkeit p = 1/6.")
                 .arg(faceName(*face));
    lines << QStringLiteral("X, die Anzahl der %1 %2, ist dann B(%3; 1/6)-verteilt.")
                 .arg(plural, among, integer(trials));
    QStringList parts;
    if (region.hasLower())
        parts << QStringLiteral("X ≤ %1").arg(integer(region.lower));
    if (region.hasUpper())
        parts << QStringLiteral("X ≥ %1").arg(integer(region.upper));
    if (parts.isEmpty()) {
        lines << QStringLiteral("Ablehnungsbereich: leer – bei so wenigen Würfen ist kein "
                                "Ergebnis unwahrscheinlich genug, um auf dem Niveau 5 % "
                                "abzulehnen.");
    } else {
        lines << QStringLiteral("Ablehnungsbereich: ") + parts.join(QStringLiteral(" oder "));
    }
    lines << QStringLiteral("beobachtet: X = %1").arg(integer(x));
    const QString direction = seite == BinomialTest::Seite::Rechts
        ? QStringLiteral("für zu viele %1").arg(plural)
        : seite == BinomialTest::Seite::Links ? QStringLiteral("für zu wenige %1").arg(plural)
                                              : QStringLiteral("gegen p = 1/6");
    if (region.rejects(x))
        lines << QStringLiteral("X liegt im Ablehnungsbereich: Die Hypothese wird verworfen, die "
                                "Würfe sprechen %1 –\ndoch auch faire Würfel landen mit der "
                                "Wahrscheinlichkeit α* dort.")
                     .arg(direction);
    else
        lines << QStringLiteral("X liegt nicht im Ablehnungsbereich: Die Würfe geben keinen "
                                "Grund, die Hypothese zu verwerfen – bewiesen ist sie damit "
                                "nicht.");
    lines << QStringLiteral("tatsächliches Niveau: α* %1").arg(testPercent(region.level));
    const double p1 = m_alternative->value();
    lines << QStringLiteral("Fehler 2. Art, falls p = %1: β %2 – so oft bleiben solche "
                            "Würfel bei diesem Test unentdeckt.")
                 .arg(real(p1, {4, 0}).remove(QRegularExpression(QStringLiteral("0+$"))).remove(QRegularExpression(QStringLiteral(",$"))),
                      testPercent(BinomialTest::secondKindError(region, p1)));
    m_testergebnis->setText(lines.join(u'\n'));
}

void Zufallsgroesse::contextMenuEvent(QContextMenuEvent *event)
{
    // Not exec(): the menu must not hold up the program (nor a test) while it is open.
    m_menu->popup(event->globalPos());
    event->accept();
}
