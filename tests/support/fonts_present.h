// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QFontInfo>
#include <QTest>

// Qt's offscreen platform on Windows (the Windows tests run under Wine) finds no fonts: text has
// no size there, so a check of text sizes or drawn text cannot run. Never true on Linux.
#define SKIP_WITHOUT_FONTS()                                                                       \
    do {                                                                                           \
        if (QFontInfo(QFont()).pixelSize() <= 0)                                                   \
            QSKIP("no fonts on this platform (Qt's offscreen platform on Windows)");               \
    } while (false)
