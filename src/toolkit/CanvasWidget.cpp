#include "toolkit/CanvasWidget.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

CanvasWidget::CanvasWidget(Resolution resolution, QWidget* parent)
    : QWidget(parent), resolution_(resolution)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CanvasWidget::~CanvasWidget() = default;

qreal CanvasWidget::CanvasScale() const
{
    return resolution_ == Resolution::Device ? devicePixelRatioF() : 1.0;
}

QSize CanvasWidget::CanvasSize() const
{
    const qreal scale = CanvasScale();
    return QSize(qRound(width() * scale), qRound(height() * scale)).expandedTo(QSize(1, 1));
}

HDC CanvasWidget::Canvas()
{
    if (image_.size() != CanvasSize())
        SystemPaint();
    ShowWhenDone();
    return dc_.get();
}

void CanvasWidget::ShowWhenDone()
{
    if (showPending_)
        return;
    showPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            showPending_ = false;
            update();
        },
        Qt::QueuedConnection);
}

QColor CanvasWidget::EraseColor() const
{
    const QWidget* p = parentWidget() ? parentWidget() : this;
    return p->palette().color(p->backgroundRole());
}

void CanvasWidget::SystemPaint()
{
    const QSize wanted = CanvasSize();
    if (image_.size() != wanted) {
        const qreal scale = CanvasScale();
        image_ = QImage(wanted, QImage::Format_RGB32);
        image_.setDevicePixelRatio(scale);
        dc_ =
            std::make_unique<RasterDC>(reinterpret_cast<std::uint32_t*>(image_.bits()),
                                       image_.width(), image_.height(), int(image_.bytesPerLine()));
        const int dpi = int(std::lround(96 * scale));
        dc_->SetResolution(dpi, dpi);
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

void CanvasWidget::paintEvent(QPaintEvent*)
{
    if (image_.size() != CanvasSize()) {
        // The screen's pixel ratio changed under the canvas. Handlers never
        // run inside a paint event (their progress reports repaint), so the
        // new canvas is painted right after it; until then the old one
        // stands in, stretched.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (image_.size() != CanvasSize())
                    SystemPaint();
            },
            Qt::QueuedConnection);
        QPainter(this).drawImage(rect(), image_);
        return;
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_); // clipped to the region to paint
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
