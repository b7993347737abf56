// SPDX-License-Identifier: GPL-3.0-or-later
#include "zufallsgroesse_diagramm.h"

#include "design_font.h"
#include "focus_frame.h"
#include "number_format.h"
#include "zufallsgroesse_tabelle.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace RandomVariable;

namespace {

const QColor Observed(200, 30, 30);
const QColor Theory(20, 60, 160);

QFont chartFont()
{
    // In pixels: images and printouts scale the chart as a whole.
    return inScreenPixels(designFont(8.25));
}

// A step of 1, 2, 2,5 or 5 times a power of ten giving about five intervals up to `top`.
double gridStep(double top)
{
    const double raw = top / 5;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (factor * magnitude >= raw * (1 - 1e-9))
            return factor * magnitude;
    }
    return 10 * magnitude;
}

int decimalsFor(double step)
{
    int decimals = 0;
    while (decimals < 6 && std::abs(step * std::pow(10.0, decimals)
                                    - std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return decimals;
}

} // namespace

ZDiagramm::ZDiagramm(const ZufallsgroesseModel &model, QWidget *parent)
    : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("Diagramm"));
    setMinimumSize(360, 240);
    setFocusPolicy(Qt::StrongFocus);
    frameWhileFocused(*this);
}

void ZDiagramm::setTitle(const QString &title)
{
    m_title = title;
}

void ZDiagramm::refresh()
{
    m_current = std::clamp(m_current, 0, std::max(0, m_model.rowCount() - 1));
    update();
    placeBars();
    announce();
}

void ZDiagramm::resizeEvent(QResizeEvent *)
{
    placeBars();
}

void ZDiagramm::placeBars()
{
    const int rows = m_model.rowCount();
    // A hidden element would still be read as one of the chart's.
    while (m_bars.size() > rows)
        delete m_bars.takeLast();
    while (m_bars.size() < rows) {
        auto *bar = new QWidget(this);
        bar->setObjectName(QStringLiteral("ZBalken"));
        bar->setProperty("Index", static_cast<int>(m_bars.size()));
        bar->setAttribute(Qt::WA_TransparentForMouseEvents);
        bar->setFocusPolicy(Qt::NoFocus);
        bar->show();
        m_bars.append(bar);
    }
    const QRectF plot = plotArea(size());
    const double slot = rows > 0 ? plot.width() / rows : 0;
    for (int row = 0; row < rows; ++row) {
        QWidget *bar = m_bars[row];
        bar->setGeometry(QRectF(plot.left() + row * slot, plot.top(), slot, plot.height())
                             .toAlignedRect());
        const QString text = barText(row);
        if (bar->accessibleName() != text)
            bar->setAccessibleName(text);
    }
}

QString ZDiagramm::barText(int row) const
{
    if (row < 0 || row >= m_model.rowCount())
        return {};
    const QLocale &german = NumberFormat::german();
    const QString value = m_model.text(row, ZufallsgroesseModel::Wert, german);
    const QString observed =
        m_model.throws() == 0
            ? QStringLiteral("noch keine Würfe")
            : QStringLiteral("relative Häufigkeit %1 (%2 von %3 Würfen)")
                  .arg(m_model.text(row, ZufallsgroesseModel::Relativ, german),
                       NumberFormat::integer(m_model.count(row)),
                       NumberFormat::integer(m_model.throws()));
    return QStringLiteral("%1 %2: %3, Wahrscheinlichkeit %4")
        .arg(isEvent(m_model.groesse()) ? QString() : QStringLiteral("Wert"), value, observed,
             m_model.text(row, ZufallsgroesseModel::Bruch, german))
        .trimmed();
}

void ZDiagramm::announce()
{
    // The focused chart's name is what a screen reader speaks when it changes: the bar under
    // the keyboard with its values; the description says what the chart shows. Both tell
    // assistive technology of a change themselves.
    setAccessibleName(barText(m_current));
    setAccessibleDescription(m_title);
}

