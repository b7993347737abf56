// SPDX-License-Identifier: GPL-3.0-or-later
#include "auswertung.h"

#include "chi_square.h"
#include "focus_frame.h"
#include "game.h"
#include "number_format.h"
#include "screen_fit.h"
#include "window_zoom.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <span>

namespace {

const QString Dash = QStringLiteral("—");

// Design: below the bar chart, at the right edge of a 1280 × 1024 screen, clear of the main
// window and of "Entwicklung"; it covers the right part of the pie, as no wider gap is left.
constexpr QPoint DesignPosition(730, 392);

// A pooled class as the test counts it: "2–4", or "7" for a sum of its own.
QString classText(const ChiSquare::Class &c)
{
    return c.firstSum == c.lastSum ? QString::number(c.firstSum)
                                   : QStringLiteral("%1–%2").arg(c.firstSum).arg(c.lastSum);
}

// Below five throws per reachable sum on average the pooled classes are coarse, and the test
// finds only gross unfairness.
qint64 throwsForTest(const SumDistribution &distribution)
{
    return 5 * (distribution.maxSum() - distribution.minSum() + 1);
}

// The table as wide as all its columns, so that the window around it never cuts one, but no
// wider than the screen leaves it (zoomed on a small screen it scrolls sideways); high enough
// for a few rows.
void fitTableWidth(QTableView &table)
{
    QHeaderView &header = *table.horizontalHeader();
    header.resizeSections(QHeaderView::ResizeToContents);
    int width = header.length() + 2 * table.frameWidth()
                + table.verticalScrollBar()->sizeHint().width();
    const QWidget &window = *table.window();
    if (const QScreen *screen = window.screen(); screen && window.layout()) {
        const QMargins margins = window.layout()->contentsMargins();
        width = std::min(width, screen->availableGeometry().width()
                                    - (window.frameGeometry().width() - window.width())
                                    - margins.left() - margins.right());
    }
    table.setMinimumWidth(width);
    table.setMinimumHeight(header.sizeHint().height()
                           + 6 * table.verticalHeader()->defaultSectionSize()
                           + 2 * table.frameWidth());
}

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(Dash, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Reached with Tab, so that the numbers can be heard one by one.
    label->setFocusPolicy(Qt::TabFocus);
    frameWhileFocused(*label);
    return label;
}

// The current cell in a frame that can be seen: 2 pixels, black on the light rows, instead of
// the style's dotted line.
class CurrentCellFrame : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem plain = option;
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (!(option.state & QStyle::State_HasFocus))
            return;
        painter->save();
        painter->setPen(QPen(Qt::black, 2));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

QLabel *caption(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

} // namespace

AuswertungModel::AuswertungModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void AuswertungModel::setCounts(const SumDistribution &distribution, std::vector<qint64> counts,
                                std::span<const ChiSquare::Class> classes)
{
    Q_ASSERT(counts.size() == static_cast<std::size_t>(distribution.maxSum() - distribution.minSum() + 1));
    const bool sameRows = distribution.dice() == m_distribution.dice() && !m_counts.empty();
    if (!sameRows)
        beginResetModel();
    m_distribution = distribution;
    m_counts = std::move(counts);
    m_throws = 0;
    for (qint64 c : m_counts)
        m_throws += c;
    m_classes.assign(m_counts.size(), QString());
    for (const ChiSquare::Class &c : classes) {
        for (int s = c.firstSum; s <= c.lastSum; ++s)
            m_classes[static_cast<std::size_t>(s - m_distribution.minSum())] = classText(c);
    }
    if (!sameRows)
        endResetModel();
    else
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole});
}

int AuswertungModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_counts.size());
}

void AuswertungModel::setLoaded(std::optional<SumChances> chances)
{
    if (chances == m_loaded)
        return;
    beginResetModel();
    m_loaded = chances;
    endResetModel();
}

int AuswertungModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Spalten + (m_loaded ? 1 : 0);
}

QString AuswertungModel::text(int row, int column) const
{
    using namespace NumberFormat;
    const int sum = m_distribution.minSum() + row;
    const qint64 count = m_counts[static_cast<std::size_t>(row)];
    const qint64 ways = m_distribution.ways(sum);
    switch (column) {
    case Summe:
        return integer(sum);
    case Anzahl:
        return integer(count);
    case Relativ:
        return m_throws == 0 ? Dash : percent(count, m_throws, Percent);
    case Wahrscheinlichkeit:
        return percent(ways, m_distribution.outcomes(), Percent);
    case Erwartet:
        return fraction(Int128(m_throws) * ways, m_distribution.outcomes(), Expected);
    case Klasse: {
        const QString &c = m_classes[static_cast<std::size_t>(row)];
        return c.isEmpty() ? Dash : c;
    }
    case Gezinkt:
        return m_loaded ? fraction(m_loaded->ways[static_cast<std::size_t>(sum)] * 100,
                                   m_loaded->outcomes, Percent)
                              + QStringLiteral(" %")
                        : QString();
    default:
        return {};
    }
}

