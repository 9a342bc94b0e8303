// The picture viewer "Bild betrachten...": the working image at a zoom of
// 5 to 9000 %, panned by dragging or the wheel, printed, or opened in the
// desktop's application for its file. Only the visible part of the zoomed
// picture box is ever drawn, so memory stays bounded by the window.
#pragma once

#include "display/ViewRules.h"
#include "imagora/DibRecord.h"

#include <QDialog>

#include <string>

class PaintBox;
class QPushButton;
class QScrollBar;
class QSpinBox;

class TViewPicForm final : public QDialog {
    Q_OBJECT
public:
    explicit TViewPicForm(QWidget* parent = nullptr);

    // The picture shown; it shares the caller's pixels and is never freed here.
    TDibRecord ViewDib{};
    std::string PicFileName; // the file the picture came from; may be empty
    bool Dragging = false;
    int DragX = 0, DragY = 0; // the press point, in box pixels

    QPushButton* ReadyBtn = nullptr;
    QPushButton* PrintBrn = nullptr;
    QPushButton* OpenBtn = nullptr;
    QSpinBox* ZoomEd = nullptr;
    QWidget* ScrollBox1 = nullptr;
    // The visible part of the picture box; the box itself is BoxSize() large.
    PaintBox* PaintBox1 = nullptr;
    QScrollBar* HorzScrollBar = nullptr;
    QScrollBar* VertScrollBar = nullptr;

    // The picture box's size: the zoomed picture once painted.
    ZoomedSize BoxSize() const { return box_; }

    void PaintBox1Paint();
    void ZoomEdChange();
    // X and Y in box pixels.
    void PaintBox1MouseDown(int X, int Y);
    void PaintBox1MouseMove(int X, int Y);
    void PaintBox1MouseUp();
    void FormMouseWheelDown();
    void FormMouseWheelUp();
    void OpenBtnClick();
    void PrintBrnClick();

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the scroll bars the box needs and sets their ranges.
    void UpdateScrollBars();
    // After a change of the box's size: new scroll ranges, and a new paint.
    void ResizeBox();
    void FormMouseWheel(QWheelEvent* event);

    ZoomedSize box_{105, 105};
};
