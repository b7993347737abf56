// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics_windows.h"

#include "abs_haeufigkeiten.h"
#include "rel_haeufigkeiten.h"
#include "verlauf.h"

SharedWindow<AbsHaeufigkeiten> &absHaeufigkeiten()
{
    static SharedWindow<AbsHaeufigkeiten> instance;
    return instance;
}

SharedWindow<RelHaeufigkeiten> &relHaeufigkeiten()
{
    static SharedWindow<RelHaeufigkeiten> instance;
    return instance;
}

SharedWindow<Verlauf> &verlauf()
{
    static SharedWindow<Verlauf> instance;
    return instance;
}

std::span<SharedWindowBase *const> statisticsWindows()
{
    static SharedWindowBase *const windows[] = {
        &relHaeufigkeiten(),
        &absHaeufigkeiten(),
        &verlauf(),
    };
    return windows;
}
