// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources.h"

#include <QString>

namespace Resources {

QPixmap face(int value)
{
    Q_ASSERT(value >= 1 && value <= 6);
    return QPixmap(QStringLiteral(":/kollavo/face%1.png").arg(value));
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/kollavo/icon.png"));
}

} // namespace Resources
