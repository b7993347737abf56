// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_accessibility.h"

#include "abs_haeufigkeiten.h"
#include "austausch.h"
#include "auswertung.h"
#include "distribution.h"
#include "entwicklung.h"
#include "rel_haeufigkeiten.h"
#include "verlauf.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QChartView>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <tuple>

namespace {

const QLocale &german()
{
    static const QLocale locale(QLocale::German, QLocale::Germany);
    return locale;
}

QString throwsText(qint64 n)
{
    return SpokenNumber::count(n) + (n == 1 ? QStringLiteral(" Wurf") : QStringLiteral(" Würfe"));
}

std::optional<SumDistribution> currentDistribution()
{
    if (Austausch::Anzahl < 1 || Austausch::Anzahl > 7)
        return std::nullopt;
    return SumDistribution(Austausch::Anzahl);
}

QList<QWidget *> childWidgets(const QWidget &parent)
{
    QList<QWidget *> widgets;
    for (QObject *child : parent.children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !widget->isWindow())
            widgets.append(widget);
    }
    return widgets;
}

int indexOf(const QWidget &element)
{
    return element.property("Index").toInt();
}

// Top to bottom, and left to right within a line: the order of creation is the order of
// painting, not of reading. What is hidden has no place on the screen and comes last.
QList<QWidget *> readingOrder(const QWidget &parent)
{
    QList<QWidget *> widgets = childWidgets(parent);
    std::stable_sort(widgets.begin(), widgets.end(), [](const QWidget *a, const QWidget *b) {
        return std::tuple(a->isHidden(), a->geometry().center().y(), a->x())
               < std::tuple(b->isHidden(), b->geometry().center().y(), b->x());
    });

    return widgets;
}

// The bars from the lowest sum up, then the grid values from the top; the marks of the
// expected counts are told with their bars.
QList<QWidget *> barChartOrder(const QWidget &chart)
{
    QList<QWidget *> widgets = childWidgets(chart);
    const auto rank = [](const QWidget *w) {
        const QString name = w->objectName();
        if (name == QLatin1StringView("absH"))
            return std::pair(0, indexOf(*w));
        if (name == QLatin1StringView("NZahl"))
            return std::pair(1, -indexOf(*w));
        if (name == QLatin1StringView("Niveau"))
            return std::pair(2, indexOf(*w));
        return std::pair(name == QLatin1StringView("Erwartung") ? 4 : 3, 0);
    };
    widgets.removeIf([&rank](const QWidget *w) { return rank(w).first == 4; });
    std::stable_sort(widgets.begin(), widgets.end(),
                     [&rank](const QWidget *a, const QWidget *b) { return rank(a) < rank(b); });
    const int sums = Austausch::MaxSumme - Austausch::MinSumme + 1;
    widgets.removeIf([sums](const QWidget *w) {
        return w->objectName() == QLatin1StringView("absH") && indexOf(*w) >= sums;
    });
    return widgets;
}

// One child per reachable sum: its label, which stands on its wedge.
QList<QWidget *> pieOrder(const QWidget &pie)
{
    QList<QWidget *> labels;
    for (QWidget *w : childWidgets(pie)) {
        const int summe = indexOf(*w);
        if (w->objectName() == QLatin1StringView("Ergebnis") && summe >= Austausch::MinSumme
            && summe <= Austausch::MaxSumme && summe >= 1)
            labels.append(w);
    }
    std::sort(labels.begin(), labels.end(),
              [](const QWidget *a, const QWidget *b) { return indexOf(*a) < indexOf(*b); });
    return labels;
}

using ChildOrder = QList<QWidget *> (*)(const QWidget &);

// A window or a group whose children are read in an order of its own.
class Container : public QAccessibleWidget
{
public:
    Container(QWidget *widget, QAccessible::Role role, ChildOrder order)
        : QAccessibleWidget(widget, role), m_order(order)
    {
    }

    int childCount() const override { return static_cast<int>(m_order(*widget()).size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> children = m_order(*widget());
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        auto *const element = static_cast<QWidget *>(child->object());
        return static_cast<int>(m_order(*widget()).indexOf(element));
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name) {
            if (auto *group = qobject_cast<QGroupBox *>(widget()))
                return group->title();
        }
        return QAccessibleWidget::text(t);
    }

private:
    ChildOrder m_order;
};

