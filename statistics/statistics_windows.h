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
