// SPDX-License-Identifier: GPL-3.0-or-later
#include "pie.h"

#include "rounding.h"

#include <QPainter>
#include <QRectF>

#include <cmath>
#include <numbers>

namespace {

constexpr int FullCircle = 360 * 16;

// A point's offset from the rectangle's centre, doubled so that it stays a whole number for
// odd sizes. Doubles hold these and their products exactly for any coordinates of a real screen.
struct Offset
{
    double dx;
    double dy;
    bool atCentre() const { return dx == 0 && dy == 0; }
};

Offset offsetOf(int left, int top, int right, int bottom, int x, int y)
{
    return {2.0 * x - (double(left) + right), 2.0 * y - (double(top) + bottom)};
}

// The ray's direction as Qt's ellipse angle in 1/16 degree: Qt places angle t at
// (a cos t, b sin t) of the ellipse, so a ray on a non-circular ellipse has to be squeezed
// into that parameter first. Screen y grows downwards while Qt counts counter-clockwise.
double ellipseAngle16(const Offset &p, double width, double height)
{
    return std::atan2(-p.dy * width, p.dx * height) * (FullCircle / 2 / std::numbers::pi);
}

int normalised(int angle)
{
    return ((angle % FullCircle) + FullCircle) % FullCircle;
}

} // namespace

PieAngles pieAngles(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2)
{
    const double width = std::abs(double(right) - left);
    const double height = std::abs(double(bottom) - top);
    if (width == 0 || height == 0)
        return {};

    const Offset first = offsetOf(left, top, right, bottom, x1, y1);
    const Offset second = offsetOf(left, top, right, bottom, x2, y2);
    const double cross = first.dx * second.dy - first.dy * second.dx;
    const double dot = first.dx * second.dx + first.dy * second.dy;
    if (first.atCentre() || second.atCentre() || (cross == 0 && dot > 0)) {
        const Offset &directed = first.atCentre() ? second : first;
        const int start = directed.atCentre() ? 0 : roundToInt(ellipseAngle16(directed, width, height));
        return {normalised(start), FullCircle};
    }

    // Both ends are rounded on their own, so a wedge that ends on a ray starts the next wedge on
    // exactly the same angle and no hairline gap opens between them.
    const double exactStart = ellipseAngle16(first, width, height);
    const double exactEnd = ellipseAngle16(second, width, height);
    const int start = normalised(roundToInt(exactStart));
    int span = normalised(roundToInt(exactEnd) - start);
    if (span == 0) {
        // Rays a hair apart: a sliver, or all but a sliver when the sweep goes the long way.
        double sweep = std::fmod(exactEnd - exactStart, double(FullCircle));
        if (sweep < 0)
            sweep += FullCircle;
        span = sweep > FullCircle / 2 ? FullCircle : 0;
    }
    return {start, span};
}

QPainterPath piePath(int left, int top, int right, int bottom, int x1, int y1, int x2,
                     int y2)
{
    QPainterPath path;
    const QRectF box =
        QRectF(left, top, double(right) - left, double(bottom) - top).normalized();
    if (box.isEmpty())
        return path;
    const PieAngles angles = pieAngles(left, top, right, bottom, x1, y1, x2, y2);
    if (angles.span >= FullCircle) {
        path.addEllipse(box);
        return path;
    }
    // The path QPainter::drawPie builds for its wedge.
    path.moveTo(box.center());
    path.arcTo(box, angles.start / 16.0, angles.span / 16.0);
    path.closeSubpath();
    return path;
}

int Pie(QPainter &painter, int left, int top, int right, int bottom, int x1, int y1, int x2,
        int y2)
{
    const QRectF box =
        QRectF(left, top, double(right) - left, double(bottom) - top).normalized();
    if (box.isEmpty())
        return 0;
    const PieAngles angles = pieAngles(left, top, right, bottom, x1, y1, x2, y2);
    // drawPie would also stroke a radius across the full ellipse.
    if (angles.span >= FullCircle)
        painter.drawEllipse(box);
    else
        painter.drawPie(box, angles.start, angles.span);
    return 1;
}
