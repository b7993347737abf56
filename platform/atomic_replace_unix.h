// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safe_file.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <sys/stat.h>

namespace SafeFile {

// Writes a new file beside `target` and renames it over `target` once it is complete, with the
// mode and where possible the group of `existing` (null for a new file).
std::optional<QString> replaceAtomically(WriteCalls &calls, const QByteArray &target,
                                         const QByteArray &folder, const struct stat *existing,
                                         const FilePieces &pieces);

} // namespace SafeFile
