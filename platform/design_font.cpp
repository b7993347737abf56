// SPDX-License-Identifier: GPL-3.0-or-later
#include "design_font.h"

#include <QFontDatabase>
#include <QFontInfo>

QFont designFont(qreal pointSize, bool bold)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

QFont inScreenPixels(QFont font)
{
    font.setPixelSize(QFontInfo(font).pixelSize());
    return font;
}
