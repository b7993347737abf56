// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// Window geometry in twips (1/1440 inch, 15 per logical pixel). Values are set as single
// precision, placed on whole logical pixels (ties to even) and read back as the value applied,
// so code that reads a position after setting it sees where the element really is.
namespace Twips {

inline constexpr double PerPixel = 15.0;

int toPixels(float twips);
float fromPixels(int pixels);

float left(const QWidget &w);
float top(const QWidget &w);
float width(const QWidget &w);
float height(const QWidget &w);

// Each keeps the other three values of the geometry as they are.
void setLeft(QWidget &w, float twips);
void setTop(QWidget &w, float twips);
void setWidth(QWidget &w, float twips);
void setHeight(QWidget &w, float twips);

} // namespace Twips
