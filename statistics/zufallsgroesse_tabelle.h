// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "random_variable.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

class QLocale;

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