void ZDiagramm::keyPressEvent(QKeyEvent *event)
{
    const int last = m_model.rowCount() - 1;
    int next = m_current;
    switch (event->key()) {
    case Qt::Key_Left: next = m_current - 1; break;
    case Qt::Key_Right: next = m_current + 1; break;
    case Qt::Key_Home: next = 0; break;
    case Qt::Key_End: next = last; break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    m_current = std::clamp(next, 0, std::max(0, last));
    update();
    announce();
    if (m_current < m_bars.size())
        tellElementFocused(*m_bars[m_current]);
}

void ZDiagramm::paintEvent(QPaintEvent *)
{
    // Bars and grid are upright rectangles and level lines: nothing to smooth.
    QPainter painter(this);
    paintChart(painter, size());
    if (hasFocus() && m_model.rowCount() > 0) {
        // The bar under the keyboard, framed as the chart's focus frame is.
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        const QRectF plot = plotArea(size());
        const double slot = plot.width() / m_model.rowCount();
        // Around the bars and their value's label.
        const double label = QFontMetricsF(chartFont()).height() + 4;
        painter.drawRect(QRectF(plot.left() + m_current * slot + 1, plot.top(), slot - 2,
                                plot.height() + label));
    }
}

QRectF ZDiagramm::plotArea(QSizeF size)
{
    // Below the title line and a gap, above the values' labels and the legend; the grid's
    // labels to the left.
    const double line = QFontMetricsF(chartFont()).height();
    constexpr double Left = 48;
    return QRectF(Left, 4 + 2 * line, size.width() - Left - 8, size.height() - 5.5 * line - 12);
}

void ZDiagramm::paintChart(QPainter &painter, QSizeF size) const
{
    painter.save();
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    const QFont font = chartFont();
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const double line = metrics.height();

    // Title, plot, value labels, legend, top to bottom; the grid's labels at the left.
    const QRectF titleRect(0, 4, size.width(), line);
    painter.setPen(Qt::black);
    painter.drawText(titleRect, Qt::AlignCenter, m_title);

    const int rows = m_model.rowCount();
    double top = 0;
    for (int row = 0; row < rows; ++row)
        top = std::max({top, m_model.share(row), m_model.probability(row)});
    if (top <= 0)
        top = 1;
    const double step = gridStep(top);
    const double axisTop = std::ceil(top / step - 1e-9) * step;
    const int decimals = decimalsFor(step);

    const QRectF plot = plotArea(size);
    const double left = plot.left();
    if (plot.height() <= 0 || plot.width() <= 0) {
        painter.restore();
        return;
    }
    const auto yOf = [&](double v) { return plot.bottom() - v / axisTop * plot.height(); };

    painter.setPen(QPen(QColor(200, 200, 200), 1));
    for (int i = 0; i * step <= axisTop * (1 + 1e-9); ++i) {
        const double y = yOf(i * step);
        painter.setPen(QPen(QColor(200, 200, 200), 1));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - line / 2, left - 6, line), Qt::AlignRight | Qt::AlignVCenter,
                         NumberFormat::german().toString(i * step, 'f', decimals));
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(plot.bottomLeft(), plot.bottomRight());

    if (rows > 0) {
        const double slot = plot.width() / rows;
        const double bar = std::min(slot * 0.38, 40.0);
        // Every value's label where there is room, else every second, third … (36 sums).
        double widest = 0;
        for (int row = 0; row < rows; ++row)
            widest = std::max(widest, metrics.horizontalAdvance(m_model.text(
                                          row, ZufallsgroesseModel::Wert, NumberFormat::german())));
        const int labelEvery = std::max(1, static_cast<int>(std::ceil((widest + 6) / slot)));
        for (int row = 0; row < rows; ++row) {
            const double centre = plot.left() + (row + 0.5) * slot;
            const double observed = m_model.share(row);
            const double theory = m_model.probability(row);
            painter.fillRect(QRectF(QPointF(centre - bar, yOf(observed)),
                                    QPointF(centre, plot.bottom())),
                             Observed);
            painter.fillRect(QRectF(QPointF(centre, yOf(theory)),
                                    QPointF(centre + bar, plot.bottom())),
                             Theory);
            if (row % labelEvery != 0)
                continue;
            painter.setPen(Qt::black);
            painter.drawText(QRectF(centre - slot * labelEvery / 2.0, plot.bottom() + 2,
                                    slot * labelEvery, line),
                             Qt::AlignCenter,
                             m_model.text(row, ZufallsgroesseModel::Wert, NumberFormat::german()));
        }
    }

    // The legend, centred in one line below the values.
    const QString observedText = QStringLiteral("relative Häufigkeit");
    const QString theoryText = QStringLiteral("Wahrscheinlichkeit bei fairen Würfeln");
    const double box = line * 0.7;
    const double gap = line;
    const double width = 2 * (box + 4) + metrics.horizontalAdvance(observedText)
        + metrics.horizontalAdvance(theoryText) + gap;
    double x = (size.width() - width) / 2;
    const double y = plot.bottom() + 2 * line;
    for (const auto &[colour, text] :
         {std::pair(Observed, observedText), std::pair(Theory, theoryText)}) {
        painter.fillRect(QRectF(x, y + (line - box) / 2, box, box), colour);
        x += box + 4;
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x, y, metrics.horizontalAdvance(text) + 2, line),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        x += metrics.horizontalAdvance(text) + gap;
    }
    painter.restore();
}
