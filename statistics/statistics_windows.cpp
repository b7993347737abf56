// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics_windows.h"

#include "abs_haeufigkeiten.h"
#include "auswertung.h"
#include "entwicklung.h"
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

SharedWindow<Auswertung> &auswertung()
{
    static SharedWindow<Auswertung> instance;
    return instance;
}

SharedWindow<Entwicklung> &entwicklung()
{
    static SharedWindow<Entwicklung> instance;
    return instance;
}

std::span<SharedWindowBase *const> statisticsWindows()
{
    static SharedWindowBase *const windows[] = {
        &relHaeufigkeiten(),
        &absHaeufigkeiten(),
        &verlauf(),
        &auswertung(),
        &entwicklung(),
    };
    return windows;
}
