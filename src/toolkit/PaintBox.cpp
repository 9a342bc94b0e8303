#include "toolkit/PaintBox.h"

#include <QMouseEvent>

PaintBox::PaintBox(QWidget* parent) : CanvasWidget(Resolution::Device, parent) {}

void PaintBox::PaintCanvas()
{
    if (OnPaint)
        OnPaint();
}

namespace {
void Dispatch(const PaintBox::MouseHandler& handler, QMouseEvent* event)
{
    if (handler) {
        const QPoint p = event->position().toPoint();
        handler(event->button(), p.x(), p.y());
    }
}
} // namespace

void PaintBox::mousePressEvent(QMouseEvent* event)
{
    Dispatch(OnMouseDown, event);
}
void PaintBox::mouseMoveEvent(QMouseEvent* event)
{
    Dispatch(OnMouseMove, event);
}
void PaintBox::mouseReleaseEvent(QMouseEvent* event)
{
    Dispatch(OnMouseUp, event);
}
void PaintBox::leaveEvent(QEvent*)
{
    if (OnMouseLeave)
        OnMouseLeave();
}
