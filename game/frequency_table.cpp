// SPDX-License-Identifier: GPL-3.0-or-later
#include "frequency_table.h"

#include "austausch.h"
#include "distribution.h"

QString frequencyTable(const QLocale &locale)
{
    // Rows end in LF, the line end of text on this platform's clipboard; spreadsheets take LF
    // and CR LF alike.
    QString table = QStringLiteral(
        "Summe\tAnzahl\trelative Häufigkeit\tWahrscheinlichkeit\terwartete Anzahl\n");
    if (Austausch::Anzahl < 1)
        return table;

    // Integers without group separators: plain digits are read as the same number by every
    // spreadsheet, whatever its own language settings.
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    const SumDistribution distribution(Austausch::Anzahl);
    const qint64 total = Austausch::totalCount();
    for (int s = Austausch::MinSumme; s <= Austausch::MaxSumme; ++s) {
        const qint16 count = Austausch::Haeufigkeit[s];
        const double relative = total > 0 ? double(count) / double(total) : 0.0;
        table += plain.toString(s) + u'\t' + plain.toString(count) + u'\t'
                 + plain.toString(relative, 'f', 4) + u'\t'
                 + plain.toString(distribution.probability(s), 'f', 4) + u'\t'
                 + plain.toString(distribution.expectedCount(s, total), 'f', 2) + u'\n';
    }
    return table;
}
