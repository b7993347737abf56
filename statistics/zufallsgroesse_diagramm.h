// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "chart_accessibility.h"

#include <QList>
#include <QWidget>

class QKeyEvent;
class QPaintEvent;
class QResizeEvent;
class QPainter;
class ZufallsgroesseModel;

// The bars of the table: the observed relative frequency of every value beside its exact
// probability. One routine paints the screen, the images, the SVG file and the printout. Left
// and Right walk the bars for the keyboard and a screen reader.
class ZDiagramm : public QWidget, public WalkedChart
{
    Q_OBJECT

public:
    explicit ZDiagramm(const ZufallsgroesseModel &model, QWidget *parent = nullptr);

    void setTitle(const QString &title);
    // Paints the chart at `size` in its logical coordinates, with vector operations only.
    void paintChart(QPainter &painter, QSizeF size) const;
    // What a screen reader says of the current bar.
    QString barText(int row) const;
    // After the model changed.
    void refresh();
    int currentElement() const override { return m_current; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void announce();
    // One element "ZBalken" a bar, over its column, named as a screen reader reads it.
    void placeBars();
    // Where the bars stand in a chart of `size`.
    static QRectF plotArea(QSizeF size);

    const ZufallsgroesseModel &m_model;
    QString m_title;
    int m_current = 0;
    QList<QWidget *> m_bars;
};
