// SPDX-License-Identifier: GPL-3.0-or-later
#include "abs_haeufigkeiten.h"

#include "chart_accessibility.h"
#include "design_font.h"
#include "distribution.h"
#include "game.h"
#include "number_format.h"
#include "rounding.h"
#include "twips.h"
#include "worksheet_actions.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QMenu>
#include <QPainter>
#include <QPicture>
#include <QResizeEvent>

#include <algorithm>

namespace {

// Design, in pixels at 15 twips per pixel: client area 6330 × 4125 twips with its top-left corner
// at 8625, 1140 on the screen.
constexpr QRect ClientGeometry(575, 76, 422, 275);

// Bar 0 as designed: Left 600, Top 3480, 255 × 615 twips.
constexpr float BarLeft = 600;
constexpr float BarTop = 3480;
constexpr float BarWidth = 255;
constexpr float BarHeight = 615;
constexpr float LabelWidth = 615;
constexpr float LabelHeight = 255;
constexpr int GridLines = 16;
// A mark of an expected count is a line two pixels high in a white halo of one pixel, so that it
// reaches 3:1 against a bar of any shade and against the white background; blue, so that it is
// not taken for a grid line.
constexpr float MarkHeight = 4 * Twips::PerPixel;
const QColor MarkColour(0, 90, 220);
const QString MarkLegend = QStringLiteral("— erwartete Häufigkeit bei fairen Würfeln");

// Where a bar's number lies inside the window, as QLabel draws it: below the frame, indented
// by half an "x".
QRect barTextRect(const QLabel &bar, const QFont &font)
{
    const QRect r = bar.geometry();
    const int indent = QFontMetrics(font).horizontalAdvance(QLatin1Char('x')) / 2;
    return bar.contentsRect().translated(r.topLeft()).adjusted(0, indent, 0, 0);
}

// The room a bar's number takes, which a mark leaves free so that the number stays on top.
QRect barNumberRect(const QLabel &bar)
{
    const QFont font = bar.font();
    return QFontMetrics(font)
        .boundingRect(barTextRect(bar, font), static_cast<int>(bar.alignment()), bar.text())
        .intersected(bar.geometry())
        .adjusted(-1, 0, 1, 0);
}

// A mark drawn as the label shows it: the halo, the line inside it.
void paintMark(QPainter &painter, const QRect &r)
{
    painter.fillRect(r, Qt::white);
    painter.fillRect(r.adjusted(1, 1, -1, -1), MarkColour);
}



void setBarColour(QLabel &bar, int colourValue)
{
    // Bars left over beyond MaxSumme come out above 255; they have no height, so their shade is
    // never seen, but a colour needs a valid intensity.
    const QColor colour(std::min(colourValue, 255), 0, 0);
    QPalette palette = bar.palette();
    // Most passes keep a bar's shade; a new palette would repaint it for nothing.
    if (palette.color(QPalette::Window) == colour)
        return;
    palette.setColor(QPalette::Window, colour);
    bar.setPalette(palette);
}

} // namespace

namespace BarChart {

qint32 scaleMaximum(const Game &game)
{
    qint32 maximum = 0;
    for (int s = game.minSum(); s <= game.maxSum(); ++s)
        maximum = std::max<qint32>(maximum, game.count(s));
    return maximum == 0 ? 1 : maximum;
}

qint32 gridStep(qint32 maximum)
{
    const qint32 step = roundToInt(maximum / 10.0);
    return step == 0 ? 1 : step;
}

float barWidth(float chartWidth, float leftMargin, qint16 sums)
{
    const float room = static_cast<float>(static_cast<double>(chartWidth) - leftMargin);
    // A window narrower than the margin (or minimised to nothing) has no room for bars; they
    // collapse onto the margin instead of running left with negative widths.
    if (!(room > 0))
        return 0;
    return static_cast<float>(static_cast<double>(room) / sums);
}

float barLeft(int index, float barWidth, float leftMargin)
{
    return static_cast<float>(index * static_cast<double>(barWidth) + leftMargin);
}

float barHeight(qint16 count, qint32 maximum, float chartHeight)
{
    return static_cast<float>(static_cast<double>(count) / maximum * chartHeight * 0.9);
}

int colourValue(int summe, qint16 maxSumme)
{
    return roundToInt(static_cast<double>(summe) / maxSumme * 250);
}

float levelY(double value, qint32 maximum, float chartHeight)
{
    return static_cast<float>((1 - value / maximum * 0.9) * chartHeight);
}

} // namespace BarChart

