// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources.h"

#include <QGuiApplication>
#include <QString>

namespace Resources {

QPixmap face(int value, qreal devicePixelRatio)
{
    Q_ASSERT(value >= 1 && value <= 6);
    // QPixmap would load the 31 × 31 file at any ratio, and QIcon looks for the @2x file only
    // when some screen has a ratio of 2 already. Given both, QIcon hands out the image drawn for
    // the ratio, unscaled at 1 and 2.
    QIcon icon;
    icon.addFile(QStringLiteral(":/kollavo/face%1.png").arg(value), FaceSize);
    icon.addFile(QStringLiteral(":/kollavo/face%1@2x.png").arg(value), FaceSize * 2);
    return icon.pixmap(FaceSize, devicePixelRatio);
}

QPixmap face(int value)
{
    // The highest ratio of all screens: a face is loaded once, before its window is shown.
    return face(value, qApp ? qApp->devicePixelRatio() : 1.0);
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/kollavo/icon.png"));
}

} // namespace Resources