QVariant AuswertungModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        // The exact fraction behind the rounded percentage.
        if (index.column() == Wahrscheinlichkeit) {
            const int sum = m_distribution.minSum() + index.row();
            return QStringLiteral("%1 von %2 möglichen Würfen")
                .arg(NumberFormat::integer(m_distribution.ways(sum)),
                     NumberFormat::integer(m_distribution.outcomes()));
        }
        if (index.column() == Klasse)
            return QStringLiteral("Die Klasse, in der der χ²-Test diese %1 zählt")
                .arg(m_distribution.dice() == 1 ? QStringLiteral("Augenzahl")
                                                : QStringLiteral("Augensumme"));
        return {};
    default:
        return {};
    }
}

QVariant AuswertungModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Summe:
        return m_distribution.dice() == 1 ? QStringLiteral("Augenzahl")
                                          : QStringLiteral("Augensumme");
    // Two lines each keep the columns narrow enough for the window's default width.
    case Anzahl:
        return QStringLiteral("absolute\nHäufigkeit");
    case Relativ:
        return QStringLiteral("relative\nHäufigkeit");
    case Wahrscheinlichkeit:
        return QStringLiteral("Wahrscheinlichkeit");
    case Erwartet:
        return QStringLiteral("erwartete\nHäufigkeit");
    case Klasse:
        return QStringLiteral("Klasse\nim Test");
    case Gezinkt:
        return QStringLiteral("Wahrscheinlichkeit\n(gezinkt)");
    default:
        return {};
    }
}

