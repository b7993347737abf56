// SPDX-License-Identifier: GPL-3.0-or-later
#include "wrapping_menu_bar.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QVBoxLayout>

#include <functional>
#include <mutex>

namespace {

bool isAltKey(const QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress
        && type != QEvent::KeyRelease)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Alt || key == Qt::Key_Meta;
}

// One row of the bar. It leaves Alt to the whole bar, whose keyboard walk spans all rows, and
// draws the item the keyboard is on.
class MenuRow : public QMenuBar
{
public:
    MenuRow(QWidget *parent, std::function<void()> mousePressed)
        : QMenuBar(parent), m_mousePressed(std::move(mousePressed))
    {
    }

    void setKeyboardItem(QAction *item)
    {
        if (m_item == item)
            return;
        m_item = item;
        update();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Left to itself every row would take Alt and walk only its own items.
        if (isAltKey(event))
            return false;
        return QMenuBar::eventFilter(watched, event);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        m_mousePressed();
        QMenuBar::mousePressEvent(event);
    }

    void paintEvent(QPaintEvent *event) override
    {
        QMenuBar::paintEvent(event);
        if (!m_item || !actions().contains(m_item))
            return;
        QPainter painter(this);
        QStyleOptionMenuItem option;
        initStyleOption(&option, m_item);
        option.rect = actionGeometry(m_item);
        // Drawn as an open item: Fusion leaves an item that is merely selected plain.
        option.state |= QStyle::State_Selected | QStyle::State_Sunken | QStyle::State_HasFocus;
        style()->drawControl(QStyle::CE_MenuBarItem, &option, &painter, this);
    }

private:
    std::function<void()> m_mousePressed;
    QPointer<QAction> m_item;
};

// One item of the bar as assistive technology sees it: focused while the keyboard is on it,
// which Qt's own items of each row never are, as the rows do not walk themselves.
class AccessibleItem : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    AccessibleItem(WrappingMenuBar &bar, QAction &item) : m_bar(&bar), m_item(&item) {}

    bool isValid() const override { return m_bar && m_item; }
    QObject *object() const override { return m_item; }
    QWindow *window() const override { return m_bar ? m_bar->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_bar);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && m_item ? m_item->text().remove(u'&') : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        const QMenuBar *row = isValid() ? m_bar->rowOf(m_item) : nullptr;
        if (!row)
            return {};
        const QRect r = row->actionGeometry(m_item);
        return QRect(row->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.focusable = true;
        s.focused = m_bar->keyboardItem() == m_item;
        s.invisible = !m_item->isVisible() || !m_bar->isVisible();
        s.disabled = !m_item->isEnabled();
        s.hasPopup = m_item->menu() != nullptr;
        return s;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            m_bar->openOrTrigger(m_item);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<WrappingMenuBar> m_bar;
    QPointer<QAction> m_item;
};

// The bar as one menu bar of all its items, whichever row they stand in.
class AccessibleBar : public QAccessibleWidget
{
public:
    explicit AccessibleBar(WrappingMenuBar &bar) : QAccessibleWidget(&bar, QAccessible::MenuBar) {}

    int childCount() const override { return static_cast<int>(items().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QAction *> all = items();
        return index >= 0 && index < all.size() ? itemInterface(all[index]) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(items().indexOf(qobject_cast<QAction *>(child->object())))
                     : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (QAction *item : items()) {
            QAccessibleInterface *i = itemInterface(item);
            if (i->rect().contains(x, y))
                return i;
        }
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        QAction *item = bar().keyboardItem();
        return item ? itemInterface(item) : nullptr;
    }

private:
    WrappingMenuBar &bar() const { return *static_cast<WrappingMenuBar *>(widget()); }
    QList<QAction *> items() const
    {
        QList<QAction *> visible;
        for (const QMenuBar *row : bar().rows()) {
            for (QAction *item : row->actions()) {
                if (item->isVisible())
                    visible.append(item);
            }
        }
        return visible;
    }
    // Made once per item and kept by Qt's cache until the item goes.
    QAccessibleInterface *itemInterface(QAction *item) const
    {
        const QAccessible::Id id = m_ids.value(item);
        if (QAccessibleInterface *known = id ? QAccessible::accessibleInterface(id) : nullptr)
            return known;
        auto *made = new AccessibleItem(bar(), *item);
        m_ids.insert(item, QAccessible::registerAccessibleInterface(made));
        return made;
    }

    mutable QHash<QAction *, QAccessible::Id> m_ids;
};

QAccessibleInterface *barInterface(const QString &, QObject *object)
{
    auto *bar = qobject_cast<WrappingMenuBar *>(object);
    return bar ? new AccessibleBar(*bar) : nullptr;
}

} // namespace

