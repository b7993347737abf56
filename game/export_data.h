// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <functional>

struct Austausch;

namespace Export {

// `text` in Windows-1252. A character the code page cannot represent (a surrogate pair counts as
// one) is written as '?'; `replaced` receives how many were. The five C1 controls the code page
// leaves unassigned (U+0081 …) pass through as their own bytes, as Windows itself does.
QByteArray toWindows1252(QStringView text, qsizetype *replaced = nullptr);

// The export file's text for the game `a` and its `history`: the reachable sums, their
// counts and the die names, each line ended by CR LF, then the history unchanged.
QString content(const Austausch &a, const QString &history);

// The export file for `history` in Windows-1252, piece by piece, so that a long history needs no
// second copy of itself in memory: each call gives the next piece, an empty one at the end.
// `a` and `replaced` (which must outlive the pieces) counts the characters written as '?'.
std::function<QByteArray()> pieces(const Austausch &a, const QString &history,
                                   qsizetype *replaced);
// At least the size of all pieces together.
qint64 sizeBound(const Austausch &a, const QString &history);

} // namespace Export
