// The picture viewer "Bild betrachten...": the working image at a zoom of
// 5 to 9000 %, panned by dragging or the wheel, zoomed in steps by + and -
// or Ctrl and the wheel, fitted to the window, printed, or opened in the
// desktop's application for its file. Given a before picture, V switches to
// it at the same zoom and place, and T splits the view: the left half of one
// picture beside the right half of the other, with one zoom and one pan.
// Only the visible part of the zoomed picture box is ever drawn, so memory
// stays bounded by the window. Its size comes back at the next start.
#pragma once

#include "display/ViewRules.h"
#include "imagora/DibRecord.h"
#include "toolkit/StoredDialog.h"

#include <string>

class PaintBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QSpinBox;

class TViewPicForm final : public TStoredDialog {
    Q_OBJECT
    // What is stored: the size the window has when it is not maximised, and
    // whether it is.
    Q_PROPERTY(QSize NormalSize READ NormalSize WRITE SetNormalSize)
    Q_PROPERTY(bool Maximized READ isMaximized WRITE SetMaximized)
public:
    explicit TViewPicForm(QWidget* parent = nullptr);

    // The picture shown; it shares the caller's pixels and is never freed here.
    TDibRecord ViewDib{};
    std::string PicFileName; // the file the picture came from; may be empty
    // The picture before the user's work, in register with ViewDib; shared
    // like it. Empty: nothing to switch to.
    TDibRecord BeforeDib{};
    bool Dragging = false;
    int DragX = 0, DragY = 0; // the press point, in box pixels

    QPushButton* ReadyBtn = nullptr;
    QPushButton* PrintBrn = nullptr;
    QPushButton* OpenBtn = nullptr;
    QSpinBox* ZoomEd = nullptr;
    // beyond the zoom field: the zoom at which the whole picture fits
    QPushButton* FitBtn = nullptr;
    QWidget* ScrollBox1 = nullptr;
    // The visible part of the picture box; the box itself is BoxSize() large.
    PaintBox* PaintBox1 = nullptr;
    QScrollBar* HorzScrollBar = nullptr;
    QScrollBar* VertScrollBar = nullptr;
    // Over the right half of the view while it is split.
    PaintBox* SplitBox = nullptr;
    // In the status bar: which picture shows where, and the split's switch.
    QLabel* ShownLabel = nullptr;
    QPushButton* SplitBtn = nullptr;

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
    void FitBtnClick();
    // Starts a showing with the before picture (when there is one) or the
    // working image; split stays as it was, given a before picture.
    void ShowBefore(bool before);
    // V: the other picture, at the same zoom and place; in a split view the
    // halves change sides.
    void SwitchBeforeAfter();
    // T and the split button.
    void SplitBtnClick();
    bool ShowingBefore() const { return showBefore_; }
    bool IsSplit() const { return split_; }
    // Zooms steps up or down the ladder, keeping the picture's point at
    // view position at (in PaintBox1's pixels) where it is.
    void ZoomAt(int steps, QPoint at);
    // The same about the middle of the view, as + and - do.
    void ZoomInOut(int steps);

    QSize NormalSize() const;
    // Within the screen, whatever the screen was when the size was stored.
    void SetNormalSize(const QSize& size);
    void SetMaximized(bool maximized);

protected:
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the scroll bars the box needs and sets their ranges.
    void UpdateScrollBars();
    // After a change of the box's size: new scroll ranges, and a new paint.
    void ResizeBox();
    void FormMouseWheel(QWheelEvent* event);
    // The picture on PaintBox1: the whole view, or its left half when split.
    const TDibRecord& Front() const;
    const TDibRecord& Back() const;
    // Draws picture into box's canvas as the box pixels from offset (logical,
    // from the view's left edge) on show it.
    void DrawView(PaintBox* box, const TDibRecord& picture, int offset);
    void SplitBoxPaint();
    void PlaceSplitBox();
    void ShowState();

    ZoomedSize box_{105, 105};
    bool showBefore_ = false; // when split: the halves changed sides
    bool split_ = false;
    int wheelZoom_ = 0; // Ctrl and wheel turned short of a whole step, in eighths of a degree
};
