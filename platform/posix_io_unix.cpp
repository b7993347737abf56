// SPDX-License-Identifier: GPL-3.0-or-later
#include "posix_io_unix.h"

#include <csignal>
#include <new>
#include <unistd.h>

ssize_t WriteCalls::write(int fd, const void *data, size_t size)
{
    return ::write(fd, data, size);
}

int WriteCalls::ftruncate(int fd, off_t length)
{
    return ::ftruncate(fd, length);
}

int WriteCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int WriteCalls::close(int fd)
{
    return ::close(fd);
}

void ignoreFileSizeSignal()
{
    struct sigaction action = {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGXFSZ, &action, nullptr);
}

namespace SafeFile {

WriteCalls &systemCalls()
{
    static WriteCalls calls;
    return calls;
}

int writeAll(WriteCalls &calls, int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t n = calls.write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        // Nothing written and no error: asking again could go on for ever.
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
    }
    return 0;
}

int truncateTo(WriteCalls &calls, int fd, off_t length)
{
    return retried([&] { return calls.ftruncate(fd, length); }) == 0 ? 0 : errno;
}

int syncFile(WriteCalls &calls, int fd)
{
    return retried([&] { return calls.fsync(fd); }) == 0 ? 0 : errno;
}

// Linux releases the descriptor even when close() fails, so it is never called twice; EINTR
// then only says the call was interrupted, after the data had been synced.
int closeFile(WriteCalls &calls, int fd)
{
    return calls.close(fd) == 0 || errno == EINTR ? 0 : errno;
}

int writePieces(WriteCalls &calls, int fd, const FilePieces &pieces)
{
    try {
        for (QByteArray piece = pieces(); !piece.isEmpty(); piece = pieces()) {
            if (const int error = writeAll(calls, fd, piece.constData(), piece.size()))
                return error;
        }
    } catch (const std::bad_alloc &) {
        return ENOMEM;
    }
    return 0;
}

bool syncToDisk(int handle)
{
    return retried([&] { return ::fsync(handle); }) == 0;
}

// A file that ends early changed under us.
int readAt(int fd, char *data, qint64 size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = retried([&] { return ::pread(fd, data, size_t(size), offset); });
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO;
        data += n;
        size -= n;
        offset += n;
    }
    return 0;
}

} // namespace SafeFile
