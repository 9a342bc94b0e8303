// The scan bed of the scan dialog: the preview scan drawn over the whole bed
// and the scan area as a rubber band that the user drags with the mouse.
#pragma once

#include "imagora/DibRecord.h"

#include <QImage>
#include <QRectF>
#include <QWidget>

#include <functional>

// A copy of a 1-, 8- or 24-bit picture as a QImage.
QImage DibToImage(const TDibRecord& dib);

class TScanPreview final : public QWidget {
    Q_OBJECT
public:
    explicit TScanPreview(QWidget* parent = nullptr);

    // The bed's width to height, from the scan area's ranges.
    void SetBedAspect(double aspect);
    // A preview scan of the whole bed.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    // The scan area in fractions of the bed (0..1 both ways); an empty
    // rectangle when the scanner has no scan area to choose.
    void SetArea(const QRectF& area);
    QRectF Area() const { return area_; }
    // Where the bed is drawn in the widget.
    QRect BedRect() const;

    // A new area the user dragged, in fractions of the bed.
    std::function<void(const QRectF& area)> OnAreaChosen;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointF ToBed(const QPoint& p) const;

    double aspect_ = 1;
    QImage picture_;
    QRectF area_;
    bool dragging_ = false;
    QPointF dragStart_;
    QRectF areaBefore_;
};
