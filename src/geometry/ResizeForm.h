// The resize dialog: the new width and height, linked by the picture's
// proportions when wanted, and whether colours are interpolated. It knows
// values only: the crop page hands in the picture's size and reads the
// choice.
#pragma once

#include "geometry/Resize.h"
#include "toolkit/StoredDialog.h"

class QCheckBox;
class QLabel;
class QPushButton;
class TSpinEdit;

class TResizeForm final : public TStoredDialog {
    Q_OBJECT
public:
    explicit TResizeForm(QWidget* owner);

    QLabel* RxLabel1 = nullptr;
    TSpinEdit* BreitEdit = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* RxLabel2 = nullptr;
    TSpinEdit* HochEdit = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* SverhCheck = nullptr;
    QCheckBox* InterpolCheck = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    bool LinkGuard = false; // set while one size field writes the other
    int BaseWidth = 0;      // the picture's size: its proportions
    int BaseHeight = 0;

    // The picture about to be resized; interpolation is offered only where
    // it can be done (true colour), and keeps its tick either way.
    void SetPicture(int width, int height, bool interpolationPossible);
    // What the controls say now; within the sides a picture can have once OK
    // has let the dialog close. With the proportions kept, the side set last
    // is given and the other is 0.
    ResizeChoice Choice() const;

    void BreitEditChange();
    void HochEditChange();
    void SverhCheckClick();

private:
    // The edited side's field, of a picture side base, sets the other field,
    // of otherBase, when the proportions are kept.
    void Link(const TSpinEdit* edited, int base, int otherBase, TSpinEdit* other);

    bool heightSetLast_ = false; // the user's last edit was the height's
};
