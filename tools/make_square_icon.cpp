// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a square copy of an image, centred on a transparent background, for icon themes that
// only know square sizes. Usage: kollavo_make_square_icon <input> <output> <size>
// Run by hand; the output is committed (resources/icon_128.png, size 128).
//
// Where the input is larger than the square it is cut, never scaled, so the pixels stay sharp;
// the tool refuses if that would cut anything but the plain background colour of the corners.

#include <QImage>
#include <QPainter>
#include <QString>
#include <QTextStream>

namespace {

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// True if every pixel of `image` outside `kept` has the colour of the top-left corner.
bool onlyBackgroundOutside(const QImage &image, const QRect &kept)
{
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!kept.contains(x, y) && image.pixel(x, y) != background)
                return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        err() << "Usage: kollavo_make_square_icon <input> <output> <size>" << Qt::endl;
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    bool sizeOk = false;
    const int size = QString::fromLocal8Bit(argv[3]).toInt(&sizeOk);
    if (!sizeOk || size <= 0) {
        err() << "Not a size: " << argv[3] << Qt::endl;
        return 2;
    }

    const QImage source(input);
    if (source.isNull()) {
        err() << "Cannot read " << input << Qt::endl;
        return 1;
    }

    const QPoint offset((size - source.width()) / 2, (size - source.height()) / 2);
    const QRect kept = QRect(0, 0, size, size).translated(-offset).intersected(source.rect());
    if (!onlyBackgroundOutside(source, kept)) {
        err() << input << " does not fit into " << size << " x " << size
              << " without cutting off part of the picture" << Qt::endl;
        return 1;
    }

    QImage square(size, size, QImage::Format_ARGB32);
    square.fill(Qt::transparent);
    {
        QPainter painter(&square);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(offset, source);
    }
    if (!square.save(output, "PNG")) {
        err() << "Cannot write " << output << Qt::endl;
        return 1;
    }
    return 0;
}