Auswertung::Auswertung(const Game &game)
    : m_game(game),
      m_wurfanzahl(valueLabel("Wurfanzahl", this)),
      m_mittelwert(valueLabel("Mittelwert", this)),
      m_mittelwertTheorie(valueLabel("MittelwertTheorie", this)),
      m_standardabweichung(valueLabel("Standardabweichung", this)),
      m_standardabweichungTheorie(valueLabel("StandardabweichungTheorie", this)),
      m_chiQuadrat(valueLabel("ChiQuadrat", this)),
      m_freiheitsgrade(valueLabel("Freiheitsgrade", this)),
      m_pWert(valueLabel("pWert", this)),
      m_deutung(new QLabel(this)),
      m_model(new AuswertungModel(this)),
      m_tabelle(new QTableView(this))
{
    setObjectName(QStringLiteral("Auswertung"));
    setWindowTitle(QStringLiteral("Auswertung"));

    m_kennzahlen = new QGroupBox(QStringLiteral("Würfe und Augensummen"), this);
    auto *kennzahlen = m_kennzahlen;
    auto *grid = new QGridLayout(kennzahlen);
    auto *beobachtet = caption(QStringLiteral("beobachtet"), kennzahlen);
    auto *theorie = caption(QStringLiteral("bei fairen Würfeln"), kennzahlen);
    beobachtet->setAlignment(Qt::AlignRight);
    theorie->setAlignment(Qt::AlignRight);
    grid->addWidget(caption(QStringLiteral("Würfe seit „Neu“:"), kennzahlen), 0, 0);
    grid->addWidget(m_wurfanzahl, 0, 1);
    grid->addWidget(beobachtet, 1, 1);
    grid->addWidget(theorie, 1, 2);
    m_mittelwertCaption = caption(QStringLiteral("Mittelwert der Augensummen:"), kennzahlen);
    grid->addWidget(m_mittelwertCaption, 2, 0);
    grid->addWidget(m_mittelwert, 2, 1);
    grid->addWidget(m_mittelwertTheorie, 2, 2);
    m_sdCaption = caption(QStringLiteral("Standardabweichung:"), kennzahlen);
    grid->addWidget(m_sdCaption, 3, 0);
    grid->addWidget(m_standardabweichung, 3, 1);
    grid->addWidget(m_standardabweichungTheorie, 3, 2);
    grid->setColumnStretch(0, 1);
    // Each observed value is heard with its fair one ("3,484 (fair: 3,5)"): Tab need not stop
    // at the fair one again.
    m_mittelwertTheorie->setFocusPolicy(Qt::NoFocus);
    m_standardabweichungTheorie->setFocusPolicy(Qt::NoFocus);

    m_test = new QGroupBox(QStringLiteral("χ²-Test: Sind die Würfel fair?"), this);
    auto *test = m_test;
    auto *form = new QFormLayout(test);
    form->addRow(QStringLiteral("χ²:"), m_chiQuadrat);
    form->addRow(QStringLiteral("Freiheitsgrade:"), m_freiheitsgrade);
    form->addRow(QStringLiteral("p-Wert:"), m_pWert);
    m_chiQuadrat->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_freiheitsgrade->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pWert->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_klassen = new QLabel(test);
    m_klassen->setObjectName(QStringLiteral("Klassen"));
    m_klassen->setWordWrap(true);
    m_klassen->hide();
    form->addRow(m_klassen);
    m_deutung->setObjectName(QStringLiteral("Deutung"));
    m_deutung->setWordWrap(true);
    form->addRow(m_deutung);

    // Only while the dice are loaded and not secret: the class compares them with fair dice.
    m_gewichte = new QLabel(this);
    m_gewichte->setObjectName(QStringLiteral("Gewichte"));
    m_gewichte->setWordWrap(true);
    m_gewichte->hide();

    m_tabelle->setObjectName(QStringLiteral("Tabelle"));
    m_tabelle->setModel(m_model);
    m_tabelle->setItemDelegate(new CurrentCellFrame(m_tabelle));
    m_tabelle->verticalHeader()->hide();
    m_tabelle->setSelectionMode(QAbstractItemView::NoSelection);
    m_tabelle->setAlternatingRowColors(true);
    // Every column as wide as its header and numbers, whatever the font: nothing is cut.
    m_tabelle->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tabelle->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(kennzahlen);
    layout->addWidget(test);
    layout->addWidget(m_gewichte);

    layout->addWidget(m_tabelle, 1);

    // A new game starts the looks afresh; revealing or hiding loaded dice shows or hides their
    // column at once.
    connect(&game, &Game::reset, this, [this] {
        m_looks = 0;
        m_lastLook = -1;
    });
    connect(&game, &Game::settingsChanged, this, &Auswertung::refresh);

    // On a projector: the table's rows grow with the text, and the window fits it all again.
    const int rowHeight = m_tabelle->verticalHeader()->defaultSectionSize();
    new WindowZoom(*this, [this, rowHeight](qreal factor) {
        m_tabelle->verticalHeader()->setDefaultSectionSize(
            static_cast<int>(std::lround(rowHeight * factor)));
        // The sentences' heights were measured with the old font: measured again at the size
        // the window is given next.
        for (QLabel *label : {m_klassen, m_deutung, m_gewichte})
            label->setMinimumHeight(0);
        fitTableWidth(*m_tabelle);
    });

    refresh();
    // Sized to the content at the desktop's font; placed beside the statistics windows, clear
    // of the main window and of "Entwicklung".
    ensurePolished();
    resize(sizeHint());
    move(DesignPosition);
}


void Auswertung::showEvent(QShowEvent *event)
{
    // Whoever shows the window sees the current game even if no refresh reached it yet.
    refresh();
    QWidget::showEvent(event);
}

void Auswertung::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A narrower window wraps the sentences into more lines.
    keepTextWhole();
}

void Auswertung::showNoGame()
{
    for (QLabel *label : {m_wurfanzahl, m_mittelwert, m_mittelwertTheorie, m_standardabweichung,
                          m_standardabweichungTheorie, m_chiQuadrat, m_freiheitsgrade, m_pWert})
        label->setText(Dash);
    m_deutung->clear();
    m_klassen->clear();
    m_klassen->hide();
}

