// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Export {

// `text` in Windows-1252. A character the code page cannot represent (a surrogate pair counts as
// one) is written as '?'; `replaced` receives how many were.
QByteArray toWindows1252(QStringView text, qsizetype *replaced = nullptr);

// The export file's text for the current game state and `history`: the reachable sums, their
// counts and the die names, each line ended by CR LF, then the history unchanged.
QString content(const QString &history);

// Writes `bytes` to `path` so that an existing file is replaced only by a completely written
// new one. Returns the reason when the file could not be written; the old file then stays.
std::optional<QString> writeFile(const QString &path, const QByteArray &bytes);

} // namespace Export
