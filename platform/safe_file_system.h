// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "safe_file.h"

#include <QByteArray>
#include <QString>

#include <optional>

// What each operating system provides to writeFileSafely(): one source file per system.
namespace SafeFile {

// The German text for a system error number, as the file calls report it.
QString errorText(int error);

// Shared by both systems.
QString notRegularText();

// Writes `bytes` to `target`, a path with no symbolic link left to resolve in its last part.
std::optional<QString> writeTarget(const QString &target, const QByteArray &bytes,
                                   WriteCalls &calls);

// Removes the hidden temporary files that interrupted saves of this user left in `folder`.
void removeStrayTemporaries(const QString &folder);

} // namespace SafeFile
