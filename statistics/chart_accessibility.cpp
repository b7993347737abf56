// SPDX-License-Identifier: GPL-3.0-or-later
#include "chart_accessibility.h"

#include "distribution.h"
#include "game.h"
#include "number_format.h"
#include "running_frequency.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEngine>
#include <QPointer>
#include <QTimer>
#include <QFocusFrame>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

#include <algorithm>
#include <functional>
#include <optional>
#include <tuple>

namespace {

QString throwsText(qint64 n)
{
    return NumberFormat::integer(n) + (n == 1 ? QStringLiteral(" Wurf") : QStringLiteral(" Würfe"));
}

// What `object` is to the layer: a statistics window of one kind, or none.
std::optional<AccessibleWindow::Kind> kindOf(const QObject *object)
{
    if (const auto *window = dynamic_cast<const AccessibleWindow *>(object))
        return window->accessibleKind();
    return std::nullopt;
}

bool isKind(const QObject *object, AccessibleWindow::Kind kind)
{
    return kindOf(object) == kind;
}

// The game that the chart window holding `element` shows.
const Game &gameOf(const QWidget &element)
{
    for (const QWidget *w = &element; w; w = w->parentWidget()) {
        if (const auto *chart = dynamic_cast<const GameChart *>(w))
            return chart->shownGame();
    }
    Q_UNREACHABLE();
}

// One die shows a face, more dice a sum.
QString sumWord(const Game &game)
{
    return game.dice() == 1 ? QStringLiteral("Augenzahl") : QStringLiteral("Augensumme");
}

std::optional<SumDistribution> currentDistribution(const Game &game)
{
    if (!game.isSetUp())
        return std::nullopt;
    return SumDistribution(game.dice());
}

QList<QWidget *> childWidgets(const QWidget &parent)
{
    QList<QWidget *> widgets;
    for (QObject *child : parent.children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        // A focus frame is drawn around a control; it is nothing to read.
        if (widget && !widget->isWindow() && !qobject_cast<QFocusFrame *>(widget))
            widgets.append(widget);
    }
    return widgets;
}

int indexOf(const QWidget &element)
{
    return element.property("Index").toInt();
}

// An element of a WalkedChart: its widget's accessible name, focused while the keyboard is on it.
class WalkedElement : public QAccessibleWidget
{
public:
    WalkedElement(QWidget *element, const WalkedChart &chart)
        : QAccessibleWidget(element, QAccessible::Graphic), m_chart(chart)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        s.focused = widget()->parentWidget()->hasFocus()
                    && indexOf(*widget()) == m_chart.currentElement();
        return s;
    }

private:
    const WalkedChart &m_chart;
};

// Orca ignores a combo box's changed name, but speaks a notification that appears: one pixel
// that paints nothing, shown again for each change.
class ChangeNotice : public QWidget
{
public:
    explicit ChangeNotice(QWidget *parent) : QWidget(parent)
    {
        setGeometry(0, 0, 1, 1);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }

