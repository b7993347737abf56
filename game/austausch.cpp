// SPDX-License-Identifier: GPL-3.0-or-later
#include "austausch.h"

namespace Austausch {

void reset()
{
    Anzahl = 0;
    Wurfzahl = 0;
    MinSumme = 0;
    MaxSumme = 0;
    Haeufigkeit.clear();
    Wurfsummen.clear();
    Wurfaugen.clear();
}

qint64 totalCount()
{
    qint64 total = 0;
    for (int s = MinSumme; s <= MaxSumme; ++s)
        total += Haeufigkeit[s];
    return total;
}

} // namespace Austausch
