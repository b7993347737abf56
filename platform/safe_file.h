// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Writes `bytes` to `path`. An ordinary file is replaced only by a completely written new one
// with the old file's permissions; a file whose identity a replacement would change (several
// hard links, another owner, a folder the user cannot write to) is overwritten in place. A
// target that is not a regular file (device, FIFO, socket) is refused and left alone.
// Returns the reason in German when the file could not be written.
std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes);
