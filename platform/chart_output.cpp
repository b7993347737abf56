// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_output.h"

#include "dialogs.h"
#include "safe_file.h"
#include "scratch_file.h"

#include <QBuffer>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPointer>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>
#include <new>
#include <optional>

namespace {

const QString PngFilter = QStringLiteral("PNG-Bild (*.png)");
const QString SvgFilter = QStringLiteral("SVG-Grafik (*.svg)");

QString noImage()
{
    return QStringLiteral("Das Bild konnte nicht erzeugt werden: Das Fenster hat keine Fläche, "
                          "oder der Arbeitsspeicher reicht nicht aus.");
}

QString cannotWrite(const QString &path, const QString &reason)
{
    return QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\r\n%2").arg(path, reason);
}

// Empty, or why the bytes could not be made.
QString pngBytes(QSize logicalSize, const ChartPainter &paint, QByteArray &bytes)
{
    QImage image = chartImage(logicalSize, paint);
    if (image.isNull())
        return noImage();
    // Twice the screen's 96 dpi, so that a word processor places it at its size on screen.
    const int dotsPerMeter = qRound(2 * 96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG") || bytes.isEmpty())
        return QStringLiteral("Das Bild konnte nicht in das PNG-Format umgewandelt werden.");
    return QString();
}

// QSvgGenerator writes no clipping at all: a bar's number wider than its bar, the gap a mark
// leaves for it and the lines of a chart's plot area would spill over. This engine clips what is
// drawn with it itself and hands the clipped shapes on to the SVG painter. Whatever lies wholly
// inside its clip goes on unchanged, so text stays text and lines stay lines.
class ClippingEngine final : public QPaintEngine
{
public:
    explicit ClippingEngine(QPainter &target) : QPaintEngine(AllFeatures), m_target(target) {}

    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    Type type() const override { return User; }

    void drawPath(const QPainterPath &path) override
    {
        follow();
        const QPainterPath *clip = clipPath();
        if (!clip || clip->contains(outline(path))) {
            m_target.drawPath(path);
            return;
        }
        if (m_target.brush().style() != Qt::NoBrush)
            fillClipped(path, m_target.brush(), *clip);
        if (m_target.pen().style() != Qt::NoPen) {
            QPainterPathStroker stroker(m_target.pen());
            // A cosmetic pen is one pixel wide at the chart's own scale.
            stroker.setWidth(std::max<qreal>(m_target.pen().widthF(), 1));
            fillClipped(stroker.createStroke(path), m_target.pen().brush(), *clip);
        }
    }

    void drawRects(const QRectF *rects, int count) override
    {
        for (const QRectF &r : QList<QRectF>(rects, rects + count)) {
            QPainterPath path;
            path.addRect(r);
            follow();
            const QPainterPath *clip = clipPath();
            if (!clip || clip->contains(outline(path)))
                m_target.drawRect(r);
            else
                drawPath(path);
        }
    }

    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        QPainterPath path;
        path.setFillRule(mode == WindingMode ? Qt::WindingFill : Qt::OddEvenFill);
        path.addPolygon(QPolygonF(QList<QPointF>(points, points + count)));
        if (mode != PolylineMode) {
            path.closeSubpath();
            drawPath(path);
            return;
        }
        follow();
        const QPainterPath *clip = clipPath();
        if (!clip || clip->contains(outline(path))) {
            m_target.drawPolyline(points, count);
            return;
        }
        m_target.setBrush(Qt::NoBrush);
        drawPath(path);
    }

    void drawPixmap(const QRectF &r, const QPixmap &pixmap, const QRectF &source) override
    {
        follow();
        const QPainterPath *clip = clipPath();
        if (!clip || clip->intersects(r))
            m_target.drawPixmap(r, pixmap, source);
    }

    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        follow();
        // Every property of the item's font counts: one it leaves unresolved would otherwise take
        // the target's default, and a bold axis title would turn normal.
        QFont font = item.font();
        font.setResolveMask(QFont::AllPropertiesResolved);
        m_target.setFont(font);
        const QPainterPath *clip = clipPath();
        QPainterPath glyphs;
        if (clip)
            glyphs.addText(p, item.font(), item.text());
        if (!clip || clip->contains(glyphs.boundingRect())) {
            m_target.drawText(p, item.text());
            return;
        }
        fillClipped(glyphs, m_target.pen().brush(), *clip);
    }

private:
    // The target takes the source painter's state before each shape.
    void follow()
    {
        const QPainter &source = *painter();
        m_target.setTransform(source.combinedTransform());
        m_target.setPen(source.pen());
        m_target.setBrush(source.brush());
        m_target.setBrushOrigin(source.brushOrigin());
        m_target.setFont(source.font());
        m_target.setOpacity(source.opacity());
        m_target.setRenderHints(source.renderHints());
        m_clip = source.hasClipping() ? std::optional(source.clipPath()) : std::nullopt;
    }
    const QPainterPath *clipPath() const { return m_clip ? &*m_clip : nullptr; }