void Auswertung::refresh()
{
    // Before the main window has set up a game there is nothing to evaluate.
    if (!m_game.isSetUp()) {
        showNoGame();
        return;
    }
    const int dice = m_game.dice();
    const SumDistribution distribution(dice);

    std::vector<qint64> counts;
    counts.reserve(static_cast<std::size_t>(distribution.maxSum() - distribution.minSum() + 1));
    qint64 throws = 0;
    qint64 sumOfSums = 0;
    qint64 sumOfSquares = 0;
    for (int s = distribution.minSum(); s <= distribution.maxSum(); ++s) {
        const qint64 c = m_game.count(s);
        counts.push_back(c);
        throws += c;
        sumOfSums += c * s;
        sumOfSquares += c * s * s;
    }

    using namespace NumberFormat;
    const bool oneDie = dice == 1;
    const QString augen = oneDie ? QStringLiteral("Augenzahlen") : QStringLiteral("Augensummen");
    m_kennzahlen->setTitle(QStringLiteral("Würfe und %1").arg(augen));
    m_mittelwertCaption->setText(QStringLiteral("Mittelwert der %1:").arg(augen));
    m_test->setTitle(oneDie ? QStringLiteral("χ²-Test: Ist der Würfel fair?")
                            : QStringLiteral("χ²-Test: Sind die Würfel fair?"));
    // The spread of exactly these throws, not an estimate for further ones.
    const QString sdHint = QStringLiteral(
        "Standardabweichung der beobachteten %1: die Wurzel aus der mittleren quadratischen "
        "Abweichung vom Mittelwert, also aus der Summe der quadrierten Abweichungen geteilt durch "
        "die Anzahl der Würfe (nicht durch die Anzahl der Würfe weniger eins)").arg(augen);
    m_sdCaption->setToolTip(sdHint);
    m_standardabweichung->setToolTip(sdHint);

    m_wurfanzahl->setText(integer(throws));
    m_mittelwertTheorie->setText(fraction(7 * dice, 2, {1, 0}));
    // √(35n / 12) = √(420n) / 12
    m_standardabweichungTheorie->setText(squareRoot(420 * dice, 12, {3, 0}));
    if (throws == 0) {
        m_mittelwert->setText(Dash);
        m_standardabweichung->setText(Dash);
    } else {
        m_mittelwert->setText(fraction(sumOfSums, throws, {3, 0}));
        // Population variance N·Σs²c − (Σsc)² over N², in integers, so that no cancellation
        // eats the digits; its root is rounded exactly.
        const qint64 numerator = throws * sumOfSquares - sumOfSums * sumOfSums;
        m_standardabweichung->setText(squareRoot(numerator, throws, {3, 0}));
    }

    const QString fair = oneDie ? QStringLiteral("ob der Würfel fair ist")
                                : QStringLiteral("ob die Würfel fair sind");
    const std::optional<ChiSquare::Result> result =
        ChiSquare::test(distribution, std::span<const qint64>(counts));
    if (!result) {
        m_chiQuadrat->setText(Dash);
        m_freiheitsgrade->setText(Dash);
        m_pWert->setText(Dash);
        m_klassen->clear();
        m_klassen->hide();
        m_deutung->setText(QStringLiteral(
            "Für den χ²-Test sind noch zu wenige Würfe da: Würfeln Sie weiter, dann lässt sich "
            "prüfen, %1.").arg(fair));
    } else {
        m_chiQuadrat->setText(ChiSquare::statisticText(*result));
        m_freiheitsgrade->setText(integer(result->degreesOfFreedom));
        const ChiSquare::ShownPValue p = ChiSquare::shownPValue(result->pValue);
        m_pWert->setText(p.text);

        QStringList pooled;
        for (const ChiSquare::Class &c : result->classes) {
            if (c.firstSum != c.lastSum)
                pooled.append(classText(c));
        }
        m_klassen->setText(
            pooled.isEmpty()
                ? QString()
                : QStringLiteral("Für den Test zusammengefasst: %1 (jede Klasse braucht "
                                 "mindestens 5 erwartete Würfe)")
                      .arg(pooled.join(QStringLiteral(", "))));
        m_klassen->setVisible(!pooled.isEmpty());

        const QString faireWuerfel = oneDie ? QStringLiteral("einem fairen Würfel")
                                             : QStringLiteral("fairen Würfeln");
        const QString einesFairen = oneDie ? QStringLiteral("eines fairen Würfels")
                                           : QStringLiteral("fairer Würfel");
        // Graded by the p-value as shown: below 0,0010 chance is no longer a fair reading.
        const bool veryUnlikely = p.significant && NumberFormat::scaledRound(result->pValue, 4) < 10;
        QString verdict =
            !p.significant
                ? QStringLiteral("Die Häufigkeiten passen zu %1: Die Abweichungen von "
                                 "den erwarteten Häufigkeiten sind nicht größer, als der Zufall sie "
                                 "oft hervorbringt.")
                      .arg(faireWuerfel)
            : veryUnlikely
                ? QStringLiteral("Die Häufigkeiten weichen sehr deutlich von denen %1 ab: So "
                                 "große Abweichungen sind bei %2 sehr unwahrscheinlich, sie kommen "
                                 "dort in weniger als einem von tausend Tests vor.")
                      .arg(einesFairen, faireWuerfel)
                : QStringLiteral("Die Häufigkeiten weichen deutlich von denen %1 ab – "
                                 "das kommt aber auch bei %2 durch reinen Zufall in "
                                 "etwa einem von zwanzig Tests vor.")
                      .arg(einesFairen, faireWuerfel);
        const qint64 enough = throwsForTest(distribution);
        if (throws < enough)
            verdict += QStringLiteral(" Mit so wenigen Würfen erkennt der Test aber nur grobe "
                                      "Abweichungen: Würfeln Sie weiter, bis mindestens %1 Würfe "
                                      "da sind.")
                           .arg(integer(enough));
        // Every move at which the open window showed a result is one more look at the test.
        if (isVisible() && throws != m_lastLook) {
            m_lastLook = throws;
            ++m_looks;
        }
        if (m_looks >= SeveralLooks)
            verdict += QStringLiteral(" Hinweis: Wer den Test nach vielen Spielzügen immer "
                                      "wieder anschaut, bekommt auch bei %1 leichter einmal "
                                      "einen Fehlalarm – je öfter man nachsieht, desto eher.")
                           .arg(faireWuerfel);
        m_deutung->setText(verdict);
    }

    m_model->setCounts(distribution, std::move(counts),
                       result ? std::span<const ChiSquare::Class>(result->classes)
                              : std::span<const ChiSquare::Class>());

    const Zufallseinstellung &zufall = m_game.zufall();
    const bool loaded = !m_game.weights().isFair() && !zufall.geheim;
    m_gewichte->setVisible(loaded);
    if (loaded) {
        m_gewichte->setText(QStringLiteral("Gezinkte Würfel mit den Gewichten %1 für die "
                                           "Augenzahlen 1 bis 6. Test und erwartete "
                                           "Häufigkeiten fragen weiter: Sind die Würfel fair?")
                                .arg(gewichteText(zufall.gewichte)));
        m_model->setLoaded(sumChances(m_game.weights(), dice));

    } else {
        m_model->setLoaded(std::nullopt);
    }

    fitTableWidth(*m_tabelle);
    keepTextWhole();
}

