// SPDX-License-Identifier: GPL-3.0-or-later
#include "twips.h"

#include "rounding.h"

#include <QWidget>

#include <algorithm>

namespace Twips {

int toPixels(float twips)
{
    return roundToInt(static_cast<double>(twips) / PerPixel);
}

float fromPixels(int pixels)
{
    return static_cast<float>(pixels * PerPixel);
}

float left(const QWidget &w) { return fromPixels(w.x()); }
float top(const QWidget &w) { return fromPixels(w.y()); }
float width(const QWidget &w) { return fromPixels(w.width()); }
float height(const QWidget &w) { return fromPixels(w.height()); }

void setLeft(QWidget &w, float twips) { w.move(toPixels(twips), w.y()); }
void setTop(QWidget &w, float twips) { w.move(w.x(), toPixels(twips)); }
// A size cannot be negative on screen; a negative request is applied (and read back) as 0.
void setWidth(QWidget &w, float twips) { w.resize(std::max(0, toPixels(twips)), w.height()); }
void setHeight(QWidget &w, float twips) { w.resize(w.width(), std::max(0, toPixels(twips))); }

} // namespace Twips
