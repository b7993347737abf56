// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPainterPath>

#include <functional>

class QPainter;

// One wedge of the ellipse inscribed in the rectangle left, top, right, bottom: the part between
// the ray from the rectangle's centre through (x1, y1) and the ray through (x2, y2), swept
// counter-clockwise on the screen from the first to the second and closed by both radii. Only
// the directions of the two points count, not their distances. When the rays coincide, or a
// point lies at the centre and so has no direction, it is the whole ellipse.
//
// It outlines with the painter's pen and fills with its
// brush. An empty rectangle draws nothing and leaves the painter alone, so the painter may be
// inactive then. The result is nonzero when something was drawn; the chart never reads it.
int Pie(QPainter &painter, int left, int top, int right, int bottom, int x1, int y1, int x2,
        int y2);

// The wedge as QPainter::drawPie takes it: start and span in 1/16 degree, counter-clockwise
// from 3 o'clock, angles measured on the ellipse as Qt does (a circle stretched to the
// rectangle). A span of 5760 is the whole ellipse.
struct PieAngles
{
    int start = 0;
    int span = 0;
};
PieAngles pieAngles(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);

// The outline Pie fills for the same values, as a path: for vector output and for finding what
// lies under a point. Empty for an empty rectangle.
QPainterPath piePath(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);

// What the chart draws its wedges with: Pie, or in a test a recorder in front of it.
using PieFunction = std::function<int(QPainter &, int, int, int, int, int, int, int, int)>;
