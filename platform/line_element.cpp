// SPDX-License-Identifier: GPL-3.0-or-later
#include "line_element.h"

#include "twips.h"

#include <QPainter>

#include <algorithm>

LineElement::LineElement(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    place();
}

float LineElement::x1() const { return Twips::fromPixels(m_p1.x()); }
float LineElement::y1() const { return Twips::fromPixels(m_p1.y()); }
float LineElement::x2() const { return Twips::fromPixels(m_p2.x()); }
float LineElement::y2() const { return Twips::fromPixels(m_p2.y()); }

void LineElement::setX1(float twips) { m_p1.setX(Twips::toPixels(twips)); place(); }
void LineElement::setY1(float twips) { m_p1.setY(Twips::toPixels(twips)); place(); }
void LineElement::setX2(float twips) { m_p2.setX(Twips::toPixels(twips)); place(); }
void LineElement::setY2(float twips) { m_p2.setY(Twips::toPixels(twips)); place(); }

void LineElement::place()
{
    // A one-pixel line occupies the pixels of both end points, so the box is one pixel larger.
    const QRect box(QPoint(std::min(m_p1.x(), m_p2.x()), std::min(m_p1.y(), m_p2.y())),
                    QPoint(std::max(m_p1.x(), m_p2.x()), std::max(m_p1.y(), m_p2.y())));
    setGeometry(box);
    update();
}

void LineElement::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(Qt::black, 0));
    const QPoint origin = pos();
    painter.drawLine(m_p1 - origin, m_p2 - origin);
}

LineElement *cloneElement(const LineElement &original)
{
    auto *copy = new LineElement(original.parentWidget());
    copy->m_p1 = original.m_p1;
    copy->m_p2 = original.m_p2;
    copy->place();
    return copy;
}
