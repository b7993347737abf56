// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Frames `widget` while it has the keyboard focus, for a control whose style shows no focus of
// its own (a chart view). The frame lies around the widget, so nothing inside moves.
void frameWhileFocused(QWidget &widget);
