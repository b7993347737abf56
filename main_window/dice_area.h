// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QWidget>

#include <span>

// The main window's client area: the black tray `Shape1` behind the row of dice, and the roll
// button below it. For assistive technology it is one element whose name states the last throw;
// the face pictures, most of them covered by others, are not offered as pictures of their own.
class DiceArea : public QWidget
{
    Q_OBJECT

public:
    // The tray, in the area's coordinates.
    static constexpr QRect Tray{0, 0, 289, 49};

    explicit DiceArea(QWidget *parent = nullptr);

    // The faces of the last throw in die order; none before the first throw of a game. A screen
    // reader hears the change.
    void setLastThrow(std::span<const qint16> faces);

signals:
    // The context menu was asked for over the tray (never with the mouse over the roll button),
    // or from the keyboard anywhere in the area.
    void trayMenuRequested(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};

// What a screen reader says by itself, wherever the keyboard is: an element with the role of a
// notification that shows itself again for every message. It has one pixel, paints nothing and
// takes neither the focus nor the mouse, so nobody sees it.
class Announcement : public QWidget
{
    Q_OBJECT

public:
    explicit Announcement(QWidget *parent);

    void announce(const QString &text);
    QString text() const { return accessibleName(); }

protected:
    void paintEvent(QPaintEvent *) override {}
};

// "Letzter Wurf: 5, 3 – Augensumme 8", "Letzter Wurf: 5" with one die, "Noch kein Wurf".
QString lastThrowText(std::span<const qint16> faces);

// What is said after a move: the last throw, and for a move of more than one throw how many
// were thrown and how many the game has now.
QString moveAnnouncement(std::span<const qint16> faces, qint64 throwsDone, qint64 throwsSoFar);

// Teaches Qt's accessibility how to present the dice area and the roll button; once per program.
void installMainWindowAccessibility();
