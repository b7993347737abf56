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
    // The context menu was asked for over the tray (never over the roll button).
    void trayMenuRequested(const QPoint &globalPos);

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};

// "Letzter Wurf: 5, 3 – Augensumme 8", "Letzter Wurf: 5" with one die, "Noch kein Wurf".
QString lastThrowText(std::span<const qint16> faces);

// Teaches Qt's accessibility how to present the dice area and the roll button; once per program.
void installMainWindowAccessibility();
