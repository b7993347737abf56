// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics_windows.h"

#include "abs_haeufigkeiten.h"
#include "austausch.h"
#include "auswertung.h"
#include "distribution.h"
#include "entwicklung.h"
#include "history_text.h"
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
    static SharedWindow<Verlauf> instance([] { return new Verlauf(history()); });
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

void showInFront(SharedWindowBase &window)
{
    window.show();
    if (QWidget *widget = window.loadedWidget()) {
        widget->raise();
        widget->activateWindow();
    }
}

void showEntwicklung(int sum)
{
    const int dice = Austausch::Anzahl;
    if (sum == 0 && dice >= 1 && dice <= 7)
        sum = SumDistribution(dice).mostLikelySum();
    // Chosen before showing: a hidden window draws its chart once, when it appears.
    entwicklung()->showSum(sum);
    showInFront(entwicklung());
}
