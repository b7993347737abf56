// SPDX-License-Identifier: GPL-3.0-or-later
#include "frequency_table.h"

#include "austausch.h"
#include "distribution.h"
#include "number_format.h"

#include <algorithm>

QString frequencyTable(const Austausch &a, const QLocale &locale)
{
    // Rows end in LF, the line end of text on this platform's clipboard; spreadsheets take LF
    // and CR LF alike.
    QString table = (a.Anzahl == 1 ? QStringLiteral("Augenzahl")
                                            : QStringLiteral("Augensumme"))
                    + QStringLiteral("\tabsolute Häufigkeit\trelative Häufigkeit\t"
                                     "Wahrscheinlichkeit\terwartete Häufigkeit\n");
    if (a.Anzahl < 1)
        return table;

    // Integers without group separators: plain digits are read as the same number by every
    // spreadsheet, whatever its own language settings.
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    const SumDistribution distribution(a.Anzahl);
    const qint64 total = a.totalCount();
    // The digits of the Auswertung table, as fractions rather than percentages: a spreadsheet
    // computes with 0,0823, not with "8,23 %".
    for (int s = a.MinSumme; s <= a.MaxSumme; ++s) {
        const qint16 count = a.Haeufigkeit[s];
        const qint64 ways = distribution.ways(s);
        table += NumberFormat::integer(s, plain) + u'\t' + NumberFormat::integer(count, plain)
                 + u'\t'
                 + NumberFormat::fraction(count, std::max<qint64>(total, 1),
                                          NumberFormat::Share, plain)
                 + u'\t'
                 + NumberFormat::fraction(ways, distribution.outcomes(), NumberFormat::Share, plain)
                 + u'\t'
                 + NumberFormat::fraction(Int128(total) * ways, distribution.outcomes(),
                                          NumberFormat::Expected, plain)
                 + u'\n';
    }
    return table;
}
