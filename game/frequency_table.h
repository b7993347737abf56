// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

struct Austausch;

// The counts of the game `a` beside what theory expects, as tab-separated text for a
// spreadsheet: a header row, then one row per reachable sum, numbers written in `locale`.
QString frequencyTable(const Austausch &a, const QLocale &locale);
