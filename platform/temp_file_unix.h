// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <sys/types.h>

namespace SafeFile {

// A file that has no name until it is complete, so that a killed program leaves nothing behind.
// Where the file system has no unnamed files, a hidden name that removeStrayTemporaries()
// cleans up.
struct TempFile
{
    int fd = -1;
    QByteArray name; // empty while unnamed
};

// The hidden names start and end so; the number of the writing process follows the prefix.
inline constexpr char TempPrefix[] = ".kollavo-";
inline constexpr char TempSuffix[] = ".tmp";

// 0 or an errno; EEXIST when no free name was found.
int createTemp(const QByteArray &folder, int access, mode_t mode, bool unnamed, TempFile &file);
// Gives an unnamed file the name `name`; EEXIST when that is taken.
int linkUnnamed(int fd, const QByteArray &name);
// Gives an unnamed file a hidden name in `folder`.
int nameTemp(const QByteArray &folder, TempFile &file);

} // namespace SafeFile
