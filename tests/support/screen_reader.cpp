// SPDX-License-Identifier: GPL-3.0-or-later
#include "screen_reader.h"

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

QList<ListeningScreenReader::Heard> &record()
{
    static QList<ListeningScreenReader::Heard> list;
    return list;
}

void hear(QAccessibleEvent *event)
{
    const QAccessible::Event type = event->type();
    if (type != QAccessible::NameChanged && type != QAccessible::DescriptionChanged)
        return;
    if (QAccessibleInterface *element = event->accessibleInterface()) {
        record().append({type, event->object(),
                         element->text(type == QAccessible::NameChanged
                                           ? QAccessible::Name
                                           : QAccessible::Description)});
    }
}

// No public call switches Qt's events on without a screen reader; Qt's own tests use its
// platform layer the same way.
void setActive(bool active)
{
    if (QPlatformAccessibility *platform =
            QGuiApplicationPrivate::platformIntegration()->accessibility())
        platform->setActive(active);
}

} // namespace

ListeningScreenReader::ListeningScreenReader() : m_before(QAccessible::installUpdateHandler(&hear))
{
    record().clear();
    setActive(true);
}

ListeningScreenReader::~ListeningScreenReader()
{
    setActive(false);
    QAccessible::installUpdateHandler(m_before);
    record().clear();
}

bool ListeningScreenReader::isListening() const { return QAccessible::isActive(); }

void ListeningScreenReader::forget() { record().clear(); }

const QList<ListeningScreenReader::Heard> &ListeningScreenReader::heard() const { return record(); }

QStringList ListeningScreenReader::heardIn(const QObject &window, QAccessible::Event type) const
{
    QStringList texts;
    for (const Heard &h : std::as_const(record())) {
        if (h.type == type && h.element && h.element->parent() == &window)
            texts.append(h.text);
    }
    return texts;
}
