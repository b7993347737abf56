// SPDX-License-Identifier: GPL-3.0-or-later
#include "rel_haeufigkeiten.h"

#include "chart_accessibility.h"
#include "design_font.h"
#include "distribution.h"
#include "game.h"
#include "number_format.h"
#include "rounding.h"
#include "worksheet_actions.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDate>
#include <QFontInfo>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>


#include <algorithm>
#include <cmath>

namespace {

// Design, in pixels at 15 twips per pixel: client area 3960 × 3840 twips whose top-left corner
// is at 9495, 7695 on the screen; the label template 255 × 255 at 2400, 2400.
constexpr QRect DesignGeometry(633, 513, 264, 256);
constexpr QRect LabelTemplate(160, 160, 17, 17);
constexpr double LabelPointSize = 8.25;

// Deliberately not the full-precision 2π: the end points are rounded one after the other, and
// another constant moves them.
constexpr double ZweiPi = 6.28318530717958;
// A wedge narrower than this (radians) is left out, and so is its label.
constexpr double KleinsterWinkel = 0.01;

} // namespace

ErgebnisPosition ergebnisPosition(float cx, int cy, double phi, int width, int height)
{
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    // Distance from the centre to the ellipse along the middle direction. Taking the same
    // parameter on both half-axes instead would drift off the wedge when the area is not square.
    // On a circle it is exactly cy, so a square chart does not hang on sin² + cos² being 1.
    double radius = 0;
    if (double(cx) == double(cy))
        radius = cy;
    else if (cx > 0 && cy > 0)
        radius = double(cx) * cy / std::hypot(cy * s, double(cx) * c);
    const double left = roundHalfEven(cx - radius / 2 * s) - width / 2.0;
    const double top = cy - radius / 2 * c - height / 2.0;
    return {static_cast<float>(left), static_cast<float>(top)};
}

RelHaeufigkeiten::RelHaeufigkeiten(const Game &game, Dialogs &dialogs, PieFunction pie)
    : m_game(game),
      m_dialogs(dialogs),
      m_pie(std::move(pie)),
      m_ergebnis(QStringLiteral("Ergebnis"), new QLabel(this))
{
    setObjectName(QStringLiteral("relHaeufigkeiten"));
    setWindowTitle(QStringLiteral("relative Häufigkeiten"));
    setGeometry(DesignGeometry);

    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    // paintEvent covers every pixel from the surface.
    setAttribute(Qt::WA_OpaquePaintEvent);

    QLabel &vorlage = m_ergebnis[0];
    vorlage.setGeometry(LabelTemplate);
    QFont font = vorlage.font();
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(LabelPointSize);
    font.setWeight(QFont::Bold);
    vorlage.setFont(font);
    QPalette text = vorlage.palette();
    text.setColor(QPalette::WindowText, Qt::white);
    vorlage.setPalette(text);
    vorlage.setAutoFillBackground(false); // the number stands directly on its wedge
    vorlage.setFrameStyle(QFrame::NoFrame);
    vorlage.setMargin(0);
    vorlage.setIndent(0);
    vorlage.setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Form_Load();
    createMenu();
    makeWalkable(*this);
}

void RelHaeufigkeiten::createMenu()
{
    m_menu = new QMenu(this);
    m_mEntwicklung = addTheoryActions(*m_menu, *this).entwicklung;
    m_menu->addSeparator();
    addWorksheetActions(*m_menu, *this, m_game, m_dialogs, [this] { return size(); },
                        [this](QPainter &painter) { paintChart(painter); });
}

int RelHaeufigkeiten::sumAt(QPoint position) const
{
    return wedgeAt(m_layout, QPointF(position) + QPointF(0.5, 0.5));
}

void RelHaeufigkeiten::contextMenuEvent(QContextMenuEvent *event)
{
    m_mEntwicklung->setData(event->reason() == QContextMenuEvent::Keyboard ? keyboardSum(*this)
                                                                            : sumAt(event->pos()));
    // popup(), not exec(): the window keeps running its redraws while the menu is open.
    m_menu->popup(event->globalPos());
    event->accept();
}