AbsHaeufigkeiten::AbsHaeufigkeiten(const Game &game, Dialogs &dialogs)
    : m_game(game),
      m_dialogs(dialogs),
      m_absH(QStringLiteral("absH"), new QLabel(this)),
      m_niveau(QStringLiteral("Niveau"), new LineElement(this)),
      m_nzahl(QStringLiteral("NZahl"), new QLabel(this)),
      m_erwartung(QStringLiteral("Erwartung"), new QLabel(this))
{
    setObjectName(QStringLiteral("absHaeufigkeiten"));
    setWindowTitle(QStringLiteral("absolute Häufigkeiten"));
    setGeometry(ClientGeometry);
    setAutoFillBackground(true);
    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, Qt::white);
    // The grid values stand on this white whatever the desktop's colours.
    windowPalette.setColor(QPalette::WindowText, Qt::black);
    setPalette(windowPalette);
    setFont(designFont(8.25));

    QLabel &bar = m_absH[0];
    Twips::setLeft(bar, BarLeft);
    Twips::setTop(bar, BarTop);
    Twips::setWidth(bar, BarWidth);
    Twips::setHeight(bar, BarHeight);
    bar.setAutoFillBackground(true);
    QPalette barPalette = bar.palette();
    barPalette.setColor(QPalette::Window, QColor(255, 0, 0));
    barPalette.setColor(QPalette::WindowText, Qt::white);
    // A plain frame would take the (white) text colour; a shaded one with both shades black
    // gives the single black border.
    barPalette.setColor(QPalette::Light, Qt::black);
    barPalette.setColor(QPalette::Dark, Qt::black);
    bar.setPalette(barPalette);
    bar.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar.setLineWidth(1);
    bar.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    bar.setFont(designFont(9.75, true));

    QLabel &label = m_nzahl[0];
    Twips::setWidth(label, LabelWidth);
    Twips::setHeight(label, LabelHeight);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QLabel &mark = m_erwartung[0];
    mark.setVisible(false);
    // A border of the style sheet is filled, not stroked: at twice the resolution, in a file or
    // on a scaled screen, the halo keeps its share of the mark, where a frame line would thin.
    mark.setStyleSheet(QStringLiteral("QLabel { background-color: %1; border: 1px solid white; }")
                           .arg(MarkColour.name()));
    Twips::setHeight(mark, MarkHeight);

    // What the marks are, on screen too: a file gets its longer legend at the same place.
    m_legendeErwartet = new QLabel(this);
    m_legendeErwartet->setObjectName(QStringLiteral("LegendeErwartet"));
    m_legendeErwartet->setTextFormat(Qt::RichText);
    m_legendeErwartet->setText(QStringLiteral("<span style=\"color:%1\">▬</span> erwartet")
                                   .arg(MarkColour.name()));
    m_legendeErwartet->setStyleSheet(
        QStringLiteral("QLabel { background-color: white; color: black; padding: 1px 3px; }"));
    m_legendeErwartet->setToolTip(QStringLiteral("erwartete Häufigkeit bei fairen Würfeln"));
    m_legendeErwartet->setVisible(false);

    createActions();
    Form_Load();
    makeWalkable(*this);
}

void AbsHaeufigkeiten::createActions()
{
    // Actions and menu exist from the window's creation, so that they can be reached (and
    // triggered) before the menu has ever been opened.
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("Kontextmenue"));

    m_mErwartet = new QAction(QStringLiteral("Erwartete Häufigkeiten anzeigen"), this);
    m_mErwartet->setObjectName(QStringLiteral("MErwartet"));
    m_mErwartet->setCheckable(true);
    // The scale holds the expected counts only while they show: both ways a new layout pass.
    connect(m_mErwartet, &QAction::toggled, this, [this](bool on) {
        if (!on)
            hideMarks();
        Form_Resize();
    });
    m_menu->addAction(m_mErwartet);
    m_mEntwicklung = addTheoryActions(*m_menu, *this).entwicklung;
    m_menu->addSeparator();
    addWorksheetActions(*m_menu, *this, m_game, m_dialogs, [this] { return size(); },
                        [this](QPainter &painter) { paintChart(painter); });
}

void AbsHaeufigkeiten::contextMenuEvent(QContextMenuEvent *event)
{
    m_mEntwicklung->setData(event->reason() == QContextMenuEvent::Keyboard ? keyboardSum(*this)
                                                                            : sumAt(event->pos()));
    // Not exec(): the menu must not hold up the program (nor a test) while it is open.
    m_menu->popup(event->globalPos());
    event->accept();
}

