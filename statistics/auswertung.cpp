// SPDX-License-Identifier: GPL-3.0-or-later
#include "auswertung.h"

#include "chi_square.h"
#include "game.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTableView>
#include <QVBoxLayout>

#include <cmath>
#include <span>

namespace {

const QString Dash = QStringLiteral("—");

// Percentages of seven dice reach down to 0,00036 %: small ones keep two significant digits
// instead of turning into 0,00 %.
QString percent(double share)
{
    const double value = 100 * share;
    const QLocale locale;
    const QString number = value == 0 || value >= 0.1 ? locale.toString(value, 'f', 2)
                                                      : locale.toString(value, 'g', 2);
    return number + QStringLiteral(" %");
}

QLabel *valueLabel(const char *name, QWidget *parent)
{
    auto *label = new QLabel(Dash, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel *caption(const QString &text, QWidget *parent)
{
    return new QLabel(text, parent);
}

} // namespace

AuswertungModel::AuswertungModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void AuswertungModel::setCounts(const SumDistribution &distribution, std::vector<qint64> counts)
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
    if (!sameRows)
        endResetModel();
    else
        emit dataChanged(index(0, 0), index(rowCount() - 1, Spalten - 1), {Qt::DisplayRole});
}

int AuswertungModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_counts.size());
}

int AuswertungModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Spalten;
}

