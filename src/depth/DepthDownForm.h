// The reduction options: palette, method and the system colours. The form
// mirrors a DepthDownState, which holds the enabling rules.
#pragma once

#include "depth/DepthDialogState.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TDepthDownForm final : public QDialog {
    Q_OBJECT
public:
    explicit TDepthDownForm(QWidget* owner);

    QGroupBox* PaletteGroup = nullptr;
    QRadioButton* OptPalCheck = nullptr;
    QRadioButton* StdPalCheck = nullptr;
    QGroupBox* MethodGroup = nullptr;
    QRadioButton* NearCheck = nullptr;
    QRadioButton* DitherCheck = nullptr;
    QRadioButton* FSErrCheck = nullptr;
    QGroupBox* OptionsGroup = nullptr;
    QCheckBox* WinColCheck = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    bool Target8Bit() const { return state_.Target8Bit; }

    // Both palette buttons run the same rule when they become checked.
    void OptPalCheckClick();
    void StdPalCheckClick();

    // Sets the enabled states for a reduction to target bits.
    void Prepare(int target);
    // The choices as OK hands them over.
    DepthDownChoice Choice();

private:
    // The user's clicks into the state, and the state back onto the controls.
    void Pull();
    void Push();

    DepthDownState state_;
};
