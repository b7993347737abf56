// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace SafeFile {

// errorText(), but telling a missing folder from one that takes no files.
QString errorTextIn(int error, const QByteArray &folder);

} // namespace SafeFile