QString AuswertungModel::text(int row, int column) const
{
    const QLocale locale;
    const int sum = m_distribution.minSum() + row;
    const qint64 count = m_counts[static_cast<std::size_t>(row)];
    switch (column) {
    case Summe:
        return locale.toString(sum);
    case Anzahl:
        return locale.toString(count);
    case Relativ:
        return m_throws == 0 ? Dash
                             : percent(static_cast<double>(count) / static_cast<double>(m_throws));
    case Wahrscheinlichkeit:
        return percent(m_distribution.probability(sum));
    case Erwartet:
        return locale.toString(m_distribution.expectedCount(sum, m_throws), 'f', 1);
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
            const QLocale locale;
            const int sum = m_distribution.minSum() + index.row();
            return QStringLiteral("%1 von %2 möglichen Würfen")
                .arg(locale.toString(m_distribution.ways(sum)),
                     locale.toString(m_distribution.outcomes()));
        }
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
        return QStringLiteral("Augensumme");
    // Two lines each keep the columns narrow enough for the window's default width.
    case Anzahl:
        return QStringLiteral("absolute\nHäufigkeit");
    case Relativ:
        return QStringLiteral("relative\nHäufigkeit");
    case Wahrscheinlichkeit:
        return QStringLiteral("Wahrscheinlichkeit");
    case Erwartet:
        return QStringLiteral("erwartete\nHäufigkeit");
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

    auto *kennzahlen = new QGroupBox(QStringLiteral("Würfe und Augensummen"), this);
    auto *grid = new QGridLayout(kennzahlen);
    auto *beobachtet = caption(QStringLiteral("beobachtet"), kennzahlen);
    auto *theorie = caption(QStringLiteral("bei fairen Würfeln"), kennzahlen);
    beobachtet->setAlignment(Qt::AlignRight);
    theorie->setAlignment(Qt::AlignRight);
    grid->addWidget(caption(QStringLiteral("Würfe seit „Neu“:"), kennzahlen), 0, 0);
    grid->addWidget(m_wurfanzahl, 0, 1);
    grid->addWidget(beobachtet, 1, 1);
    grid->addWidget(theorie, 1, 2);
    grid->addWidget(caption(QStringLiteral("Mittelwert der Augensummen:"), kennzahlen), 2, 0);
    grid->addWidget(m_mittelwert, 2, 1);
    grid->addWidget(m_mittelwertTheorie, 2, 2);
    auto *sdCaption = caption(QStringLiteral("Standardabweichung:"), kennzahlen);
    // The spread of exactly these throws, not an estimate for further ones.
    const QString sdHint = QStringLiteral(
        "Standardabweichung der beobachteten Augensummen, geteilt durch die Anzahl der Würfe "
        "(nicht durch die Anzahl weniger eins)");
    sdCaption->setToolTip(sdHint);
    m_standardabweichung->setToolTip(sdHint);
    grid->addWidget(sdCaption, 3, 0);
    grid->addWidget(m_standardabweichung, 3, 1);
    grid->addWidget(m_standardabweichungTheorie, 3, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnMinimumWidth(1, 90);
    grid->setColumnMinimumWidth(2, 110);

    auto *test = new QGroupBox(QStringLiteral("χ²-Test: Sind die Würfel fair?"), this);
    auto *form = new QFormLayout(test);
    form->addRow(QStringLiteral("χ²:"), m_chiQuadrat);
    form->addRow(QStringLiteral("Freiheitsgrade:"), m_freiheitsgrade);
    form->addRow(QStringLiteral("p-Wert:"), m_pWert);
    m_chiQuadrat->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_freiheitsgrade->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_pWert->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_deutung->setObjectName(QStringLiteral("Deutung"));
    m_deutung->setWordWrap(true);
    form->addRow(m_deutung);

    m_tabelle->setObjectName(QStringLiteral("Tabelle"));
    m_tabelle->setModel(m_model);
    m_tabelle->verticalHeader()->hide();
    m_tabelle->setSelectionMode(QAbstractItemView::NoSelection);
    m_tabelle->setAlternatingRowColors(true);
    m_tabelle->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_tabelle->horizontalHeader()->setDefaultAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(kennzahlen);
    layout->addWidget(test);
    layout->addWidget(m_tabelle, 1);

    resize(620, 640);
    refresh();
}


void Auswertung::showEvent(QShowEvent *event)
{
    // Whoever shows the window sees the current game even if no refresh reached it yet.
    refresh();
    QWidget::showEvent(event);
}


void Auswertung::showNoGame()
{
    for (QLabel *label : {m_wurfanzahl, m_mittelwert, m_mittelwertTheorie, m_standardabweichung,
                          m_standardabweichungTheorie, m_chiQuadrat, m_freiheitsgrade, m_pWert})
        label->setText(Dash);
    m_deutung->clear();
}

void Auswertung::refresh()
{
    // Before the main window has set up a game there is nothing to evaluate.
    if (!m_game.isSetUp()) {
        showNoGame();
        return;
    }
    const SumDistribution distribution(m_game.dice());
    const QLocale locale;

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

    m_wurfanzahl->setText(locale.toString(throws));
    m_mittelwertTheorie->setText(locale.toString(distribution.mean(), 'f', 1));
    m_standardabweichungTheorie->setText(locale.toString(std::sqrt(distribution.variance()), 'f', 3));
    if (throws == 0) {
        m_mittelwert->setText(Dash);
        m_standardabweichung->setText(Dash);
    } else {
        const auto n = static_cast<double>(throws);
        m_mittelwert->setText(locale.toString(static_cast<double>(sumOfSums) / n, 'f', 3));
        // Population variance N·Σs²c − (Σsc)² over N², in integers (below 2⁵³ for a full game),
        // so that no cancellation eats the digits.
        const qint64 numerator = throws * sumOfSquares - sumOfSums * sumOfSums;
        m_standardabweichung->setText(
            locale.toString(std::sqrt(static_cast<double>(numerator)) / n, 'f', 3));
    }

    const std::optional<ChiSquare::Result> result =
        ChiSquare::test(distribution, std::span<const qint64>(counts));
    if (!result) {
        m_chiQuadrat->setText(Dash);
        m_freiheitsgrade->setText(Dash);
        m_pWert->setText(Dash);
        m_deutung->setText(QStringLiteral(
            "Für den χ²-Test sind noch zu wenige Würfe da: Würfle weiter, dann lässt sich prüfen, "
            "ob die Würfel fair sind."));
    } else {
        m_chiQuadrat->setText(locale.toString(result->statistic, 'f', 2));
        m_freiheitsgrade->setText(locale.toString(result->degreesOfFreedom));
        // Four decimals; a p-value that would read 0,0000 is shown as below 0,0001 instead.
        m_pWert->setText(result->pValue < 0.00005
                             ? QStringLiteral("< ") + locale.toString(0.0001, 'f', 4)
                             : locale.toString(result->pValue, 'f', 4));
        m_deutung->setText(
            result->pValue >= 0.05
                ? QStringLiteral("Die Häufigkeiten passen zu fairen Würfeln: Die Abweichungen von "
                                 "den erwarteten Häufigkeiten sind nicht größer, als der Zufall sie "
                                 "oft hervorbringt.")
                : QStringLiteral("Die Häufigkeiten weichen deutlich von denen fairer Würfel ab – "
                                 "das kommt aber auch bei fairen Würfeln durch reinen Zufall in "
                                 "etwa einem von zwanzig Tests vor."));
    }

    m_model->setCounts(distribution, std::move(counts));
}
