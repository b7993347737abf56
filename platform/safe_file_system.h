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

// The German text for the error numbers of the C runtime that both systems report alike; each
// system's errorText() answers its own numbers first and leaves the rest to this.
QString standardErrorText(int error);

// Writes the pieces to `target`, a path with no symbolic link left to resolve in its last part.
std::optional<QString> writeTarget(const QString &target, qint64 sizeHint,
                                   const FilePieces &pieces, WriteCalls &calls);

// Why the symbolic link `link` must not be followed, or nothing.
std::optional<QString> refusedLink(const QString &link);

// Removes the hidden temporary files that interrupted saves of this user left in `folder`.
void removeStrayTemporaries(const QString &folder);

// Whether the process with this id still runs.
bool processRunning(qint64 pid);

// Makes what was written through `handle` (a C runtime file descriptor) last a power cut.
bool syncToDisk(int handle);

// Shared by both systems.
QString notRegularText();

} // namespace SafeFile
