// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QLabel;

// Makes `element` an element of a list: the list's name as objectName, its index in "Index".
void tagElement(QWidget &element, const QString &listName, int index);

// A copy of a label as it is now: picture, geometry, colours, font, border, alignment,
// caption and tooltip, under the same parent.
QLabel *cloneElement(const QLabel &original);

// A control array: element 0 comes from the window's design, further elements are created at
// run time as copies of element 0 as it is at that moment, start invisible and live as long as
// their window. Elements are created in ascending order without gaps.
template <class Element>
class ElementList
{
public:
    ElementList(const QString &name, Element *first) : m_name(name)
    {
        tagElement(*first, m_name, 0);
        m_elements.push_back(first);
    }

    int count() const { return static_cast<int>(m_elements.size()); }
    Element &operator[](int index) const
    {
        Q_ASSERT(index >= 0 && index < count());
        return *m_elements[static_cast<std::size_t>(index)];
    }

    Element &create(int index)
    {
        Q_ASSERT(index == count());
        Element *element = cloneElement(*m_elements.front());
        element->setVisible(false);
        tagElement(*element, m_name, index);
        m_elements.push_back(element);
        return *element;
    }

private:
    QString m_name;
    std::vector<Element *> m_elements; // owned by their window through the parent chain
};
