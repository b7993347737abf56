// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QKeyEvent;
class QPaintEvent;
class QPainter;
class ZufallsgroesseModel;

// The bars of the table: the observed relative frequency of every value beside its exact
// probability. One routine paints the screen, the images, the SVG file and the printout. Left
// and Right walk the bars for the keyboard and a screen reader.
class ZDiagramm : public QWidget
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

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void announce();
    // Where the bars stand in a chart of `size`.
    static QRectF plotArea(QSizeF size);

    const ZufallsgroesseModel &m_model;
    QString m_title;
    int m_current = 0;
};