void RelHaeufigkeiten::showToolTip(QHelpEvent &event)
{
    const qint64 total = m_game.throws();
    const int summe = total > 0 ? wedgeAt(m_layout, QPointF(event.pos()) + QPointF(0.5, 0.5)) : 0;
    if (summe == 0) {
        QToolTip::hideText();
        event.ignore();
        return;
    }
    const QString text =
        wedgeToolTip(summe, m_game.count(summe), total, m_game.dice());
    QToolTip::showText(event.globalPos(), text, this);
}

void RelHaeufigkeiten::drawWedges(QPainter &painter) const
{
    if (painter.isActive())
        painter.setPen(QPen(Qt::white, 1));
    for (const PieWedge &wedge : m_layout.wedges) {
        if (painter.isActive())
            painter.setBrush(wedge.colour);
        if (wedge.drawn)
            m_pie(painter, 0, 0, m_layout.right, m_layout.bottom, wedge.from.x(), wedge.from.y(),
                  wedge.to.x(), wedge.to.y());
    }
}

QPainterPath RelHaeufigkeiten::sumOutline(int summe) const
{
    QPainterPath path;
    const PieLayout layout = pieLayout(m_game, scaleWidth(), scaleHeight());
    for (const PieWedge &wedge : layout.wedges) {
        if (wedge.summe != summe)
            continue;
        if (wedge.drawn)
            return wedgePath(layout, wedge);
        const QPointF centre(layout.cx - std::sin(wedge.phi) * layout.cx / 2,
                             layout.cy - std::cos(wedge.phi) * layout.cy / 2);
        path.addEllipse(centre, 6, 6);
        return path;
    }
    return path;
}

void RelHaeufigkeiten::paintChart(QPainter &painter) const
{
    painter.save();
    painter.fillRect(rect(), Qt::white);
    drawWedges(painter);
    for (const PieWedge &wedge : m_layout.wedges) {
        const QLabel &label = m_ergebnis[wedge.summe];
        if (label.isHidden())
            continue;
        painter.setFont(inScreenPixels(label.font()));

        painter.setPen(label.palette().color(QPalette::WindowText));
        painter.drawText(QRectF(label.geometry()), Qt::AlignLeft | Qt::AlignTop, label.text());
    }
    painter.restore();
}

void RelHaeufigkeiten::Form_Load()
{
    for (int i = 1; i <= Austausch::HoechsteSumme; ++i)
        m_ergebnis.create(i).setText(QString::number(i));
}

void RelHaeufigkeiten::relH_Refresh()
{
    Form_Resize();
}

void RelHaeufigkeiten::showReachableSums()
{
    for (int i = 0; i < m_ergebnis.count(); ++i)
        m_ergebnis[i].setVisible(false);
    for (int s = m_game.minSum(); s <= m_game.maxSum(); ++s)
        m_ergebnis[s].setVisible(true);
}

void RelHaeufigkeiten::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

