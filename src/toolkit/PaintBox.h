// The paint box: a canvas widget whose drawing and mouse events belong to the
// form that holds it. Its canvas has the screen's resolution; mouse positions
// are in logical pixels, as the widget's size is.
#pragma once

#include "toolkit/CanvasWidget.h"

#include <functional>

class PaintBox final : public CanvasWidget {
    Q_OBJECT
public:
    using MouseHandler = std::function<void(Qt::MouseButton button, int x, int y)>;

    explicit PaintBox(QWidget* parent = nullptr);

    std::function<void()> OnPaint;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;
    // The pointer has left the box.
    std::function<void()> OnMouseLeave;

protected:
    void PaintCanvas() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
