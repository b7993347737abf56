// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources.h"

#include <QIcon>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

// A pip covers the pixels within distance √10 of its centre: rows 3, 5, 7, 7, 7, 5, 3 wide.
constexpr bool inPip(int dx, int dy) { return dx * dx + dy * dy <= 10; }

constexpr int rowWidth(int dy)
{
    int width = 0;
    for (int dx = -5; dx <= 5; ++dx)
        width += inPip(dx, dy) ? 1 : 0;
    return width;
}
static_assert(rowWidth(-4) == 0 && rowWidth(-3) == 3 && rowWidth(-2) == 5 && rowWidth(-1) == 7
              && rowWidth(0) == 7 && rowWidth(1) == 7 && rowWidth(2) == 5 && rowWidth(3) == 3
              && rowWidth(4) == 0);

const QRgb Red = qRgb(255, 0, 0);
const QRgb White = qRgb(255, 255, 255);
const QRgb Black = qRgb(0, 0, 0);
const QRgb DarkRed = qRgb(102, 0, 0);
const QRgb MidRed = qRgb(153, 0, 0);

// The colour the description asks for at (x, y) of a 31 × 31 face with pips at `centres`.
QRgb expectedColour(int x, int y, const QList<QPoint> &centres)
{
    for (const QPoint &c : centres) {
        if (inPip(x - c.x(), y - c.y()))
            return White;
    }
    // Steps from the nearest image corner along both edges: 0 is the corner pixel itself,
    // 1 its two edge neighbours, 2 the next diagonal of three.
    const int fromLeft = x, fromRight = 30 - x, fromTop = y, fromBottom = 30 - y;
    const int steps = std::min(fromLeft, fromRight) + std::min(fromTop, fromBottom);
    switch (steps) {
    case 0: return Black;
    case 1: return DarkRed;
    case 2: return MidRed;
    default: return Red;
    }
}

QString colourName(QRgb c)
{
    return QStringLiteral("(%1,%2,%3,a%4)")
        .arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)).arg(qAlpha(c));
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void face_data();
    void face();
    void faceDoubled_data() { face_data(); }
    void faceDoubled();
    void faceCorners_data();
    void faceCorners();
    void icon();
};

void TestResources::face_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QList<QPoint>>("centres");

    QTest::newRow("1") << 1 << QList<QPoint>{{15, 15}};
    QTest::newRow("2") << 2 << QList<QPoint>{{7, 7}, {24, 23}};
    QTest::newRow("3") << 3 << QList<QPoint>{{7, 7}, {15, 15}, {24, 23}};
    QTest::newRow("4") << 4 << QList<QPoint>{{7, 7}, {24, 7}, {7, 23}, {24, 23}};
    QTest::newRow("5") << 5 << QList<QPoint>{{7, 7}, {24, 7}, {15, 15}, {7, 23}, {24, 23}};
    QTest::newRow("6") << 6
                       << QList<QPoint>{{7, 7}, {7, 15}, {7, 23}, {24, 7}, {24, 15}, {24, 23}};
}

void TestResources::face()
{
    // A face with a wrong size, a transparent or blended pixel, a misplaced or misshapen pip,
    // or the wrong pip count shows a different die value than the one thrown.
    QFETCH(int, value);
    QFETCH(QList<QPoint>, centres);

    const QPixmap pixmap = Resources::face(value);
    QVERIFY2(!pixmap.isNull(), "face image missing from the resources");
    QCOMPARE(pixmap.size(), QSize(31, 31));
    QVERIFY(!pixmap.hasAlphaChannel());
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);

    int white = 0;
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 31; ++x) {
            const QRgb actual = image.pixel(x, y);
            const QRgb expected = expectedColour(x, y, centres);
            if (actual != expected) {
                QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is %3, expected %4")
                                     .arg(x).arg(y).arg(colourName(actual), colourName(expected))));
            }
            white += actual == White ? 1 : 0;
        }
    }
    // Pips never touch, so each adds its full 37 pixels.
    QCOMPARE(white, 37 * int(centres.size()));
}