    QRectF outline(const QPainterPath &path) const
    {
        const qreal pen = m_target.pen().style() == Qt::NoPen ? 0 : m_target.pen().widthF();
        const qreal margin = std::max<qreal>(pen, 1) / 2;
        return path.controlPointRect().adjusted(-margin, -margin, margin, margin);
    }

    void fillClipped(const QPainterPath &area, const QBrush &brush, const QPainterPath &clip)
    {
        const QPainterPath part = area.intersected(clip);
        if (part.isEmpty())
            return;
        m_target.save();
        m_target.setPen(Qt::NoPen);
        m_target.setBrush(brush);
        m_target.drawPath(part);
        m_target.restore();
    }

    QPainter &m_target;
    std::optional<QPainterPath> m_clip;
};

// A device with the metrics of `like` that paints through a ClippingEngine onto `target`.
class ClippingDevice final : public QPaintDevice
{
public:
    ClippingDevice(QPainter &target, const QPaintDevice &like) : m_engine(target), m_like(like) {}
    QPaintEngine *paintEngine() const override { return &m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return m_like.width();
        case PdmHeight: return m_like.height();
        case PdmWidthMM: return m_like.widthMM();
        case PdmHeightMM: return m_like.heightMM();
        case PdmNumColors: return m_like.colorCount();
        case PdmDepth: return m_like.depth();
        case PdmDpiX: return m_like.logicalDpiX();
        case PdmDpiY: return m_like.logicalDpiY();
        case PdmPhysicalDpiX: return m_like.physicalDpiX();
        case PdmPhysicalDpiY: return m_like.physicalDpiY();
        case PdmDevicePixelRatio: return qRound(m_like.devicePixelRatio());
        case PdmDevicePixelRatioScaled:
            return qRound(m_like.devicePixelRatioF() * devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable ClippingEngine m_engine;
    const QPaintDevice &m_like;
};

QString svgBytes(QSize logicalSize, const ChartPainter &paint, const QString &title,
                 QByteArray &bytes)
{
    if (logicalSize.isEmpty())
        return noImage();
    QBuffer buffer(&bytes);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(logicalSize);
    generator.setViewBox(QRect(QPoint(0, 0), logicalSize));
    // The screen's logical resolution, so that one SVG unit is one pixel of the window.
    generator.setResolution(96);
    generator.setTitle(title);
    QPainter svg;
    if (!svg.begin(&generator))
        return noImage();
    {
        ClippingDevice device(svg, generator);
        QPainter painter(&device);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter);
    }
    if (!svg.end() || bytes.isEmpty())
        return noImage();
    return QString();
}

// The title line at the top of the page and the chart below it, as large as the rest of the
// page allows with its proportions kept.
void paintPage(QPainter &painter, QPrinter &printer, const QString &titleLine,
               QSize logicalSize, const ChartPainter &paint)
{
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

} // namespace

QImage chartImage(QSize logicalSize, const ChartPainter &paint, qreal scale)
{
    // A window without area, or too little memory for the pixels, gives a null image; painting
    // on it would only warn.
    if (logicalSize.isEmpty())
        return QImage();
    QImage image(logicalSize * scale, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return QImage();
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter);
    return image;
}

void copyChart(Dialogs &dialogs, const QString &title, QSize logicalSize,
               const ChartPainter &paint)
{
    const QImage image = chartImage(logicalSize, paint);
    if (image.isNull()) {
        dialogs.messageBox(QStringLiteral("Das Bild wurde nicht kopiert.\r\n%1").arg(noImage()),
                           title, Dialogs::Icon::Warning);
        return;
    }
    QGuiApplication::clipboard()->setImage(image);
}

void saveChart(Dialogs &dialogs, const QObject *window, const QString &title, QSize logicalSize,
               const ChartPainter &paint, const QString &svgTitle)
{
    // The user may close the chart's window while the dialog is open.
    const QPointer<const QObject> chart(window);
    QString filter;
    const QString path = dialogs.saveFileName({PngFilter, SvgFilter}, &filter,
                                              QStringLiteral("png"));
    if (path.isEmpty() || (window && !chart))
        return;

    // A name typed with the other filter's suffix still chooses that format.
    bool svg = filter == SvgFilter;
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive))
        svg = true;
    else if (path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        svg = false;

    // Built whole in memory first, so a failed write can leave nothing half-drawn behind.
    QByteArray bytes;
    QString error;
    try {
        error = svg ? svgBytes(logicalSize, paint, svgTitle.isEmpty() ? title : svgTitle, bytes) : pngBytes(logicalSize, paint, bytes);
    } catch (const std::bad_alloc &) {
        error = noImage();
    }
    if (error.isEmpty()) {
        if (const auto written = writeFileSafely(path, bytes))
            error = *written;
    }
    if (!error.isEmpty())
        dialogs.messageBox(cannotWrite(path, error), title, Dialogs::Icon::Warning);
}