WrappingMenuBar::WrappingMenuBar(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
{
    // Before Qt makes an interface of its own for the bar.
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&barInterface); });
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    newRow();

    auto *f10 = new QAction(this);
    f10->setShortcut(Qt::Key_F10);
    f10->setShortcutContext(Qt::WindowShortcut);
    QWidget::addAction(f10);
    connect(f10, &QAction::triggered, this, [this] {
        if (m_keyboardItem)
            leaveKeyboardMode(true);
        else
            enterKeyboardMode();
    });
    watchWindow();
}

QMenuBar *WrappingMenuBar::newRow()
{
    auto *row = new MenuRow(this, [this] { leaveKeyboardMode(true); });
    // The menu belongs in the window, not in a desktop-wide global menu.
    row->setNativeMenuBar(false);
    m_layout->addWidget(row);
    m_rows.push_back(row);
    return row;
}

void WrappingMenuBar::addAction(QAction *action)
{
    m_items.append(action);
    m_rows.back()->addAction(action);
    m_wrappedWidth = -1;
    wrap(width());
}

QMenu *WrappingMenuBar::addMenu(const QString &title)
{
    auto *menu = new QMenu(title, this);
    addAction(menu->menuAction());
    return menu;
}

QSize WrappingMenuBar::sizeHint() const
{
    int height = 0;
    for (const QMenuBar *row : m_rows)
        height += row->sizeHint().height();
    return {width(), height};
}

void WrappingMenuBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    wrap(event->size().width());
}

void WrappingMenuBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Another font or style gives the items other widths, and so perhaps other rows.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_wrappedWidth = -1;
        wrap(width());
    }
}

void WrappingMenuBar::wrap(int width)
{
    if (width <= 0 || width == m_wrappedWidth)
        return;
    m_wrappedWidth = width;

    // Measure every item on one unbounded row, then fill the rows greedily in order.
    QMenuBar *first = m_rows.front();
    for (std::size_t i = 1; i < m_rows.size(); ++i)
        delete m_rows[i];
    m_rows.resize(1);
    first->clear();
    first->addActions(m_items);
    first->resize(1 << 16, first->height());
    QList<int> widths;
    for (QAction *item : std::as_const(m_items))
        widths.append(first->actionGeometry(item).width());
    const int margin = first->actionGeometry(m_items.value(0)).left();

    first->clear();
    QMenuBar *row = first;
    int used = margin;
    for (qsizetype i = 0; i < m_items.size(); ++i) {
        if (used + widths[i] > width - margin && !row->actions().isEmpty()) {
            row = newRow();
            used = margin;
        }
        row->addAction(m_items[i]);
        used += widths[i];
    }
    for (QMenuBar *r : m_rows)
        r->resize(width, r->sizeHint().height());
    if (m_keyboardItem)
        highlight(m_keyboardItem);
    updateGeometry();
}

bool WrappingMenuBar::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show)
        watchWindow();
    return QWidget::event(event);
}

