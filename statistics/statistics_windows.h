// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shared_window.h"

#include <span>

class AbsHaeufigkeiten;
class Auswertung;
class Entwicklung;
class RelHaeufigkeiten;
class Verlauf;

// The statistics windows, each one shared instance for the whole run.
SharedWindow<AbsHaeufigkeiten> &absHaeufigkeiten();
SharedWindow<RelHaeufigkeiten> &relHaeufigkeiten();
SharedWindow<Verlauf> &verlauf();
SharedWindow<Auswertung> &auswertung();
SharedWindow<Entwicklung> &entwicklung();

// Every statistics window, in the order in which the main window unloads them when it closes.
// The main window also attaches its dialogs to each of them. A new window goes in at the end.
std::span<SharedWindowBase *const> statisticsWindows();

// Shows a window the user asked for from a context menu, in front of the others.
void showInFront(SharedWindowBase &window);
// "Entwicklung" on `sum`, or on the most likely sum of the game when `sum` is 0 (the menu was
// opened over no bar or wedge).
void showEntwicklung(int sum);
