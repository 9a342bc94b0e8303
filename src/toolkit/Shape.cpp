#include "toolkit/Shape.h"

#include <QPainter>

TShape::TShape(QWidget* parent) : QWidget(parent) {}

void TShape::SetBrushColor(const QColor& colour)
{
    brush_ = colour;
    update();
}

void TShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(Qt::black);
    painter.setBrush(brush_);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