// An element whose name and description follow the game; it remembers what it last told, so
// that a redraw reports only real changes.
class ChartElement : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return name();
        if (t == QAccessible::Description)
            return description();
        return QAccessibleWidget::text(t);
    }

    void remember()
    {
        m_name = name();
        m_description = description();
    }

    void announceChange()
    {
        const QString n = name();
        const QString d = description();
        if (n != m_name) {
            m_name = n;
            QAccessibleEvent event(widget(), QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (d != m_description) {
            m_description = d;
            QAccessibleEvent event(widget(), QAccessible::DescriptionChanged);
            QAccessible::updateAccessibility(&event);
        }
    }

protected:
    virtual QString name() const = 0;
    virtual QString description() const = 0;

private:
    QString m_name;
    QString m_description;
};

// A child of the bar chart or the pie. Interfaces are made as soon as anything asks, which can
// be before an element has its name, so what it is is looked up on every question.
class ChartChild : public ChartElement
{
public:
    explicit ChartChild(QWidget *element) : ChartElement(element, QAccessible::Graphic) {}

    QAccessible::Role role() const override
    {
        switch (kind()) {
        case Kind::GridValue:
            return QAccessible::StaticText;
        case Kind::GridLine:
            return QAccessible::Separator;
        default:
            return QAccessible::Graphic;
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = ChartElement::state();
        const QWidget *w = widget();
        switch (kind()) {
        case Kind::Bar:
            // Bars left over from a game with more dice have no height.
            s.invisible = s.invisible || summe() > Austausch::MaxSumme;
            break;
        case Kind::Wedge:
            // A wedge too thin to carry its label still stands for its sum.
            s.invisible = !w->window()->isVisible();
            break;
        case Kind::GridValue:
        case Kind::GridLine:
            if (!w->parentWidget()->rect().intersects(w->geometry())) {
                s.invisible = true;
                s.offscreen = true;
            }
            break;
        case Kind::Mark:
            // Told with its bar.
            s.invisible = true;
            break;
        case Kind::Other:
            break;
        }
        return s;
    }

protected:
    enum class Kind { Bar, Wedge, GridValue, GridLine, Mark, Other };

    Kind kind() const
    {
        const QString name = widget()->objectName();
        if (name == QLatin1StringView("absH"))
            return Kind::Bar;
        if (name == QLatin1StringView("Ergebnis"))
            return Kind::Wedge;
        if (name == QLatin1StringView("NZahl"))
            return Kind::GridValue;
        if (name == QLatin1StringView("Niveau"))
            return Kind::GridLine;
        if (name == QLatin1StringView("Erwartung"))
            return Kind::Mark;
        return Kind::Other;
    }

    int summe() const
    {
        return kind() == Kind::Bar ? Austausch::MinSumme + indexOf(*widget()) : indexOf(*widget());
    }

    QString name() const override
    {
        switch (kind()) {
        case Kind::Bar:
        case Kind::Wedge:
            return QStringLiteral("Augensumme %1").arg(summe());
        default:
            if (auto *label = qobject_cast<QLabel *>(widget()))
                return label->text();
            return {};
        }
    }

    QString description() const override
    {
        const int s = summe();
        const auto distribution = currentDistribution();
        if (!distribution || s < distribution->minSum() || s > distribution->maxSum())
            return {};
        const qint64 count = Austausch::Haeufigkeit[s];
        const qint64 total = Austausch::totalCount();
        if (kind() == Kind::Bar) {
            QString text = throwsText(count);
            const auto *marks = widget()->parentWidget()->findChild<QAction *>(
                QStringLiteral("MErwartet"), Qt::FindDirectChildrenOnly);
            if (marks && marks->isChecked())
                text += QStringLiteral("; erwartet ")
                        + SpokenNumber::tenths(total * distribution->ways(s),
                                               distribution->outcomes());
            return text;
        }
        if (kind() != Kind::Wedge)
            return {};
        if (total == 0)
            return QStringLiteral("noch keine Würfe");
        return QStringLiteral("%1 % (%2 von %3 %4)")
            .arg(SpokenNumber::tenths(100 * count, total), SpokenNumber::count(count),
                 SpokenNumber::count(total),
                 total == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfen"));
    }
};

class DevelopmentChart : public ChartElement
{
public:
    DevelopmentChart(QWidget *view, const Entwicklung &window)
        : ChartElement(view, QAccessible::Chart), m_window(window)
    {
    }

protected:
    bool frequency() const
    {
        return m_window.groesse() == RunningSeries::Groesse::RelativeHaeufigkeit;
    }

    QString name() const override
    {
        return frequency()
                   ? QStringLiteral("relative Häufigkeit der Augensumme %1").arg(m_window.summe())
                   : QStringLiteral("Mittelwert der Augensummen");
    }

    QString description() const override
    {
        const auto distribution = currentDistribution();
        if (!distribution)
            return QStringLiteral("noch keine Würfe");
        const bool ofSum = frequency();
        const int s = m_window.summe();
        qint64 throws = 0;
        qint64 total = 0; // count of the sum, or the sum of all sums
        for (int k = distribution->minSum(); k <= distribution->maxSum(); ++k) {
            const qint64 c = Austausch::Haeufigkeit[k];
            throws += c;
            total += ofSum ? (k == s ? c : 0) : c * k;
        }
        const QString theory =
            ofSum ? QStringLiteral("Wahrscheinlichkeit ")
                        + SpokenNumber::significant(distribution->ways(s), distribution->outcomes())
                  : QStringLiteral("Erwartungswert ")
                        + SpokenNumber::significant(7 * distribution->dice(), 2);
        if (throws == 0)
            return QStringLiteral("noch keine Würfe; ") + theory;

        // The band the chart draws, at the last throw.
        const double expected = ofSum ? distribution->probability(s) : distribution->mean();
        const double sigma = ofSum ? std::sqrt(expected * (1 - expected))
                                   : std::sqrt(distribution->variance());
        const double halfWidth = 2 * sigma / std::sqrt(static_cast<double>(throws));
        const double low = std::max(expected - halfWidth, ofSum ? 0.0 : distribution->minSum());
        const double high = std::min(expected + halfWidth, ofSum ? 1.0 : distribution->maxSum());
        const double value = static_cast<double>(total) / static_cast<double>(throws);
        const bool inside = value >= low - 1e-12 && value <= high + 1e-12;
        return QStringLiteral("nach %1 %2 %3; %4; %5")
            .arg(SpokenNumber::count(throws),
                 throws == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfen"),
                 SpokenNumber::significant(total, throws), theory,
                 inside ? QStringLiteral("innerhalb des Bereichs")
                        : QStringLiteral("außerhalb des Bereichs"));
    }

private:
    const Entwicklung &m_window;
};

QString withoutColon(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

QString captionText(const QWidget *widget)
{
    const auto *label = qobject_cast<const QLabel *>(widget);
    return label ? withoutColon(label->text()) : QString();
}

// The caption of a value in a form or grid: the label at the start of its row, and in a grid
// the heading of its column, which stands in the nearest row above without a caption.
QString captionOf(const QWidget &value)
{
    const QWidget *parent = value.parentWidget();
    QLayout *layout = parent ? parent->layout() : nullptr;
    if (auto *form = qobject_cast<QFormLayout *>(layout))
        return captionText(form->labelForField(const_cast<QWidget *>(&value)));
    auto *grid = qobject_cast<QGridLayout *>(layout);
    const int index = grid ? grid->indexOf(&value) : -1;
    if (index < 0)
        return {};
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    const auto widgetAt = [grid](int r, int c) -> QWidget * {
        QLayoutItem *item = grid->itemAtPosition(r, c);
        return item ? item->widget() : nullptr;
    };
    if (column == 0)
        return {};
    QString caption = captionText(widgetAt(row, 0));
    if (caption.isEmpty())
        return {};
    for (int r = row - 1; r >= 0; --r) {
        if (!captionText(widgetAt(r, 0)).isEmpty())
            continue;
        const QString heading = captionText(widgetAt(r, column));
        if (!heading.isEmpty())
            caption += QStringLiteral(", ") + heading;
        break;
    }
    return caption;
}

// A label of Auswertung. A value is named by its caption and carries the number as its value;
// captions and headings read as themselves. Asked again each time: the interface can be made
// before the label is in its layout.
class AuswertungLabel : public QAccessibleWidget
{
public:
    explicit AuswertungLabel(QWidget *label) : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString own = static_cast<QLabel *>(widget())->text();
        if (t == QAccessible::Name) {
            const QString caption = captionOf(*widget());
            return caption.isEmpty() ? own : caption;
        }
        if (t == QAccessible::Value)
            return own;
        return QAccessibleWidget::text(t);
    }
};

template <class Element, class... Args>
QAccessibleInterface *remembered(Args &&...args)
{
    auto *element = new Element(std::forward<Args>(args)...);
    element->remember();
    return element;
}

QAccessibleInterface *factory(const QString &key, QObject *object)
{
    // Qt asks once for every class of the object's hierarchy; the most derived one decides.
    if (!object || !object->isWidgetType()
        || key != QLatin1StringView(object->metaObject()->className()))
        return nullptr;
    auto *w = static_cast<QWidget *>(object);

    if (qobject_cast<AbsHaeufigkeiten *>(w))
        return new Container(w, QAccessible::Window, &barChartOrder);
    if (qobject_cast<RelHaeufigkeiten *>(w))
        return new Container(w, QAccessible::Window, &pieOrder);
    if (qobject_cast<Verlauf *>(w) || qobject_cast<Auswertung *>(w)
        || qobject_cast<Entwicklung *>(w))
        return new Container(w, QAccessible::Window, &readingOrder);

    QWidget *const parent = w->parentWidget();
    if (!parent)
        return nullptr;
    if (qobject_cast<AbsHaeufigkeiten *>(parent) || qobject_cast<RelHaeufigkeiten *>(parent))
        return remembered<ChartChild>(w);
    if (qobject_cast<Entwicklung *>(parent) && qobject_cast<QChartView *>(w))
        return remembered<DevelopmentChart>(w, *static_cast<Entwicklung *>(parent));
    if (qobject_cast<Auswertung *>(w->window())) {
        if (qobject_cast<QGroupBox *>(w))
            return new Container(w, QAccessible::Grouping, &readingOrder);
        if (qobject_cast<QLabel *>(w))
            return new AuswertungLabel(w);
    }
    return nullptr;
}

} // namespace

namespace SpokenNumber {

QString count(qint64 n)
{
    return german().toString(n);
}

namespace {

// The digits of `numerator / denominator × 10^decimals`, rounded half away from zero, with
// the decimal separator put in.
QString fixed(qint64 numerator, qint64 denominator, int decimals)
{
    if (denominator == 0)
        return count(0);
    const bool negative = (numerator < 0) != (denominator < 0) && numerator != 0;
    numerator = std::abs(numerator);
    denominator = std::abs(denominator);
    qint64 scale = 1;
    for (int i = 0; i < decimals; ++i)
        scale *= 10;
    const qint64 scaled = (2 * numerator * scale + denominator) / (2 * denominator);
    QString text = count(scaled / scale);
    if (decimals > 0)
        text += german().decimalPoint()
                + QStringLiteral("%1").arg(scaled % scale, decimals, 10, QLatin1Char('0'));
    return negative ? german().negativeSign() + text : text;
}

} // namespace

QString tenths(qint64 numerator, qint64 denominator)
{
    return fixed(numerator, denominator, 1);
}

QString significant(qint64 numerator, qint64 denominator)
{
    if (numerator == 0 || denominator == 0)
        return count(0);
    const double magnitude =
        std::floor(std::log10(std::abs(static_cast<double>(numerator) / denominator)));
    const int decimals = std::clamp(3 - static_cast<int>(magnitude), 0, 12);
    QString text = fixed(numerator, denominator, decimals);
    if (decimals > 0) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(german().decimalPoint()))
            text.chop(german().decimalPoint().size());
    }
    return text;
}

} // namespace SpokenNumber

void installChartAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&factory);
}

void announceChartChange(QWidget &window)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *const iface = QAccessible::queryAccessibleInterface(&window);
    if (!iface)
        return;
    for (int i = 0; i < iface->childCount(); ++i) {
        if (auto *element = dynamic_cast<ChartElement *>(iface->child(i)))
            element->announceChange();
    }
}
