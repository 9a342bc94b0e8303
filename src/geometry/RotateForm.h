// The rotate dialog: direction, a fixed or free angle, and the background
// colour of the corners a free angle uncovers. It knows values only: the
// crop page reads its choice and carries it out.
#pragma once

#include "geometry/RotateChoice.h"
#include "toolkit/StoredDialog.h"

class QColorDialog;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TShape;
class TSpinEdit;

class TRotateForm final : public TStoredDialog {
    Q_OBJECT
public:
    explicit TRotateForm(QWidget* owner);

    QGroupBox* GroupBox1 = nullptr; // direction
    QRadioButton* RotLeftCheck = nullptr;
    QRadioButton* RotRightCheck = nullptr;
    QGroupBox* GroupBox2 = nullptr; // angle
    QRadioButton* Grad90Check = nullptr;
    QRadioButton* Grad180Check = nullptr;
    QRadioButton* Grad270Check = nullptr;
    QRadioButton* FreiGradCheck = nullptr;
    TSpinEdit* GradEdit = nullptr;
    TShape* Shape1 = nullptr; // shows the background colour
    QPushButton* ColorBtn = nullptr;
    QColorDialog* ColorDialog1 = nullptr;
    QPushButton* OkBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    void ColorBtnClick();

    // What the controls say now.
    RotateChoice Choice() const;
};