void Auswertung::keepTextWhole()
{
    // A top-level window does not follow its labels' height for their width by itself, and the
    // form's estimate falls short for its wrapped rows: the window kept the height it had for the
    // sentence it was opened with, and a longer one lost its last lines. Each wrapped label
    // therefore holds the height its text needs at its width as its minimum.
    if (!isVisible() || !layout())
        return;
    const QSize frame = frameGeometry().size() - size();
    const QRect available = screen()->availableGeometry();
    const int room = available.height() - frame.height();
    if (width() > available.width() - frame.width())
        resize(available.width() - frame.width(), height());
    const int fewestRows = m_tabelle->horizontalHeader()->sizeHint().height()
                           + 2 * m_tabelle->verticalHeader()->defaultSectionSize()
                           + 2 * m_tabelle->frameWidth();
    bool changed = false;
    // A few rounds at most: a label's width settles after the first.
    for (int round = 0; round < 4; ++round) {
        bool again = false;
        for (QLabel *label : {m_klassen, m_deutung, m_gewichte}) {
            const int needed = label->isHidden() ? 0 : label->heightForWidth(label->width());
            if (label->minimumHeight() != needed) {
                label->setMinimumHeight(needed);
                again = true;
            }
        }
        if (!again)
            break;
        changed = true;
        // On a short screen the table gives up rows first; it scrolls, a sentence does not.
        const int over = layout()->totalMinimumSize().height() - room;
        if (over > 0)
            m_tabelle->setMinimumHeight(std::max(fewestRows, m_tabelle->minimumHeight() - over));
        // The layout sets no minimum size on a window whose height depends on its width, so
        // the window grows here.
        const int needed = layout()->totalMinimumSize().height();
        if (height() < needed)
            resize(width(), std::min(room, needed));
        layout()->activate();
    }
    // The layout itself grows the window for a longer text once it knows the labels' heights.
    const int over = std::max(layout()->totalMinimumSize().height(),
                              layout()->totalMinimumHeightForWidth(width()))
                     - room;
    if (over > 0) {
        m_tabelle->setMinimumHeight(std::max(fewestRows, m_tabelle->minimumHeight() - over));
        layout()->activate();
    }
    if (height() > room) {
        // The minimum the layout derived from the taller table would keep the window too tall.
        setMinimumHeight(std::min(minimumHeight(), room));
        resize(width(), room);
    }
    // Grown by this or by the layout since the last look: back onto the screen. A window the
    // user has pushed partly off the screen stays there as long as it does not grow.
    if ((changed || height() > m_fittedHeight) && !available.contains(frameGeometry()))
        ScreenFit::placeOnScreen(*this);
    m_fittedHeight = height();
}