void printChart(Dialogs &dialogs, const QObject *window, const QString &titleLine,
                QSize logicalSize, const ChartPainter &paint)
{
    const QPointer<const QObject> chart(window);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(titleLine);
    if (!dialogs.printDialog(printer) || (window && !chart))
        return;
    const QString title = QGuiApplication::applicationName();
    const auto fail = [&](const QString &text) {
        dialogs.messageBox(text, title, Dialogs::Icon::Warning);
    };

    // A PDF is printed into a temporary file first, which then replaces the chosen one like
    // every file the program writes: the printer itself would cut the old file short before it
    // knows whether the new one fits.
    const QString target =
        printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
    ScratchFile pdf;
    if (!target.isEmpty()) {
        const QString scratch = pdf.name();
        if (scratch.isEmpty()) {
            fail(QStringLiteral("Der Druck konnte nicht begonnen werden."));
            return;
        }
        printer.setOutputFileName(scratch);
    }

    QPainter painter;
    if (!painter.begin(&printer)) {
        fail(QStringLiteral("Der Druck konnte nicht begonnen werden."));
        return;
    }
    paintPage(painter, printer, titleLine, logicalSize, paint);
    const QString unfinished = QStringLiteral("Der Druck konnte nicht abgeschlossen werden.");
    if (!painter.end() || printer.printerState() == QPrinter::Error) {
        fail(unfinished);
        return;
    }
    if (target.isEmpty())
        return;

    // A full temporary folder leaves a PDF without its end, which the printer does not notice.
    const QByteArray bytes = pdf.bytes();
    if (!bytes.startsWith("%PDF") || !bytes.trimmed().endsWith("%%EOF")) {
        fail(unfinished);
        return;
    }
    if (const auto error = writeFileSafely(target, bytes))
        fail(cannotWrite(target, *error));
}
