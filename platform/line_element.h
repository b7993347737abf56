// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QWidget>

// A straight line control with two end points in twips of its parent's client area, snapped to
// whole pixels and read back as applied. The widget covers just the line's bounding box.
class LineElement : public QWidget
{
    Q_OBJECT

public:
    explicit LineElement(QWidget *parent = nullptr);

    float x1() const;
    float y1() const;
    float x2() const;
    float y2() const;
    void setX1(float twips);
    void setY1(float twips);
    void setX2(float twips);
    void setY2(float twips);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void place();

    QPoint m_p1; // pixels in the parent
    QPoint m_p2;

    friend LineElement *cloneElement(const LineElement &original);
};

LineElement *cloneElement(const LineElement &original);