int AbsHaeufigkeiten::sumAt(QPoint pos) const
{
    const qint16 minSumme = m_game.minSum();
    const int sums = m_game.maxSum() - minSumme + 1;
    // Bars beyond MaxSumme have no height, so they can never be under the pointer.
    for (int i = 0; i < std::min(sums, m_absH.count()); ++i) {
        const QLabel &bar = m_absH[i];
        if (bar.isVisibleTo(this) && bar.geometry().contains(pos))
            return minSumme + i;
    }
    return 0;
}

void AbsHaeufigkeiten::paintChart(QPainter &painter)
{
    // The window's own widgets, recorded at the screen's logical resolution. Played back, a
    // picture grows by the target's resolution over the screen's, fonts included, so the text keeps
    // its size against the bars; the painter already maps the chart onto its target, so that
    // growth is taken back. Rendering the widgets straight onto a printer would size the fonts for
    // the printer's dots instead.
    QPicture picture;
    {
        QPainter recorder(&picture);
        render(&recorder, QPoint(), QRegion(rect()), DrawWindowBackground | DrawChildren);
    }
    painter.save();
    painter.setClipRect(rect(), Qt::IntersectClip);
    if (const QPaintDevice *target = painter.device(); target && target->logicalDpiX() > 0) {
        painter.scale(qreal(picture.logicalDpiX()) / target->logicalDpiX(),
                      qreal(picture.logicalDpiY()) / target->logicalDpiY());
    }
    painter.drawPicture(0, 0, picture);
    painter.restore();

    painter.save();
    const bool marks = m_mErwartet->isChecked() && m_erwartung[0].isVisibleTo(this);
    if (marks) {
        // A file has no tooltip: what the marks mean, top right, on white over whatever lies
        // there.
        const QFont font = inScreenPixels(this->font());

        const QFontMetrics metrics(font);
        const int textWidth = metrics.horizontalAdvance(MarkLegend);
        const QRect box(width() - textWidth - 10, 2, textWidth + 8, metrics.height() + 4);
        painter.fillRect(box, Qt::white);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(box.adjusted(4, 2, -4, -2), Qt::AlignLeft | Qt::AlignVCenter, MarkLegend);
        // A mark over the dash, so that the legend shows the mark itself.
        const int dash = metrics.horizontalAdvance(QStringLiteral("—"));
        const int left = box.x() + 4;
        paintMark(painter, QRect(left, box.center().y() - 1, dash, 4));
    }
    painter.restore();
}

void AbsHaeufigkeiten::Form_Load()
{
    for (int k = 1; k < GridLines; ++k) {
        LineElement &line = m_niveau.create(k);
        QLabel &label = m_nzahl.create(k);
        line.setVisible(true);
        label.setVisible(true);
    }
    // The grid lies behind the bars; the bars made later start in front by themselves.
    m_absH[0].raise();
}

void AbsHaeufigkeiten::absH_Refresh()
{
    Form_Resize();
}

void AbsHaeufigkeiten::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Zoomed for a projector: the grid values get room for their larger text, and exactly their
    // design size back at 100 %.
    if (event->type() != QEvent::FontChange || !m_mErwartet)
        return;
    const qreal factor = font().pointSizeF() / designFont(8.25).pointSizeF();
    for (int k = 0; k < m_nzahl.count(); ++k) {
        QLabel &label = m_nzahl[k];
        Twips::setWidth(label, LabelWidth * static_cast<float>(factor));
        Twips::setHeight(label, LabelHeight * static_cast<float>(factor));
    }
    Form_Resize();
}

void AbsHaeufigkeiten::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void AbsHaeufigkeiten::Form_Resize()

