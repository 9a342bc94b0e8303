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
    explicit CanvasWidget(QWidget* parent = nullptr);
    ~CanvasWidget() override;

    // The canvas's device context. Whatever is drawn on it is shown at the
    // next repaint of the widget, which this call schedules.
    HDC Canvas();
    const QImage& CanvasImage() const { return image_; }

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
    void SystemPaint();

    QImage image_;
    std::unique_ptr<RasterDC> dc_;
};