    void tell(const QString &text)
    {
        setAccessibleName(text);
        hide();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override {}
};

// Top to bottom, and left to right within a line: the order of creation is the order of
// painting, not of reading. What is hidden has no place on the screen and comes last; so does a
// notice, which is spoken when it appears, not read where it lies.
QList<QWidget *> readingOrder(const QWidget &parent)
{
    QList<QWidget *> widgets = childWidgets(parent);
    const auto offScreen = [](const QWidget *w) {
        return w->isHidden() || dynamic_cast<const ChangeNotice *>(w);
    };
    std::stable_sort(widgets.begin(), widgets.end(), [&](const QWidget *a, const QWidget *b) {
        return std::tuple(offScreen(a), a->geometry().center().y(), a->x())
               < std::tuple(offScreen(b), b->geometry().center().y(), b->x());
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
        const bool told = name == QLatin1StringView("Erwartung")
                          || name == QLatin1StringView("Hervorhebung");
        return std::pair(told ? 4 : 3, 0);
    };
    widgets.removeIf([&rank](const QWidget *w) { return rank(w).first == 4; });
    std::stable_sort(widgets.begin(), widgets.end(),
                     [&rank](const QWidget *a, const QWidget *b) { return rank(a) < rank(b); });
    const Game &game = gameOf(chart);
    const int sums = game.maxSum() - game.minSum() + 1;
    widgets.removeIf([sums](const QWidget *w) {
        return w->objectName() == QLatin1StringView("absH") && indexOf(*w) >= sums;
    });
    return widgets;
}

// One child per reachable sum: its label, which stands on its wedge.
QList<QWidget *> pieOrder(const QWidget &pie)
{
    QList<QWidget *> labels;
    const Game &game = gameOf(pie);
    for (QWidget *w : childWidgets(pie)) {
        const int summe = indexOf(*w);
        if (w->objectName() == QLatin1StringView("Ergebnis") && summe >= game.minSum()
            && summe <= game.maxSum() && summe >= 1)
            labels.append(w);
    }
    std::sort(labels.begin(), labels.end(),
              [](const QWidget *a, const QWidget *b) { return indexOf(*a) < indexOf(*b); });
    return labels;
}

// Whether the keys were used since the last mouse press: the focus frame and the highlight are
// drawn for someone at the keyboard, and a mouse user sees the charts without them.
bool keyboardInUse = false;

// The bar or the wedge's label that stands for `summe` to assistive technology.
QWidget *elementOf(const QWidget &chart, int summe)
{
    const bool bars = isKind(&chart, AccessibleWindow::Kind::Bars);
    const QString name = bars ? QStringLiteral("absH") : QStringLiteral("Ergebnis");
    const int index = bars ? summe - gameOf(chart).minSum() : summe;
    for (QWidget *w : childWidgets(chart)) {
        if (w->objectName() == name && indexOf(*w) == index)
            return w;
    }
    return nullptr;
}

void fillFrame(QPainter &painter, const QRect &r, int width, const QColor &colour)
{
    painter.fillRect(QRect(r.left(), r.top(), r.width(), width), colour);
    painter.fillRect(QRect(r.left(), r.bottom() - width + 1, r.width(), width), colour);
    painter.fillRect(QRect(r.left(), r.top(), width, r.height()), colour);
    painter.fillRect(QRect(r.right() - width + 1, r.top(), width, r.height()), colour);
}

// A layer over the whole chart that draws the focus frame and the highlight of the current
// sum, and the window's keyboard handling as an event filter. It takes neither mouse nor focus.
class ChartWalk : public QWidget
{
public:
    explicit ChartWalk(QWidget &chart) : QWidget(&chart), m_chart(chart)
    {
        setObjectName(QStringLiteral("Hervorhebung"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        setGeometry(chart.rect());
        chart.setFocusPolicy(Qt::StrongFocus);
        // Given the focus when its window becomes active, whichever window had it before.
        chart.setFocus();
        chart.installEventFilter(this);
    }

    int summe() const
    {
        const Game &game = gameOf(m_chart);
        const int first = game.minSum();
        const int last = game.maxSum();
        if (first < 1 || first > last)
            return 0;
        return std::clamp(m_summe == 0 ? first : m_summe, first, last);
    }

    // Bars made later lie above the layer.
    void restack()
    {
        raise();
        update();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != &m_chart)
            return false;
        switch (event->type()) {
        case QEvent::Resize:
            setGeometry(m_chart.rect());
            break;
        case QEvent::FocusIn:
            update();
            // After Qt has told of the window's focus.
            QTimer::singleShot(0, this, [this] { tellFocus(); });
            break;
        case QEvent::FocusOut:
            update();
            break;
        case QEvent::Show:
            QTimer::singleShot(0, this, [this] { tellShown(); });
            break;
        case QEvent::KeyPress:
            return walk(*static_cast<QKeyEvent *>(event));
        case QEvent::ContextMenu: {
            const auto *request = static_cast<QContextMenuEvent *>(event);
            if (request->reason() != QContextMenuEvent::Keyboard || m_resending)
                break;
            // At the highlight, not wherever the mouse pointer happens to be.
            const QPoint pos = highlight().boundingRect().center().toPoint();
            QContextMenuEvent atHighlight(QContextMenuEvent::Keyboard, pos,
                                          m_chart.mapToGlobal(pos), request->modifiers());
            m_resending = true;
            QCoreApplication::sendEvent(&m_chart, &atHighlight);
            m_resending = false;
            return true;
        }
        default:
            break;
        }
        return false;
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        // Files and printouts are drawn from the window's widgets; they show the chart only.
        if (painter.paintEngine()->type() == QPaintEngine::Picture || !m_chart.hasFocus()
            || !keyboardInUse)
            return;
        // Black in white: 3:1 and more against the white ground and any shade of red.
        fillFrame(painter, rect(), 2, Qt::black);
        fillFrame(painter, rect().adjusted(2, 2, -2, -2), 1, Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPainterPath path = highlight();
        painter.strokePath(path, QPen(Qt::white, 5));
        painter.strokePath(path, QPen(Qt::black, 3));
    }

private:
    // Around the current bar's column, or the current wedge (a ring where it has no area).
    QPainterPath highlight() const
    {
        QPainterPath path;
        const int s = summe();
        if (s == 0)
            return path;
        if (isKind(&m_chart, AccessibleWindow::Kind::Bars)) {
            if (const QWidget *bar = elementOf(m_chart, s))
                path.addRect(QRectF(bar->x() + 1.5, 4.5, std::max(bar->width() - 3, 1),
                                    std::max(height() - 9, 1)));
            return path;
        }
        if (const auto *chart = dynamic_cast<const GameChart *>(&m_chart))
            return chart->sumOutline(s);
        return path;
    }

    bool walk(const QKeyEvent &key)
    {
        if (key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier))
            return false;
        const int s = summe();
        if (s == 0)
            return false;
        const bool pie = isKind(&m_chart, AccessibleWindow::Kind::Pie);
        const Game &game = gameOf(m_chart);
        int next = s;
        switch (key.key()) {
        case Qt::Key_Right:
            next = s + 1;
            break;
        case Qt::Key_Left:
            next = s - 1;
            break;
        case Qt::Key_Down:
            if (!pie)
                return false;
            next = s + 1;
            break;
        case Qt::Key_Up:
            if (!pie)
                return false;
            next = s - 1;
            break;
        case Qt::Key_Home:
            next = game.minSum();
            break;
        case Qt::Key_End:
            next = game.maxSum();
            break;
        default:
            return false;
        }
        m_summe = std::clamp<int>(next, game.minSum(), game.maxSum());
        update();
        tellFocus();
        return true;
    }

    void tellFocus()
    {
        if (!QAccessible::isActive() || !m_chart.hasFocus())
            return;
        if (QWidget *element = elementOf(m_chart, summe())) {
            QAccessibleEvent event(element, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
    }

    // Elements made or moved while the window was hidden were last reported as not showing.
    void tellShown()
    {
        if (!QAccessible::isActive() || !m_chart.isVisible())
            return;
        QAccessibleInterface *const window = QAccessible::queryAccessibleInterface(&m_chart);
        for (int i = 0; window && i < window->childCount(); ++i) {
            QAccessibleInterface *child = window->child(i);
            if (child && !child->state().invisible) {
                QAccessibleEvent event(child, QAccessible::ObjectShow);
                QAccessible::updateAccessibility(&event);
            }
        }
        announceChartChange(m_chart);
    }

    QWidget &m_chart;
    int m_summe = 0;
    bool m_resending = false;
};

ChartWalk *walkOf(const QWidget &chart)
{
    for (QObject *child : chart.children()) {
        if (auto *walk = dynamic_cast<ChartWalk *>(child))
            return walk;
    }
    return nullptr;
}

// Shift+F10, as on other desktops, and the Menu key where the window system does not turn it
// into a request itself, ask the focused control for its context menu. (Windows makes its own
// request of Shift+F10 and never sends it as a key.)
class KeyboardMenus : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            keyboardInUse = false;
            return false;
        }
        if (event->type() == QEvent::ContextMenu
            && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
            // A menu opened from the keyboard starts on its first item, which a screen reader
            // speaks; without one it says nothing.
            QTimer::singleShot(0, this, [] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                if (!menu || menu->activeAction())
                    return;
                for (QAction *item : menu->actions()) {
                    if (item->isVisible() && item->isEnabled() && !item->isSeparator()) {
                        menu->setActiveAction(item);
                        return;
                    }
                }
            });
            return false;
        }
        if (event->type() != QEvent::KeyPress)
            return false;
        keyboardInUse = true;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
        // X11 and Windows turn the Menu key into a request of their own.
        const QString platform = QGuiApplication::platformName();
        const bool menuKey = key->key() == Qt::Key_Menu && platform != QLatin1StringView("xcb")
                             && platform != QLatin1StringView("windows");
        QWidget *const focus = QApplication::focusWidget();
        if ((!shiftF10 && !menuKey) || !focus || QApplication::activePopupWidget())
            return QObject::eventFilter(watched, event);
        const QPoint pos = focus->rect().center();
        QContextMenuEvent request(QContextMenuEvent::Keyboard, pos, focus->mapToGlobal(pos),
                                  key->modifiers());
        QCoreApplication::sendEvent(focus, &request);
        return true;
    }
};

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
    QAccessibleInterface *focusChild() const override
    {
        if (const ChartWalk *walk = walkOf(*widget()); walk && widget()->hasFocus()) {
            if (QWidget *element = elementOf(*widget(), walk->summe()))
                return QAccessible::queryAccessibleInterface(element);
        }
        return QAccessibleWidget::focusChild();
    }

private:
    ChildOrder m_order;
};