PieLayout pieLayout(const Game &game, float scaleWidth, float scaleHeight)
{
    PieLayout layout;
    const float cx = scaleWidth / 2.0f;
    const int cy = roundToInt(scaleHeight / 2.0f);
    layout.cx = cx;
    layout.cy = cy;
    layout.right = roundToInt(scaleWidth);
    layout.bottom = roundToInt(scaleHeight);
    // The first wedge starts straight above the centre, at 12 o'clock.
    double px = cx;
    double py = cy / 2.0;

    // Read once: the range cannot change during a redraw. Before the main window has set up the
    // game (all 0) there is no sum to draw.
    const int maxSummeWert = game.maxSum();
    const int minSumme = std::max<int>(game.minSum(), 1);
    const int maxSumme = std::min<int>(maxSummeWert, Austausch::HoechsteSumme);

    // At most 42 × 32767 throws, so the count fits the 32 bits the chart computes in.
    qint32 total = minSumme <= maxSumme ? static_cast<qint32>(game.throws()) : 0;
    if (total == 0)
        total = 1;

    double acc = 0;
    for (int s = minSumme; s <= maxSumme; ++s) {
        PieWedge wedge;
        wedge.summe = s;
        const qint16 helligkeit = static_cast<qint16>(s * 250);
        wedge.colour = QColor(roundToInt(helligkeit / double(maxSummeWert)), 0, 0);

        const double a = game.count(s) * ZweiPi / total;
        // P turned counter-clockwise on the screen by a about the centre; rounding each end point
        // before it starts the next wedge is what chains the wedges.
        const double cosA = std::cos(a);
        const double sinA = std::sin(a);
        wedge.from = QPoint(roundToInt(px), roundToInt(py));
        wedge.to = QPoint(roundToInt(cx + (px - cx) * cosA - (cy - py) * sinA),
                          roundToInt(cy - (px - cx) * sinA - (cy - py) * cosA));

        // End points that round onto each other make Pie draw the whole ellipse. That is right
        // for a sum holding (nearly) every throw, but in a small window a thin wedge can do it
        // too, and would then paint over all the wedges before it. (Without any height every
        // point is the centre and nothing can be drawn; those calls stay as they are.)
        const bool endsMeet = cy > 0 && wedge.to == wedge.from;
        wedge.drawn = a > KleinsterWinkel && !(endsMeet && a <= ZweiPi / 2);

        wedge.phi = a / 2 + acc;
        acc += a;

        // Also when nothing was drawn, so the wedges after a left-out one keep their places.
        px = wedge.to.x();
        py = wedge.to.y();
        layout.wedges.append(wedge);
    }
    return layout;
}

QPainterPath wedgePath(const PieLayout &layout, const PieWedge &wedge)
{
    return piePath(0, 0, layout.right, layout.bottom, wedge.from.x(), wedge.from.y(),
                   wedge.to.x(), wedge.to.y());
}

int wedgeAt(const PieLayout &layout, QPointF point)
{
    for (auto wedge = layout.wedges.crbegin(); wedge != layout.wedges.crend(); ++wedge) {
        if (wedge->drawn && wedgePath(layout, *wedge).contains(point))
            return wedge->summe;
    }
    return 0;
}

QString wedgeToolTip(int summe, qint64 count, qint64 total, int dice)
{
    using namespace NumberFormat;
    const SumDistribution distribution(dice);
    return QStringLiteral("%1 %2: %3 von %4 %5 = %6 (Wahrscheinlichkeit %7)")
        .arg(dice == 1 ? QStringLiteral("Augenzahl") : QStringLiteral("Augensumme"),
             integer(summe), integer(count), integer(total),
             total == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfen"),
             percent(count, total, Percent),
             percent(distribution.ways(summe), distribution.outcomes(), Percent));
}

void RelHaeufigkeiten::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Zoomed for a projector: the numbers on the wedges get room for their larger text, and
    // exactly their design size back at 100 %.
    if (event->type() != QEvent::FontChange || m_ergebnis.count() == 0)
        return;
    const qreal factor =
        QFontInfo(font()).pointSizeF() / QFontInfo(QApplication::font()).pointSizeF();
    const QSize size = (QSizeF(LabelTemplate.size()) * factor).toSize();
    for (int i = 0; i < m_ergebnis.count(); ++i)
        m_ergebnis[i].resize(size);
    Form_Resize();
}

