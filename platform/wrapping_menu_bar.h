// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QVBoxLayout;

// A menu bar that continues on a further row when the window is too narrow for all its items.
// QMenuBar alone would hide the items that do not fit behind an extension button, where nobody
// looks for "Ende".

//
// From the keyboard the rows are one bar: Alt (tapped alone) or F10 highlights the first item,
// Left and Right walk every item of every row in order and wrap around at the ends, Return
// triggers an item and Return or Down opens a menu, Escape goes back to where the focus was.
// Each row on its own would only walk its own items.
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

    // The item highlighted for the keyboard; null while the keyboard is elsewhere.
    QAction *keyboardItem() const { return m_keyboardItem; }
    // The row that shows `item`; null for an item not in the bar.
    QMenuBar *rowOf(QAction *item) const;
    // Opens the item's menu, or triggers an item without one, as Return does.
    void openOrTrigger(QAction *item);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QMenuBar *newRow();
    void wrap(int width);
    void watchWindow();
    void enterKeyboardMode();
    void leaveKeyboardMode(bool restoreFocus);
    void highlight(QAction *item);

    QList<QAction *> m_items; // in their order, menus as their menu actions
    std::vector<QMenuBar *> m_rows;
    QVBoxLayout *m_layout;
    int m_wrappedWidth = -1;

    QAction *m_keyboardItem = nullptr;
    QPointer<QWidget> m_focusBefore; // gets the focus back when the keyboard leaves the bar
    QPointer<QWidget> m_watchedWindow;
    bool m_altAlone = false; // Alt is down and no other key or button came since
};
