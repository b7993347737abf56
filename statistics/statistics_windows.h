// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shared_window.h"

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
