// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QVBoxLayout;

// A menu bar that continues on a further row when the window is too narrow for all its items,
// as the classic Windows menu bar does. QMenuBar alone would hide the items that do not fit
// behind an extension button, where nobody looks for "Ende".
class WrappingMenuBar : public QWidget
{
    Q_OBJECT

public:
    explicit WrappingMenuBar(QWidget *parent = nullptr);

    void addAction(QAction *action);
    QMenu *addMenu(const QString &title);

    // The rows as laid out for the current width.
    const std::vector<QMenuBar *> &rows() const { return m_rows; }

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QMenuBar *newRow();
    void wrap(int width);

    QList<QAction *> m_items; // in their order, menus as their menu actions
    std::vector<QMenuBar *> m_rows;
    QVBoxLayout *m_layout;
    int m_wrappedWidth = -1;
};
