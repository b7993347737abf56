// SPDX-License-Identifier: GPL-3.0-or-later
#include "safe_file_system.h"

#include <cerrno>
#include <csignal>

// A process of another user answers EPERM: it runs.
bool SafeFile::processRunning(qint64 pid)
{
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno != ESRCH);
}
