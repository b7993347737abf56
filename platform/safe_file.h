// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <QStringList>

#include <functional>
#include <optional>
#include <sys/types.h>

// The calls that put bytes into the file being saved. The program uses the system's; a test
// hands in its own to make any of them fail at any point.
class WriteCalls
{
public:
    virtual ~WriteCalls() = default;
    virtual ssize_t write(int fd, const void *data, size_t size);
    virtual int ftruncate(int fd, off_t length);
    virtual int fsync(int fd);
    virtual int close(int fd);
};

// Writes `bytes` to `path`. An ordinary file is replaced only by a completely written new one
// with the old file's permissions and, where the user may set it, its group; a file whose
// identity a replacement would change (several hard links, another owner, a folder the user
// cannot write to) is overwritten in place, after its old contents were copied to a named file
// on disk, and put back when anything fails. A target that is not a regular file (device, FIFO,
// socket) is refused and left alone, as is a symbolic link that points nowhere or that another
// user left in a shared folder. Returns the reason in German when the file could not be written.
std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes);
std::optional<QString> writeFileSafely(const QString &path, const QByteArray &bytes,
                                       WriteCalls &calls);

// A file's bytes handed over piece by piece, for a file too large to build whole in memory: each
// call gives the next piece, an empty one at the end. It may throw std::bad_alloc; the write then
// fails as a full disk would, and the file is left as it was.
using FilePieces = std::function<QByteArray()>;
// `sizeHint` (-1: unknown) is at least the size of all pieces together; space is reserved for it.
std::optional<QString> writeFileSafely(const QString &path, qint64 sizeHint,
                                       const FilePieces &pieces);
std::optional<QString> writeFileSafely(const QString &path, qint64 sizeHint,
                                       const FilePieces &pieces, WriteCalls &calls);

// A write in place first puts the file's old contents into a named copy on disk. A copy left by
// a program that ended in the middle (killed, power cut) is described here, one German text per
// copy saying which file it belongs to and where it lies. Each is described once; none is
// deleted.
QStringList interruptedWriteReports();

// Lets a file-size limit (ulimit -f) fail a write with EFBIG instead of ending the program with
// SIGXFSZ. main() calls it before anything, Qt's own settings file included, is written.
void ignoreFileSizeSignal();
