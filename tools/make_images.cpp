// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the six die faces (face1.png … face6.png, and face1@2x.png … face6@2x.png at twice the
// scale) and the program icon (icon.png) into the folder given as the only argument. Run by hand;
// the outputs are committed.

#include "png_output.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPoint>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Die faces

constexpr int FaceSize = 31;
const QRgb Body = qRgb(255, 0, 0);
const QRgb Pip = qRgb(255, 255, 255);
const QRgb Corner = qRgb(0, 0, 0);
const QRgb NearCorner = qRgb(102, 0, 0);
const QRgb FarCorner = qRgb(153, 0, 0);

// The face is described in its own 31 × 31 grid: a pip is a disc 7 across around the centre of
// its pixel, and each corner fades to black in bands across the diagonal. Sampling that
// description at the pixel centres of a grid `scale` times finer draws the same face for a
// higher device pixel ratio; at scale 1 it gives the rows 3, 5, 7, 7, 7, 5, 3 of a pip and the
// corner pixel, its two edge neighbours and the next diagonal of three.
constexpr double PipRadius = 3.5;
// Bounds of the corner bands, measured as x + y from the nearest image corner.
constexpr double CornerBand = 1.5, NearCornerBand = 2.5, FarCornerBand = 3.5;

std::vector<QPoint> pipCentres(int value)
{
    constexpr int left = 7, middle = 15, right = 24;
    constexpr int top = 7, centre = 15, bottom = 23;
    switch (value) {
    case 1: return {{middle, centre}};
    case 2: return {{left, top}, {right, bottom}};
    case 3: return {{left, top}, {middle, centre}, {right, bottom}};
    case 4: return {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
    case 5: return {{left, top}, {right, top}, {middle, centre}, {left, bottom}, {right, bottom}};
    case 6: return {{left, top}, {left, centre}, {left, bottom},
                    {right, top}, {right, centre}, {right, bottom}};
    }
    return {};
}

// The colour of the face at (x, y), in units of the 31 × 31 grid.
QRgb faceColour(int value, double x, double y)
{
    for (const QPoint &c : pipCentres(value)) {
        if (std::hypot(x - (c.x() + 0.5), y - (c.y() + 0.5)) <= PipRadius)
            return Pip;
    }
    const double fromCorner = std::min(x, FaceSize - x) + std::min(y, FaceSize - y);
    if (fromCorner < CornerBand)
        return Corner;
    if (fromCorner < NearCornerBand)
        return NearCorner;
    if (fromCorner < FarCornerBand)
        return FarCorner;
    return Body;
}

QImage face(int value, int scale)
{
    const int size = FaceSize * scale;
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x)
            image.setPixel(x, y, faceColour(value, (x + 0.5) / scale, (y + 0.5) / scale));
    }
    return image;
}

// ---------------------------------------------------------------------------------------------
// Program icon: a white die with black pips, ray-marched as a rounded cube with dimpled pips,
// seen from above and from its front edge, so its top (6), left (4) and right (2) faces show.

