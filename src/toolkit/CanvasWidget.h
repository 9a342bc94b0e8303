// A widget that shows a persistent canvas the size of the widget. A system
// paint (shown, resized, Repaint()) erases the canvas to the parent's
// background colour and runs the owner's paint handler on it; handlers called
// directly draw over what is there. Drawing goes through an HDC over the
// canvas, so the same code draws on screen, in tests and on paper.
#pragma once

#include "gdi/RasterDC.h"

#include <QImage>
#include <QWidget>

#include <memory>

class CanvasWidget : public QWidget {
    Q_OBJECT
public:
    // Device: one canvas pixel per screen pixel, so pictures are sharp on
    // HiDPI screens. Logical: one per logical pixel, shown enlarged there;
    // enough for bars and bevels.
    enum class Resolution { Device, Logical };

    explicit CanvasWidget(Resolution resolution, QWidget* parent = nullptr);
    ~CanvasWidget() override;

    // The canvas's device context, in canvas pixels. It reports 96 dpi times
    // CanvasScale(), so layout worked out in logical pixels can be drawn at
    // the canvas's resolution (gdi/LogicalPixels.h). Whatever is drawn on it
    // reaches the screen as soon as the event being handled is done, however
    // the drawing was started and whatever repainted in between.
    HDC Canvas();
    const QImage& CanvasImage() const { return image_; }
    // Canvas pixels per logical pixel.
    qreal CanvasScale() const;

    // Erases and redraws the canvas at once, then shows it; a hidden widget
    // waits until it is shown.
    void Repaint();
    // Shows the canvas at once, as drawn (no erase, no handler).
    void ShowCanvasNow();

    // The colour the canvas is erased to: the parent's background.
    QColor EraseColor() const;

protected:
    // Runs after the erase in every system paint.
    virtual void PaintCanvas() = 0;

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QSize CanvasSize() const;
    void SystemPaint();
    // Schedules one update for when the current event is done: a repaint
    // that happens while a handler is still drawing (the progress panel
    // paints the whole window's pending updates at once) shows only part of
    // the drawing.
    void ShowWhenDone();

    Resolution resolution_;
    QImage image_;
    std::unique_ptr<RasterDC> dc_;
    bool showPending_ = false;
};
