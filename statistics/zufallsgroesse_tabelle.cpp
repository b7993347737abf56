// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufallsgroesse_tabelle.h"

#include "number_format.h"

#include <QStringList>

using namespace RandomVariable;

namespace {

const QString Dash = QStringLiteral("—");

} // namespace

void ZufallsgroesseModel::setValues(Groesse groesse, std::vector<int> values,
                                    std::vector<qint64> counts, Chances fair,
                                    std::optional<Chances> loaded)
{
    const bool sameShape = groesse == m_groesse && values == m_values
        && loaded.has_value() == m_loaded.has_value();
    if (!sameShape)
        beginResetModel();
    m_groesse = groesse;
    m_values = std::move(values);
    m_counts = std::move(counts);
    m_fair = std::move(fair);
    m_loaded = std::move(loaded);
    m_throws = 0;
    for (qint64 c : m_counts)
        m_throws += c;
    if (!sameShape) {
        endResetModel();
    } else if (rowCount() > 0) {
        // A move changes the counted columns only; the view repaints no more than it is told.
        emit dataChanged(index(0, Anzahl), index(rowCount() - 1, Relativ), {Qt::DisplayRole});
        emit dataChanged(index(0, Erwartet), index(rowCount() - 1, Erwartet), {Qt::DisplayRole});
    }
}

double ZufallsgroesseModel::share(int row) const
{
    return m_throws == 0 ? 0 : static_cast<double>(count(row)) / static_cast<double>(m_throws);
}

double ZufallsgroesseModel::probability(int row) const
{
    return static_cast<double>(m_fair.ways[static_cast<std::size_t>(row)])
        / static_cast<double>(m_fair.outcomes);
}

int ZufallsgroesseModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_values.size());
}

int ZufallsgroesseModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Spalten + (m_loaded ? 1 : 0);
}

QString ZufallsgroesseModel::text(int row, int column, const QLocale &locale) const
{
    using namespace NumberFormat;
    const auto r = static_cast<std::size_t>(row);
    const Int128 ways = m_fair.ways[r];
    switch (column) {
    case Wert:
        return valueText(m_groesse, m_values[r]);
    case Anzahl:
        return integer(m_counts[r], locale);
    case Relativ:
        return m_throws == 0 ? Dash : fraction(m_counts[r], m_throws, Share, locale);
    case Bruch:
        return reducedFraction(ways, m_fair.outcomes);
    case Dezimal:
        return fraction(ways, m_fair.outcomes, Share, locale);
    case Erwartet:
        return fraction(Int128(m_throws) * ways, m_fair.outcomes, Expected, locale);
    case Gezinkt:
        return m_loaded ? fraction(m_loaded->ways[r], m_loaded->outcomes, Share, locale)
                        : QString();
    default:
        return {};
    }
}

QVariant ZufallsgroesseModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::DisplayRole)
        return text(index.row(), index.column(), NumberFormat::german());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() == Wert && isEvent(m_groesse)
                                        ? Qt::AlignLeft
                                        : Qt::AlignRight)
                                   | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == Gezinkt && m_loaded)
        return QStringLiteral("genau %1").arg(
            reducedFraction(m_loaded->ways[static_cast<std::size_t>(index.row())],
                            m_loaded->outcomes));
    return {};
}

QVariant ZufallsgroesseModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Wert:
        return isEvent(m_groesse) ? QStringLiteral("Ereignis") : QStringLiteral("Wert");
    case Anzahl:
        return QStringLiteral("absolute\nHäufigkeit");
    case Relativ:
        return QStringLiteral("relative\nHäufigkeit");
    case Bruch:
        return QStringLiteral("Wahrscheinlichkeit\n(Bruch)");
    case Dezimal:
        return QStringLiteral("Wahrscheinlichkeit\n(Dezimalzahl)");
    case Erwartet:
        return QStringLiteral("erwartete\nHäufigkeit");
    case Gezinkt:
        return QStringLiteral("Wahrscheinlichkeit\n(gezinkt)");
    default:
        return {};
    }
}

QString ZufallsgroesseModel::tableText(const QLocale &locale) const
{
    QStringList lines;
    QStringList header;
    for (int column = 0; column < columnCount(); ++column) {
        if (column != Bruch)
            header << headerData(column, Qt::Horizontal).toString().replace(u'\n', u' ');
    }
    lines << header.join(u'\t');
    for (int row = 0; row < rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < columnCount(); ++column) {
            if (column != Bruch)
                cells << (column == Relativ && m_throws == 0 ? QString()
                                                             : text(row, column, locale));
        }
        lines << cells.join(u'\t');
    }
    return lines.join(u'\n') + u'\n';
}