void TestResources::faceDoubled()
{
    // A face for a device pixel ratio of 2 that is an enlargement, misses the ratio, or has its
    // pips off the doubled centres or at another size shows blurred or different dice on a
    // scaled screen.
    QFETCH(int, value);
    QFETCH(QList<QPoint>, centres);

    const QPixmap pixmap = Resources::face(value, 2.0);
    QCOMPARE(pixmap.size(), QSize(62, 62));
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QVERIFY(!pixmap.hasAlphaChannel());
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);

    for (int y = 0; y < 62; ++y) {
        for (int x = 0; x < 62; ++x) {
            // The pip disc, 7 across around the middle of its pixel, at twice the scale: 14
            // across around the doubled centre.
            const auto inDisc = std::any_of(centres.cbegin(), centres.cend(), [&](QPoint c) {
                return std::hypot(x + 0.5 - (2 * c.x() + 1), y + 0.5 - (2 * c.y() + 1)) <= 7;
            });
            const bool nearCorner = std::min(x, 61 - x) + std::min(y, 61 - y) < 8;
            const QRgb actual = image.pixel(x, y);
            if (inDisc ? actual != White : (!nearCorner && actual != Red)) {
                QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is %3")
                                     .arg(x).arg(y).arg(colourName(actual))));
            }
        }
    }
}

void TestResources::faceCorners_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QPoint>("corner"); // in the 31 × 31 grid
    QTest::addColumn<QPoint>("inward"); // one step towards the image's centre

    const QList<std::pair<const char *, std::pair<QPoint, QPoint>>> corners = {
        {"top left", {{0, 0}, {1, 1}}},
        {"top right", {{30, 0}, {-1, 1}}},
        {"bottom left", {{0, 30}, {1, -1}}},
        {"bottom right", {{30, 30}, {-1, -1}}},
    };
    for (const qreal ratio : {1.0, 2.0}) {
        for (int value = 1; value <= 6; ++value) {
            for (const auto &[name, geometry] : corners) {
                QTest::addRow("ratio %g, face %d, %s", ratio, value, name)
                    << value << ratio << geometry.first << geometry.second;
            }
        }
    }
}

void TestResources::faceCorners()
{
    // Square corners, or a fade mirrored the wrong way, make the dice look chipped next to
    // the black tray; at ratio 2 the same fade at doubled coordinates.
    QFETCH(int, value);
    QFETCH(qreal, ratio);
    QFETCH(QPoint, corner);
    QFETCH(QPoint, inward);

    const QImage image =
        Resources::face(value, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
    const int scale = int(ratio);
    QCOMPARE(image.size(), QSize(31, 31) * scale);
    // The pixel of the corner itself, at this scale.
    const QPoint origin =
        corner * scale + QPoint(corner.x() ? scale - 1 : 0, corner.y() ? scale - 1 : 0);
    const auto at = [&](int dx, int dy) {
        return colourName(image.pixel(origin.x() + dx * scale * inward.x(),
                                      origin.y() + dy * scale * inward.y()));
    };
    QCOMPARE(at(0, 0), colourName(Black));
    QCOMPARE(at(1, 0), colourName(DarkRed));
    QCOMPARE(at(0, 1), colourName(DarkRed));
    QCOMPARE(at(2, 0), colourName(MidRed));
    QCOMPARE(at(1, 1), colourName(MidRed));
    QCOMPARE(at(0, 2), colourName(MidRed));
    QCOMPARE(at(3, 0), colourName(Red));
    QCOMPARE(at(2, 1), colourName(Red));
    QCOMPARE(at(1, 2), colourName(Red));
    QCOMPARE(at(0, 3), colourName(Red));
}

void TestResources::icon()
{
    // A missing, resized, translucent, coloured or blank program icon.
    const QIcon icon = Resources::programIcon();
    QVERIFY2(!icon.isNull(), "program icon missing from the resources");
    QCOMPARE(icon.availableSizes(), QList<QSize>{QSize(124, 132)});

    const QPixmap pixmap = icon.pixmap(QSize(124, 132));
    QCOMPARE(pixmap.size(), QSize(124, 132));
    QVERIFY(!pixmap.hasAlphaChannel());
    const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);

    int darkest = 255, lightest = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (qAlpha(c) != 255 || qRed(c) != qGreen(c) || qGreen(c) != qBlue(c)) {
                QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is %3, not an opaque grey")
                                     .arg(x).arg(y).arg(colourName(c))));
            }
            darkest = std::min(darkest, qRed(c));
            lightest = std::max(lightest, qRed(c));
        }
    }
    // A white die with black pips needs both ends of the grey scale.
    QVERIFY2(lightest >= 224, qPrintable(QStringLiteral("lightest grey %1").arg(lightest)));
    QVERIFY2(darkest <= 48, qPrintable(QStringLiteral("darkest grey %1").arg(darkest)));
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