// Changes of the charts that nobody listened to: a name remembered before the last of them may
// be older than what a screen reader that started since has read.
quint64 unheardChanges = 0;

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
        m_unheardChanges = unheardChanges;
    }

    void announceChange()
    {
        const QString n = name();
        const QString d = description();
        // What was remembered before a change nobody heard is no guide: say it again.
        const bool unsure = m_unheardChanges != unheardChanges;
        m_unheardChanges = unheardChanges;
        if (n != m_name || unsure) {
            m_name = n;
            QAccessibleEvent event(widget(), QAccessible::NameChanged);
            QAccessible::updateAccessibility(&event);
        }
        if (d != m_description || unsure) {
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
    quint64 m_unheardChanges = 0;
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
        // The window takes the focus; the sum the keyboard is on stands for it.
        const int current = keyboardSum(*w->parentWidget());
        if (kind() == Kind::Bar || kind() == Kind::Wedge) {
            s.focusable = true;
            s.focused = current != 0 && current == summe() && w->parentWidget()->hasFocus();
        }
        switch (kind()) {
        case Kind::Bar:
            // Bars left over from a game with more dice have no height.
            s.invisible = s.invisible || summe() > gameOf(*w).maxSum();
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
        return kind() == Kind::Bar ? gameOf(*widget()).minSum() + indexOf(*widget())
                                    : indexOf(*widget());
    }

    // The value is part of the name: a screen reader speaks the name of the focused element
    // and passes over its description.
    QString name() const override
    {
        switch (kind()) {
        case Kind::Bar:
        case Kind::Wedge: {
            const QString value = valueText();
            const QString what = QStringLiteral("%1 %2").arg(sumWord(gameOf(*widget())),
                                                          NumberFormat::integer(summe()));
            return value.isEmpty() ? what : what + QStringLiteral(": ") + value;
        }
        default:
            if (auto *label = qobject_cast<QLabel *>(widget()))
                return label->text();
            return {};
        }
    }

    QString description() const override { return {}; }

    // The same texts as on screen: the bar's tooltip and mark, the wedge's share.
    QString valueText() const
    {
        const int s = summe();
        const Game &game = gameOf(*widget());
        const auto distribution = currentDistribution(game);
        if (!distribution || s < distribution->minSum() || s > distribution->maxSum())
            return {};
        const qint64 count = game.count(s);
        const qint64 total = game.throws();
        if (kind() == Kind::Bar) {
            QString text = throwsText(count);
            const auto *marks = widget()->parentWidget()->findChild<QAction *>(
                QStringLiteral("MErwartet"), Qt::FindDirectChildrenOnly);
            if (marks && marks->isChecked())
                text += QStringLiteral(", erwartet ")
                        + NumberFormat::fraction(Int128(total) * distribution->ways(s),
                                                 distribution->outcomes(), NumberFormat::Expected);
            return text;
        }
        if (total == 0)
            return QStringLiteral("noch keine Würfe");
        return QStringLiteral("%1 (%2 von %3 %4)")
            .arg(NumberFormat::percent(count, total, NumberFormat::Percent),
                 NumberFormat::integer(count), NumberFormat::integer(total),
                 total == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfen"));
    }
};

class DevelopmentChart : public ChartElement
{
public:
    DevelopmentChart(QWidget *view, const GameChart &window)
        : ChartElement(view, QAccessible::Chart), m_window(window)
    {
    }

protected:
    bool frequency() const
    {
        return m_window.showsFrequency();
    }

    QString name() const override
    {
        return frequency() ? QStringLiteral("relative Häufigkeit der %1 %2")
                                 .arg(sumWord(m_window.shownGame()),
                                      NumberFormat::integer(m_window.shownSum()))
                           : QStringLiteral("Mittelwert der %1").arg(m_window.shownGame().dice() == 1
                                                                          ? QStringLiteral("Augenzahlen")
                                                                          : QStringLiteral("Augensummen"));
    }

    QString description() const override
    {
        const Game &game = m_window.shownGame();
        const auto distribution = currentDistribution(game);
        if (!distribution)
            return QStringLiteral("noch keine Würfe");
        const bool ofSum = frequency();
        const int s = m_window.shownSum();
        qint64 throws = 0;
        qint64 total = 0; // count of the sum, or the sum of all sums
        for (int k = distribution->minSum(); k <= distribution->maxSum(); ++k) {
            const qint64 c = game.count(k);
            throws += c;
            total += ofSum ? (k == s ? c : 0) : c * k;
        }
        // As the window and Auswertung show them.
        const QString theory =
            ofSum ? QStringLiteral("Wahrscheinlichkeit ")
                        + NumberFormat::fraction(distribution->ways(s), distribution->outcomes(),
                                                 NumberFormat::Share)
                  : QStringLiteral("Erwartungswert ")
                        + NumberFormat::fraction(7 * distribution->dice(), 2, {1, 0});
        if (throws == 0)
            return QStringLiteral("noch keine Würfe; ") + theory;

        // The band the chart draws, at the last throw.
        const ExpectedRange range = expectedRange(
            *distribution,
            ofSum ? RunningSeries::Groesse::RelativeHaeufigkeit : RunningSeries::Groesse::Mittelwert,
            s);
        const double low = range.low(throws);
        const double high = range.high(throws);
        const double value = static_cast<double>(total) / static_cast<double>(throws);
        const bool inside = value >= low - 1e-12 && value <= high + 1e-12;
        return QStringLiteral("nach %1 %2 %3; %4; %5")
            .arg(NumberFormat::integer(throws),
                 throws == 1 ? QStringLiteral("Wurf") : QStringLiteral("Würfen"),
                 ofSum ? NumberFormat::fraction(total, throws, NumberFormat::Share)
                       : NumberFormat::fraction(total, throws, {3, 0}),
                 theory,
                 inside ? QStringLiteral("innerhalb des Bereichs")
                        : QStringLiteral("außerhalb des Bereichs"));
    }

private:
    const GameChart &m_window;
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

std::optional<std::pair<int, int>> gridPosition(const QWidget &value, QGridLayout **grid)
{
    const QWidget *parent = value.parentWidget();
    *grid = parent ? qobject_cast<QGridLayout *>(parent->layout()) : nullptr;
    const int index = *grid ? (*grid)->indexOf(&value) : -1;
    if (index < 0)
        return std::nullopt;
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    (*grid)->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return std::pair(row, column);
}

QString rowCaption(const QWidget &value)
{
    QGridLayout *grid = nullptr;
    const auto position = gridPosition(value, &grid);
    QLayoutItem *item = position ? grid->itemAtPosition(position->first, 0) : nullptr;
    return item ? captionText(item->widget()) : QString();
}

// The value for fair dice that stands right of an observed one, told with it.
std::optional<QString> fairBeside(const QWidget &value)
{
    QGridLayout *grid = nullptr;
    const auto position = gridPosition(value, &grid);
    if (!position || position->second != 1)
        return std::nullopt;
    QLayoutItem *item = grid->itemAtPosition(position->first, 2);
    const auto *fair = item ? qobject_cast<const QLabel *>(item->widget()) : nullptr;
    if (!fair || fair->isHidden())
        return std::nullopt;
    return fair->text();
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

    // The number is part of the name: Qt's bridge to AT-SPI passes no value of a text.
    QString text(QAccessible::Text t) const override
    {
        const QString own = static_cast<QLabel *>(widget())->text();
        if (t == QAccessible::Name) {
            const QString caption = captionOf(*widget());
            if (caption.isEmpty())
                return own;
            if (const auto fair = fairBeside(*widget()))
                return QStringLiteral("%1: %2 (fair: %3)").arg(rowCaption(*widget()), own, *fair);
            return caption + QStringLiteral(": ") + own;
        }
        if (t == QAccessible::Value)
            return own;
        return QAccessibleWidget::text(t);
    }
    // The caption is in the name already; told as the value's label too, it is heard twice.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        if (!captionOf(*widget()).isEmpty())
            return {};
        return QAccessibleWidget::relations(match);
    }
};

// A choice heard with its value, on entry and on every change: Orca takes a combo box's value
// from a selected list item, which Qt's closed box does not offer; the name does carry it.
class ChoiceWithValue : public QAccessibleWidget
{
public:
    explicit ChoiceWithValue(QWidget *box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        const auto *box = static_cast<QComboBox *>(widget());
        if (t == QAccessible::Value)
            return box->currentText();
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        for (const QLabel *label : box->parentWidget()->findChildren<QLabel *>()) {
            if (label->buddy() == box)
                return withoutColon(label->text().remove(QLatin1Char('&')))
                       + QStringLiteral(": ") + box->currentText();
        }
        return box->currentText();
    }
    // The caption is in the name.
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation) const override
    {
        return {};
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

    using Kind = AccessibleWindow::Kind;
    if (const auto kind = kindOf(w)) {
        if (*kind == Kind::Bars)
            return new Container(w, QAccessible::Window, &barChartOrder);
        if (*kind == Kind::Pie)
            return new Container(w, QAccessible::Window, &pieOrder);
        return new Container(w, QAccessible::Window, &readingOrder);
    }

    QWidget *const parent = w->parentWidget();
    if (!parent)
        return nullptr;
    // Only the chart's own elements: its menu and dialogs, windows of their own, keep Qt's
    // interfaces. An element may not have its name yet, so it is not told by its name.
    if ((isKind(parent, Kind::Bars) || isKind(parent, Kind::Pie)) && !w->isWindow())
        return remembered<ChartChild>(w);
    if (dynamic_cast<ChangeNotice *>(w))
        return new QAccessibleWidget(w, QAccessible::Notification);
    const bool choosesWhatIsShown =
        isKind(parent, Kind::Development) || isKind(parent, Kind::RandomVariable);
    if (choosesWhatIsShown && qobject_cast<QComboBox *>(w)) {
        auto *box = static_cast<QComboBox *>(w);
        auto *notice = new ChangeNotice(parent);
        QObject::connect(box, &QComboBox::currentTextChanged, notice, [box, notice] {
            if (box->hasFocus())
                notice->tell(QAccessible::queryAccessibleInterface(box)->text(QAccessible::Name));
        });
        return new ChoiceWithValue(w);
    }
    if (isKind(parent, Kind::Development) && qobject_cast<QChartView *>(w))
        return remembered<DevelopmentChart>(w, *dynamic_cast<const GameChart *>(parent));
    // A chart is heard as one when it takes the focus (a plain widget is a silent filler), and
    // its elements as pictures, the one under the keyboard focused.
    if (dynamic_cast<WalkedChart *>(w))
        return new QAccessibleWidget(w, QAccessible::Chart);
    if (auto *chart = dynamic_cast<WalkedChart *>(parent); chart && !w->isWindow())
        return new WalkedElement(w, *chart);
    if (isKind(w->window(), Kind::Evaluation)) {
        if (qobject_cast<QGroupBox *>(w))
            return new Container(w, QAccessible::Grouping, &readingOrder);
        if (qobject_cast<QLabel *>(w))
            return new AuswertungLabel(w);
    }
    return nullptr;
}

} // namespace

void installChartAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(&factory);
    auto *menus = new KeyboardMenus;
    menus->setParent(qApp);
    qApp->installEventFilter(menus);
}

void tellElementFocused(QWidget &element)
{
    if (!QAccessible::isActive() || !element.parentWidget() || !element.parentWidget()->hasFocus())
        return;
    QAccessibleEvent event(&element, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

void makeWalkable(QWidget &chart)
{
    if (!walkOf(chart))
        new ChartWalk(chart);
}

int keyboardSum(const QWidget &chart)
{
    const ChartWalk *walk = walkOf(chart);
    return walk ? walk->summe() : 0;
}

void announceChartChange(QWidget &window)
{
    if (ChartWalk *walk = walkOf(window))
        walk->restack();
    if (!QAccessible::isActive()) {
        // Nobody to tell, and asking every element for its text would cost a move time.
        ++unheardChanges;
        return;
    }
    QAccessibleInterface *const iface = QAccessible::queryAccessibleInterface(&window);
    if (!iface)
        return;
    for (int i = 0; i < iface->childCount(); ++i) {
        if (auto *element = dynamic_cast<ChartElement *>(iface->child(i)))
            element->announceChange();
    }
}
