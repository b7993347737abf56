// SPDX-License-Identifier: GPL-3.0-or-later
#include "wrapping_menu_bar.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QVBoxLayout>

WrappingMenuBar::WrappingMenuBar(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    newRow();
}

QMenuBar *WrappingMenuBar::newRow()
{
    auto *row = new QMenuBar(this);
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
    updateGeometry();
}
