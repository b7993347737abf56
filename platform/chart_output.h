// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>

class Dialogs;
class QObject;
class QPainter;

// Paints a chart in its logical coordinates (0, 0 to its logical size) with vector operations
// only, so that one function gives the image, the SVG file and the printout. Fonts are to be
// sized in pixels (QFont::setPixelSize): a point size would follow each device's resolution
// instead of the chart's scale.
using ChartPainter = std::function<void(QPainter &)>;

// The chart at `scale` times its logical size; the image carries that device pixel ratio. A null
// image when it cannot be made (no area, too little memory).
QImage chartImage(QSize logicalSize, const ChartPainter &paint, qreal scale = 2);

// The chart as an image into the clipboard, at twice the window's resolution. An image that
// cannot be made leaves the clipboard alone and is reported in a message box with `title`.
void copyChart(Dialogs &dialogs, const QString &title, QSize logicalSize,
               const ChartPainter &paint);

// Asks for a file name and saves the chart as PNG (twice the window's resolution, and saying so)
// or SVG, both titled `title`; a failure, an image that cannot be made included, is reported in a
// message box with `title` and writes nothing. Cancelling writes nothing. The name's suffix
// decides the format; the dialog adds the chosen filter's to a name without one.
//
// `window` is what `paint` draws from (null: nothing to watch). Deleted while the dialog is open,
// it is not painted: nothing is written. A non-empty `svgTitle` titles the SVG instead of `title`.
void saveChart(Dialogs &dialogs, const QObject *window, const QString &title, QSize logicalSize,
               const ChartPainter &paint, const QString &svgTitle = {});

// Shows the print dialog and prints `titleLine` at the top of the page and the chart below it,
// as large as the rest of the page allows with its proportions kept; the document carries
// `titleLine` as its title. A PDF replaces the chosen file only when it is complete; a failed
// print is reported in a message box. Nothing is printed when `window` (as for saveChart) was
// deleted while the dialog was open.
void printChart(Dialogs &dialogs, const QObject *window, const QString &titleLine,
                QSize logicalSize, const ChartPainter &paint);