struct Vec
{
    double x = 0, y = 0, z = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec operator*(Vec a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double length(Vec a) { return std::sqrt(dot(a, a)); }
Vec normalized(Vec a) { return a * (1.0 / length(a)); }
Vec cross(Vec a, Vec b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

constexpr double Rounding = 0.17;     // edge radius of the cube, whose half side is 1
constexpr double DimpleRadius = 0.27;
constexpr double DimpleDepth = 0.085; // pips about 0.4 across on a side of 2
constexpr double Floor = -1.0;         // the die rests on the plane y = -1

struct Dimple
{
    Vec centre;
};

// A pip at (u, v) on the face with outward normal n, whose face axes are a and b.
Dimple dimple(Vec n, Vec a, Vec b, double u, double v)
{
    return {n * (1.0 + DimpleRadius - DimpleDepth) + a * u + b * v};
}

std::vector<Dimple> makeDimples()
{
    constexpr double o = 0.5; // pip offset from the face centre
    std::vector<Dimple> d;
    // Top (+y): six, in two rows running from the left face to the right one.
    const Vec up{0, 1, 0}, ex{1, 0, 0}, ez{0, 0, 1};
    for (double u : {-o, 0.0, o})
        for (double v : {-o, o})
            d.push_back(dimple(up, ex, ez, u, v));
    // Seen from the +x, +z quadrant, the +z face is on the left: four.
    for (double u : {-o, o})
        for (double v : {-o, o})
            d.push_back(dimple(ez, ex, up, u, v));
    // Right (+x): two, on one diagonal.
    d.push_back(dimple(ex, ez, up, -o, o));
    d.push_back(dimple(ex, ez, up, o, -o));
    return d;
}

const std::vector<Dimple> Dimples = makeDimples();

double roundedBox(Vec p)
{
    const double b = 1.0 - Rounding;
    const Vec q{std::abs(p.x) - b, std::abs(p.y) - b, std::abs(p.z) - b};
    const Vec outside{std::max(q.x, 0.0), std::max(q.y, 0.0), std::max(q.z, 0.0)};
    return length(outside) + std::min(std::max({q.x, q.y, q.z}), 0.0) - Rounding;
}

double dimples(Vec p)
{
    double d = 1e9;
    for (const Dimple &dim : Dimples)
        d = std::min(d, length(p - dim.centre) - DimpleRadius);
    return d;
}

double die(Vec p) { return std::max(roundedBox(p), -dimples(p)); }

Vec dieNormal(Vec p)
{
    constexpr double e = 1e-4;
    return normalized(Vec{die(p + Vec{e, 0, 0}) - die(p - Vec{e, 0, 0}),
                          die(p + Vec{0, e, 0}) - die(p - Vec{0, e, 0}),
                          die(p + Vec{0, 0, e}) - die(p - Vec{0, 0, e})});
}

// Distance along the ray to the die, or a negative value when it misses.
double hitDie(Vec origin, Vec dir, double far)
{
    double t = 0;
    for (int i = 0; i < 200 && t < far; ++i) {
        const double d = die(origin + dir * t);
        if (d < 1e-5)
            return t;
        t += d;
    }
    return -1;
}

// Soft shadow towards a light: the penumbra widens with the closest miss along the ray.
double softShadow(Vec origin, Vec dir, double k)
{
    double light = 1.0;
    double t = 0.02;
    for (int i = 0; i < 96 && t < 12; ++i) {
        const double d = die(origin + dir * t);
        if (d < 1e-5)
            return 0.0;
        light = std::min(light, k * d / t);
        t += std::clamp(d, 0.01, 0.3);
    }
    return std::clamp(light, 0.0, 1.0);
}

// Darkens creases such as the inside of the pips and the floor next to the die.
double ambientOcclusion(Vec p, Vec n)
{
    double occlusion = 0;
    double weight = 1.0;
    for (int i = 1; i <= 5; ++i) {
        const double h = 0.03 * i;
        occlusion += weight * (h - die(p + n * h));
        weight *= 0.7;
    }
    return std::clamp(1.0 - 3.0 * occlusion, 0.0, 1.0);
}

const Vec KeyLight = normalized({-0.4, 1.0, 0.4});   // from above, a little left and in front
const Vec FillLight = normalized({0.8, 0.35, 0.5});   // dimmer, from the right

// Linear brightness seen along one ray.
double shade(Vec origin, Vec dir)
{
    // The floor is far enough below the camera that a ray always reaches it.
    const double floorT = (Floor - origin.y) / dir.y;
    const double t = hitDie(origin, dir, floorT);
    if (t < 0) {
        const Vec p = origin + dir * floorT;
        const double shadow = softShadow(p, KeyLight, 6.0);
        const double contact = ambientOcclusion(p, Vec{0, 1, 0});
        // A pale studio backdrop that brightens away from the die.
        return 0.36 * (0.45 + 0.55 * shadow) * (0.6 + 0.4 * contact);
    }

    const Vec p = origin + dir * t;
    const Vec n = dieNormal(p);
    const bool inPip = dimples(p) < 2e-3 && roundedBox(p) < -1e-4;
    const double albedo = inPip ? 0.025 : 0.86;
    const double shininess = inPip ? 60.0 : 30.0;
    const double gloss = inPip ? 0.25 : 0.18;

    const Vec view = dir * -1.0;
    const double ao = ambientOcclusion(p, n);
    const double key = std::max(dot(n, KeyLight), 0.0) * softShadow(p + n * 1e-3, KeyLight, 16.0);
    const double fill = std::max(dot(n, FillLight), 0.0);
    const double sky = 0.5 + 0.5 * n.y;

    const Vec half = normalized(KeyLight + view);
    const double specular =
        key > 0 ? gloss * std::pow(std::max(dot(n, half), 0.0), shininess) : 0.0;

    const double diffuse = 0.9 * key + 0.2 * fill + 0.22 * sky * ao;
    return albedo * diffuse + specular;
}

QImage icon()
{
    constexpr int width = 124, height = 132;
    constexpr int samples = 5; // per axis: 25 rays per pixel smooth the edges

    // Looking down at the die's front vertical edge from the upper front, slightly from above.
    const Vec target{0, -0.08, 0};
    const Vec eye = Vec{6.2, 6.0, 6.2};
    const Vec forward = normalized(target - eye);
    const Vec right = normalized(cross(forward, Vec{0, 1, 0}));
    const Vec up = cross(right, forward);
    constexpr double halfHeight = 0.19; // of the image plane at distance 1
    constexpr double aspect = double(width) / height;

    QImage image(width, height, QImage::Format_RGB32);
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) {
            double sum = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double x = (px + (sx + 0.5) / samples) / width * 2.0 - 1.0;
                    const double y = 1.0 - (py + (sy + 0.5) / samples) / height * 2.0;
                    const Vec dir = normalized(forward + right * (x * halfHeight * aspect)
                                               + up * (y * halfHeight));
                    sum += shade(eye, dir);
                }
            }
            const double linear = sum / (samples * samples);
            // Filmic-like shoulder, then sRGB gamma, so highlights roll off instead of clipping.
            const double mapped = linear / (1.0 + 0.25 * linear) * 1.25;
            const double encoded = std::pow(std::clamp(mapped, 0.0, 1.0), 1.0 / 2.2);
            const int grey = int(std::lround(255.0 * encoded));
            image.setPixel(px, py, qRgb(grey, grey, grey));
        }
    }
    return image;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        QTextStream(stderr) << "usage: kollavo_make_images <output folder>\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        QTextStream(stderr) << "cannot create " << folder.path() << '\n';
        return 1;
    }
    bool ok = true;
    for (int value = 1; value <= 6; ++value) {
        ok = savePng(face(value, 1), folder, QStringLiteral("face%1.png").arg(value)) && ok;
        // Qt picks the @2x file beside the plain one for a device pixel ratio of 2.
        ok = savePng(face(value, 2), folder, QStringLiteral("face%1@2x.png").arg(value)) && ok;
    }
    ok = savePng(icon(), folder, QStringLiteral("icon.png")) && ok;
    return ok ? 0 : 1;
}
