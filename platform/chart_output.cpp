// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_output.h"

#include "dialogs.h"
#include "safe_file.h"

#include <QBuffer>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>

namespace {

const QString PngFilter = QStringLiteral("PNG-Bild (*.png)");
const QString SvgFilter = QStringLiteral("SVG-Grafik (*.svg)");

QByteArray pngBytes(QSize logicalSize, const ChartPainter &paint)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    chartImage(logicalSize, paint).save(&buffer, "PNG");
    return bytes;
}

QByteArray svgBytes(QSize logicalSize, const ChartPainter &paint, const QString &title)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(logicalSize);
    generator.setViewBox(QRect(QPoint(0, 0), logicalSize));
    // The screen's logical resolution, so that one SVG unit is one pixel of the window.
    generator.setResolution(96);
    generator.setTitle(title);
    QPainter painter(&generator);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    painter.end();
    return bytes;
}

} // namespace

QImage chartImage(QSize logicalSize, const ChartPainter &paint, qreal scale)
{
    QImage image(logicalSize * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter);
    return image;
}

void copyChart(QSize logicalSize, const ChartPainter &paint)
{
    QGuiApplication::clipboard()->setImage(chartImage(logicalSize, paint));
}

void saveChart(Dialogs &dialogs, const QString &title, QSize logicalSize,
               const ChartPainter &paint)
{
    QString filter;
    QString path = dialogs.saveFileName({PngFilter, SvgFilter}, &filter);
    if (path.isEmpty())
        return;

    // The name's own suffix wins over the chosen filter; without one, the filter's is added.
    bool svg = filter == SvgFilter;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        svg = true;
    else if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        svg = false;
    else
        path += svg ? QStringLiteral(".svg") : QStringLiteral(".png");

    // Built whole in memory first, so a failed write can leave nothing half-drawn behind.
    const QByteArray bytes = svg ? svgBytes(logicalSize, paint, title) : pngBytes(logicalSize, paint);
    if (const auto error = writeFileSafely(path, bytes)) {
        dialogs.messageBox(
            QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\r\n%2").arg(path, *error),
            title, Dialogs::Icon::Warning);
    }
}

void printChart(Dialogs &dialogs, const QString &titleLine, QSize logicalSize,
                const ChartPainter &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    if (!dialogs.printDialog(printer))
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        dialogs.messageBox(QStringLiteral("Der Druck konnte nicht begonnen werden."),
                           QGuiApplication::applicationName(), Dialogs::Icon::Warning);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    // The printable part of the page, in the printer's pixels.
    const QRectF page(0, 0, printer.width(), printer.height());

    QFont font = painter.font();
    font.setPointSizeF(12);
    painter.setFont(font);
    const QFontMetricsF metrics(font, &printer);
    const QRectF titleRect(page.left(), page.top(), page.width(), metrics.height());
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, titleLine);

    // One blank line's height between the title and the chart.
    const QRectF area = page.adjusted(0, 2 * metrics.height(), 0, 0);
    if (logicalSize.isEmpty() || area.height() <= 0)
        return;
    const qreal scale = std::min(area.width() / logicalSize.width(),
                                 area.height() / logicalSize.height());
    painter.translate(area.left() + (area.width() - scale * logicalSize.width()) / 2, area.top());
    painter.scale(scale, scale);
    painter.setClipRect(QRect(QPoint(0, 0), logicalSize));
    paint(painter);
}

QString chartTitleLine(const QString &caption, int dice, qint64 throws, QDate date)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const QString throwWord = throws == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfe");
    return QStringLiteral("%1 – %2 Würfel – %3 %4 – %5")
        .arg(caption, german.toString(dice), german.toString(throws), throwWord,
             date.toString(QStringLiteral("dd.MM.yyyy")));
}