void WrappingMenuBar::watchWindow()
{
    QWidget *const w = window();
    if (w == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = w;
    w->installEventFilter(this);
}

bool WrappingMenuBar::eventFilter(QObject *watched, QEvent *event)
{
    // While Alt is down the whole application is watched, as QMenuBar does, for whatever makes
    // it more than a tap on Alt.
    if (m_altAlone) {
        switch (event->type()) {
        case QEvent::KeyRelease:
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::WindowDeactivate:
            if (isAltKey(event) && event->type() != QEvent::KeyRelease)
                break;
            m_altAlone = false;
            qApp->removeEventFilter(this);
            if (isAltKey(event)) {
                if (m_keyboardItem)
                    leaveKeyboardMode(true);
                else
                    enterKeyboardMode();
            }
            break;
        default:
            break;
        }
    }
    // The focus widget does not take Alt, so its shortcut check reaches the window.
    if (watched == m_watchedWindow && !m_altAlone && event->type() == QEvent::ShortcutOverride
        && isAltKey(event) && isVisible()) {
        const auto modifiers = static_cast<QKeyEvent *>(event)->modifiers()
                               & ~(Qt::AltModifier | Qt::MetaModifier | Qt::KeypadModifier);
        if (modifiers == Qt::NoModifier) {
            m_altAlone = true;
            qApp->installEventFilter(this);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void WrappingMenuBar::enterKeyboardMode()
{
    QAction *first = nullptr;
    for (QAction *item : std::as_const(m_items)) {
        if (item->isVisible()) {
            first = item;
            break;
        }
    }
    if (!first || !isVisible())
        return;
    QWidget *const focus = QApplication::focusWidget();
    m_focusBefore = focus && focus != this && focus->window() == window() ? focus : nullptr;
    // The bar first, then its item: a screen reader speaks what got the focus last.
    setFocus(Qt::MenuBarFocusReason);
    highlight(first);
}

void WrappingMenuBar::leaveKeyboardMode(bool restoreFocus)
{
    if (!m_keyboardItem)
        return;
    highlight(nullptr);
    if (restoreFocus && hasFocus()) {
        if (m_focusBefore)
            m_focusBefore->setFocus(Qt::MenuBarFocusReason);
        else
            clearFocus();
    }
    m_focusBefore = nullptr;
}

void WrappingMenuBar::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        leaveKeyboardMode(false);
}

QMenuBar *WrappingMenuBar::rowOf(QAction *item) const
{
    for (QMenuBar *row : m_rows) {
        if (row->actions().contains(item))
            return row;
    }
    return nullptr;
}

void WrappingMenuBar::highlight(QAction *item)
{
    m_keyboardItem = item;
    for (QMenuBar *row : m_rows)
        static_cast<MenuRow *>(row)->setKeyboardItem(row->actions().contains(item) ? item
                                                                                    : nullptr);
    // A screen reader follows the highlight as it follows the focus.
    if (item && QAccessible::isActive()) {
        if (QAccessibleInterface *focused = QAccessible::queryAccessibleInterface(this)->focusChild()) {
            QAccessibleEvent focus(focused, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    }
}

void WrappingMenuBar::keyPressEvent(QKeyEvent *event)
{
    if (!m_keyboardItem) {
        QWidget::keyPressEvent(event);
        return;
    }
    const auto step = [this](int direction) {
        const qsizetype n = m_items.size();
        qsizetype i = m_items.indexOf(m_keyboardItem);
        for (qsizetype tried = 0; tried < n; ++tried) {
            i = (i + direction + n) % n;
            if (m_items[i]->isVisible()) {
                highlight(m_items[i]);
                return;
            }
        }
    };
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    switch (event->key()) {
    case Qt::Key_Right:
        step(rightToLeft ? -1 : 1);
        break;
    case Qt::Key_Left:
        step(rightToLeft ? 1 : -1);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        openOrTrigger(m_keyboardItem);
        break;
    case Qt::Key_Down:
        if (m_keyboardItem->menu())
            openOrTrigger(m_keyboardItem);
        break;
    case Qt::Key_Escape:
        leaveKeyboardMode(true);
        break;
    default:
        // The bar has no access keys; nothing else reaches the window behind it meanwhile.
        break;
    }
    event->accept();
}

void WrappingMenuBar::openOrTrigger(QAction *item)
{
    QMenuBar *const row = rowOf(item);
    // The focus goes back first: a triggered item may open a modal dialog, and a menu closes
    // onto the control the user came from.
    leaveKeyboardMode(true);
    if (QMenu *menu = item->menu()) {
        if (!row)
            return;
        menu->popup(row->mapToGlobal(row->actionGeometry(item).bottomLeft()));
        const QList<QAction *> entries = menu->actions();
        if (!entries.isEmpty())
            menu->setActiveAction(entries.first());
    } else if (item->isEnabled()) {
        item->trigger();
    }
}
