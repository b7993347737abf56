// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace Export {

// `text` in Windows-1252. A character the code page cannot represent (a surrogate pair counts as
// one) is written as '?'; `replaced` receives how many were. The five C1 controls the code page
// leaves unassigned (U+0081 …) pass through as their own bytes, as Windows itself does.
QByteArray toWindows1252(QStringView text, qsizetype *replaced = nullptr);

// The export file's text for the current game state and `history`: the reachable sums, their
// counts and the die names, each line ended by CR LF, then the history unchanged.
QString content(const QString &history);

} // namespace Export