void RelHaeufigkeiten::Form_Resize()
{
    Cls();
    QPainter painter;
    beginDrawing(painter);

    m_layout = pieLayout(m_game, scaleWidth(), scaleHeight());
    drawWedges(painter);
    // The surface keeps the last wedge's colour as its fill colour.
    if (!m_layout.wedges.isEmpty())
        setFillColor(painter, m_layout.wedges.constLast().colour);
    for (const PieWedge &wedge : std::as_const(m_layout.wedges)) {
        QLabel &label = m_ergebnis[wedge.summe];
        label.setVisible(wedge.drawn);
        const ErgebnisPosition position =
            ergebnisPosition(m_layout.cx, m_layout.cy, wedge.phi, label.width(), label.height());
        label.move(roundToInt(position.left), roundToInt(position.top));
    }

    if (painter.isActive())
        painter.end();
    Refresh();
    announceChartChange(*this);
}

void RelHaeufigkeiten::Cls()
{
    // The surface has the screen's device pixels, so wedges stay sharp on a scaled screen; the
    // painter on it still works in the window's logical pixels.
    const QSize client = size();
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (QSizeF(client) * ratio).toSize();
    if (m_surface.size() != pixels || m_surface.devicePixelRatio() != ratio) {
        m_surface = client.isEmpty() ? QImage() : QImage(pixels, QImage::Format_RGB32);
        m_surface.setDevicePixelRatio(ratio);
    }
    m_surface.fill(Qt::white);
}

void RelHaeufigkeiten::beginDrawing(QPainter &painter)
{
    // A client area without pixels has no surface to paint on; Pie draws nothing into an empty
    // rectangle, so the painter may stay inactive then.
    if (m_surface.isNull())
        return;
    painter.begin(&m_surface);
    // Aliased on an unscaled screen, so every wedge is exactly its colour and the outline stays
    // a hairline; with more device pixels than logical ones the edges can afford to be smooth.
    if (m_surface.devicePixelRatio() > 1)
        painter.setRenderHint(QPainter::Antialiasing);
    // White outlines as the wedges have, also for the click's ellipse.
    painter.setPen(QPen(Qt::white, 1));
    painter.setBrush(m_fillColor);
}

void RelHaeufigkeiten::setFillColor(QPainter &painter, const QColor &colour)
{
    m_fillColor = colour;
    if (painter.isActive())
        painter.setBrush(colour);
}

void RelHaeufigkeiten::Refresh()
{
    update();
}

void RelHaeufigkeiten::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    painter.fillRect(dirty, Qt::white);
    // The source rectangle counts the surface's own, device pixels.
    const qreal ratio = m_surface.devicePixelRatio();
    const QRectF source(dirty.x() * ratio, dirty.y() * ratio, dirty.width() * ratio,
                        dirty.height() * ratio);
    painter.drawImage(QRectF(dirty), m_surface, source);
}

bool RelHaeufigkeiten::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        showToolTip(static_cast<QHelpEvent &>(*event));
        return true;
    }
    return QWidget::event(event);
}

void RelHaeufigkeiten::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Only a shown window has a window of the window system, whose screen can change.
    if (QWindow *window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &RelHaeufigkeiten::followScreen,
                Qt::UniqueConnection);
    }
}

void RelHaeufigkeiten::followScreen()
{
    // On a screen with another device pixel ratio the surface is drawn anew at the new ratio.
    if (m_surface.devicePixelRatio() != devicePixelRatioF())
        Form_Resize();
}

void RelHaeufigkeiten::mousePressEvent(QMouseEvent *event)
{
    // A press on a label reaches the window because labels ignore it; it is no click on the form.
    m_clickPressed = event->button() == Qt::LeftButton
                     && childAt(event->position().toPoint()) == nullptr;
    event->accept();
}

void RelHaeufigkeiten::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_clickPressed && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_clickPressed = false;
    event->accept();
    if (click)
        Form_Click();
}

void RelHaeufigkeiten::Form_Click()
{
    // Both radial points at the corner: the whole ellipse in the current fill colour. No
    // Refresh: it reaches the screen with the next repaint, and the next redraw clears it.
    QPainter painter;
    beginDrawing(painter);
    m_pie(painter, 0, 0, roundToInt(scaleWidth()), roundToInt(scaleHeight()), 0, 0, 0, 0);
}

