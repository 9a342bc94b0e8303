#include "toolkit/CanvasWidget.h"

#include <QPaintEvent>
#include <QPainter>

CanvasWidget::CanvasWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CanvasWidget::~CanvasWidget() = default;

HDC CanvasWidget::Canvas()
{
    if (image_.size() != size())
        SystemPaint();
    update();
    return dc_.get();
}

QColor CanvasWidget::EraseColor() const
{
    const QWidget* p = parentWidget() ? parentWidget() : this;
    return p->palette().color(p->backgroundRole());
}

void CanvasWidget::SystemPaint()
{
    if (image_.size() != size()) {
        image_ = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        dc_ =
            std::make_unique<RasterDC>(reinterpret_cast<std::uint32_t*>(image_.bits()),
                                       image_.width(), image_.height(), int(image_.bytesPerLine()));
    }
    image_.fill(EraseColor());
    PaintCanvas();
}

void CanvasWidget::Repaint()
{
    if (!isVisible())
        return; // a hidden widget paints when it is shown
    SystemPaint();
    repaint();
}

void CanvasWidget::ShowCanvasNow()
{
    repaint();
}

void CanvasWidget::paintEvent(QPaintEvent* event)
{
    if (image_.size() != size())
        SystemPaint();
    QPainter painter(this);
    painter.drawImage(event->rect(), image_, event->rect());
}

void CanvasWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SystemPaint();
}

void CanvasWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SystemPaint();
}
