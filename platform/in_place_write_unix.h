// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safe_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace SafeFile {

// Overwrites the file `target` itself, so that it keeps its identity (inode, owner, links),
// after its old contents were put aside; puts them back when anything fails.
std::optional<QString> writeInPlace(WriteCalls &calls, const QByteArray &target,
                                    qint64 sizeHint, const FilePieces &pieces);

} // namespace SafeFile
