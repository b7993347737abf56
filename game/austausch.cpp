// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"

qint64 Austausch::totalCount() const
{
    qint64 total = 0;
    for (int s = MinSumme; s <= MaxSumme; ++s)
        total += Haeufigkeit[s];
    return total;
}
