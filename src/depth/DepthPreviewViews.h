// The small views of the reduction dialog: one choice's preview with its
// figures under it, and the whole picture on which a click picks the part
// the previews show.
#pragma once

#include "depth/DepthPreview.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

// A reduced part as an image of any depth's colours, one pixel for each.
QImage PartImage(const TDibRecord& dib);

class TDepthPreviewTile final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kPartWidth = 120, kPartHeight = 90; // logical pixels
    TDepthPreviewTile(QWidget* parent, int bits, const DepthDownChoice& choice);

    const DepthDownChoice Choice;
    bool HasPart() const { return !part_.isNull(); }
    bool HasFigures() const { return figures_.has_value(); }

    // The part of the picture at region, reduced.
    void ShowPart(const QImage& part, const RECT& region);
    RECT PartRegion() const { return partRegion_; }
    void ShowFigures(const DepthFigures& figures);
    void SetChosen(bool chosen);

    std::function<void()> Clicked;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    const int bits_;
    QImage part_;
    RECT partRegion_{};
    std::optional<DepthFigures> figures_;
    bool chosen_ = false;
};

class TDepthOverview final : public QWidget {
    Q_OBJECT
public:
    explicit TDepthOverview(QWidget* parent);

    // The picture fitted into the view, and the part the previews show.
    void SetPicture(const TDibRecord& picture);
    void SetRegion(const RECT& region);

    // The picture point under a click, in picture pixels.
    std::function<void(int x, int y)> Picked;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    QRectF Placed() const; // where the picture lies in the view
    QImage thumb_;
    int width_ = 0, height_ = 0;
    RECT region_{};
};
