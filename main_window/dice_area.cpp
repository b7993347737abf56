// SPDX-License-Identifier: GPL-3.0-or-later
#include "dice_area.h"

#include "number_format.h"
#include "roll_button.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QContextMenuEvent>
#include <QPainter>

#include <mutex>
#include <numeric>

namespace {

// The dice area offers only its controls as children: the face pictures say nothing that its
// name does not say better.
class DiceAreaAccessible : public QAccessibleWidget
{
public:
    explicit DiceAreaAccessible(QWidget *area) : QAccessibleWidget(area, QAccessible::Grouping) {}

    int childCount() const override { return static_cast<int>(controls().size()); }
    QAccessibleInterface *child(int index) const override
    {
        const QList<QWidget *> list = controls();
        return index >= 0 && index < list.size() ? QAccessible::queryAccessibleInterface(list[index])
                                                 : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? static_cast<int>(controls().indexOf(child->object())) : -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (QWidget *control : controls()) {
            const QRect screenRect(control->mapToGlobal(QPoint(0, 0)), control->size());
            if (control->isVisible() && screenRect.contains(x, y))
                return QAccessible::queryAccessibleInterface(control);
        }
        return nullptr;
    }

private:
    QList<QWidget *> controls() const
    {
        QList<QWidget *> list;
        for (QWidget *child : widget()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (child->focusPolicy() != Qt::NoFocus)
                list.append(child);
        }
        return list;
    }
};

// Whether an open modal dialog keeps input from `widget`'s window, as Qt keeps the mouse and
// F5 from it; an accessible action comes past that check.
bool blockedByModal(const QWidget *widget)
{
    const QWidget *modal = QApplication::activeModalWidget();
    const QWidget *window = widget->window();
    if (!modal || modal == window || modal->isAncestorOf(window))
        return false;
    if (modal->windowModality() == Qt::ApplicationModal)
        return true;
    for (const QWidget *parent = modal->parentWidget(); parent; parent = parent->parentWidget()) {
        if (parent->window() == window)
            return true;
    }
    return false;
}

// A press from assistive technology throws, as a mouse press does; the keyboard's Space and
// Return still do not.
class RollButtonAccessible : public QAccessibleWidget
{
public:
    explicit RollButtonAccessible(QWidget *button) : QAccessibleWidget(button, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return static_cast<RollButton *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction() && widget()->isEnabled() && !blockedByModal(widget()))
            static_cast<RollButton *>(widget())->roll();
    }
    QStringList keyBindingsForAction(const QString &actionName) const override
    {
        return actionName == pressAction() ? QStringList{QStringLiteral("F5")} : QStringList();
    }
};

// Orca speaks an element with this role when it shows; a changed name it speaks only for the
// element with the focus.
class AnnouncementAccessible : public QAccessibleWidget
{
public:
    explicit AnnouncementAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification)
    {
    }
};

QAccessibleInterface *mainWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("Announcement"))
        return new AnnouncementAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("DiceArea"))
        return new DiceAreaAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("RollButton"))
        return new RollButtonAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

DiceArea::DiceArea(QWidget *parent) : QWidget(parent)
{
    setLastThrow({});
}

void DiceArea::setLastThrow(std::span<const qint16> faces)
{
    setAccessibleName(lastThrowText(faces));
    // Qt 6.4 has no announcements: a screen reader speaks the throw because the name changed,
    // so the event goes out after every move, also when it threw the same as the one before.

    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}


void DiceArea::paintEvent(QPaintEvent *)
{
    // Solid black, so the black corners of the face images and the uncovered strips of the
    // cells blend into it.
    QPainter painter(this);
    painter.fillRect(Tray, Qt::black);
}

void DiceArea::contextMenuEvent(QContextMenuEvent *event)
{
    const bool keyboard = event->reason() == QContextMenuEvent::Keyboard;
    if (!keyboard && !Tray.contains(event->pos())) {
        event->ignore();
        return;
    }
    event->accept();
    emit trayMenuRequested(keyboard ? mapToGlobal(Tray.center()) : event->globalPos());
}

QString lastThrowText(std::span<const qint16> faces)
{
    if (faces.empty())
        return QStringLiteral("Noch kein Wurf");
    QStringList values;
    for (const qint16 face : faces)
        values.append(NumberFormat::integer(face));
    QString text = QStringLiteral("Letzter Wurf: ") + values.join(QStringLiteral(", "));
    if (faces.size() > 1) {
        const int sum = std::accumulate(faces.begin(), faces.end(), 0);
        text += QStringLiteral(" – Augensumme ") + NumberFormat::integer(sum);
    }
    return text;
}

Announcement::Announcement(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Ansage"));
    setGeometry(0, 0, 1, 1);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
}

void Announcement::announce(const QString &text)
{
    setAccessibleName(text);
    // Shown again even for the same text: a screen reader speaks a notification as it appears.
    hide();
    show();
}

QString moveAnnouncement(std::span<const qint16> faces, qint64 throwsDone, qint64 throwsSoFar)
{
    QString text = lastThrowText(faces);
    if (throwsDone > 1) {
        text += QStringLiteral(" – %1 Würfe, bisher %2")
                    .arg(NumberFormat::integer(throwsDone), NumberFormat::integer(throwsSoFar));
    }
    return text;
}

void installMainWindowAccessibility()
{
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(&mainWindowAccessible); });
}