{
    const qint16 minSumme = m_game.minSum();
    const qint16 maxSumme = m_game.maxSum();
    // Before the main window has set up a game there are no sums to count.
    if (minSumme < 1 || maxSumme > Austausch::HoechsteSumme || minSumme > maxSumme)
        return;

    const float w = Twips::fromPixels(width());
    const float h = Twips::fromPixels(height());
    qint32 maximum = BarChart::scaleMaximum(m_game);
    // While the marks show, the scale also holds the highest expected count, so that no mark
    // lies above the window: M′ = max(M, ⌈highest E⌉), counted in integers.
    if (m_mErwartet->isChecked() && m_game.isSetUp()) {
        const SumDistribution distribution(m_game.dice());
        const qint64 ways = distribution.ways(distribution.mostLikelySum());
        const qint64 outcomes = distribution.outcomes();
        const qint64 expected = (m_game.throws() * ways + outcomes - 1) / outcomes;
        maximum = static_cast<qint32>(std::max<qint64>(maximum, expected));
    }
    const qint32 step = BarChart::gridStep(maximum);
    const float margin = Twips::left(m_absH[0]);
    const auto sums = static_cast<qint16>(maxSumme - minSumme + 1);
    const float barWidth = BarChart::barWidth(w, margin, sums);

    // The bar stands on the bottom edge with the height it really got, not the one asked for.
    const auto place = [&](QLabel &bar, int index) {
        const qint16 count = m_game.count(minSumme + index);
        Twips::setLeft(bar, BarChart::barLeft(index, barWidth, margin));
        Twips::setWidth(bar, barWidth);
        Twips::setHeight(bar, BarChart::barHeight(count, maximum, h));
        Twips::setTop(bar, h - Twips::height(bar));
        return count;
    };

    const int existing = m_absH.count();
    for (int i = 0; i < existing; ++i) {
        QLabel &bar = m_absH[i];
        const qint16 count = place(bar, i);
        bar.setToolTip(QString::number(count));
        bar.setText(QString::number(minSumme + i));
        setBarColour(bar, BarChart::colourValue(minSumme + i, maxSumme));
    }
    // New bars keep bar 0's colour until the next pass colours them.
    for (int i = existing; i < sums; ++i) {
        QLabel &bar = m_absH.create(i);
        const qint16 count = place(bar, i);
        bar.setVisible(true);
        bar.setToolTip(QString::number(count));
        bar.setText(QString::number(minSumme + i));
    }

    for (int k = 0; k < GridLines; ++k) {
        const qint32 value = k * step;
        LineElement &line = m_niveau[k];
        line.setX1(0);
        line.setX2(w);
        line.setY1(BarChart::levelY(value, maximum, h));
        line.setY2(line.y1());
        QLabel &label = m_nzahl[k];
        Twips::setLeft(label, 0);
        Twips::setTop(label, line.y1());
        label.setText(QString::number(value));
    }

    if (m_mErwartet->isChecked()) {
        placeMarks(minSumme, maxSumme, maximum, h);
        // Top right, inside the box a file's legend covers.
        m_legendeErwartet->adjustSize();
        m_legendeErwartet->move(width() - m_legendeErwartet->width() - 2, 2);
        m_legendeErwartet->raise();
        m_legendeErwartet->setVisible(true);
    }
    announceChartChange(*this);
}

void AbsHaeufigkeiten::placeMarks(qint16 minSumme, qint16 maxSumme, qint32 maximum,
                                  float chartHeight)
{
    if (!m_game.isSetUp())
        return;
    const SumDistribution distribution(m_game.dice());
    const qint64 throws = m_game.throws();


    bool created = false;
    while (m_erwartung.count() < m_absH.count()) {
        m_erwartung.create(m_erwartung.count());
        created = true;
    }
    // Bars made after the marks would cover them.
    if (created) {
        for (int i = 0; i < m_erwartung.count(); ++i)
            m_erwartung[i].raise();
    }

    for (int i = 0; i < m_erwartung.count(); ++i) {
        QLabel &mark = m_erwartung[i];
        const int summe = minSumme + i;
        if (summe > maxSumme) {
            mark.setVisible(false);
            continue;
        }
        const QLabel &bar = m_absH[i];
        const float y =
            BarChart::levelY(distribution.expectedCount(summe, throws), maximum, chartHeight);
        Twips::setLeft(mark, Twips::left(bar));
        Twips::setWidth(mark, Twips::width(bar));
        // Centred on the level: half the mark above it, half below.
        Twips::setTop(mark, y - MarkHeight / 2);
        // The bar's number stays on top: the mark leaves a gap where it crosses it.
        const QRect number = barNumberRect(bar);
        if (number.intersects(mark.geometry()))
            mark.setMask(QRegion(mark.rect()).subtracted(QRegion(number.translated(-mark.pos()))));
        else
            mark.clearMask();
        mark.setToolTip(QStringLiteral("erwartet: ")
                        + NumberFormat::fraction(Int128(throws) * distribution.ways(summe),
                                                 distribution.outcomes(), NumberFormat::Expected));
        mark.setVisible(true);
    }
}

void AbsHaeufigkeiten::hideMarks()
{
    for (int i = 0; i < m_erwartung.count(); ++i)
        m_erwartung[i].setVisible(false);
    m_legendeErwartet->setVisible(false);
    announceChartChange(*this);
}
