#include "depth/DepthDownForm.h"

#include "toolkit/FixedDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>

namespace {

QGroupBox* MakeGroup(QWidget* parent, const QString& title, int left, int top, int width,
                     int height)
{
    auto* group = new QGroupBox(title, parent);
    group->setGeometry(left, top, width, height);
    return group;
}

// A caption wider than designed (the design font is not everywhere) takes
// the room it needs up to the group's frame.
template <typename Button>
Button* MakeButton(QGroupBox* group, const QString& caption, int left, int top, int width)
{
    auto* button = new Button(caption, group);
    const int room = group->width() - left - 1;
    button->setGeometry(left, top, std::min(std::max(width, button->sizeHint().width()), room), 17);
    return button;
}

} // namespace

TDepthDownForm::TDepthDownForm(QWidget* owner) : QDialog(owner)
{
    SetUpFixedDialog(*this, QStringLiteral("Farbtiefe verkleinern..."), 568, 131);
    PaletteGroup = MakeGroup(this, QStringLiteral("Palette"), 8, 8, 145, 73);
    OptPalCheck =
        MakeButton<QRadioButton>(PaletteGroup, QStringLiteral("&Optimierte Palette"), 16, 16, 113);
    StdPalCheck =
        MakeButton<QRadioButton>(PaletteGroup, QStringLiteral("&Standart-Palette"), 16, 32, 113);
    MethodGroup = MakeGroup(this, QStringLiteral("Methode"), 160, 8, 201, 73);
    NearCheck = MakeButton<QRadioButton>(MethodGroup, QStringLiteral("Am besten &passenste Farbe"),
                                         16, 16, 169);
    DitherCheck = MakeButton<QRadioButton>(
        MethodGroup, QStringLiteral("&Dithering für Standart-Palette"), 16, 32, 169);
    FSErrCheck = MakeButton<QRadioButton>(
        MethodGroup, QStringLiteral("&Floyd-Steinberg Fehlerverteilung"), 16, 48, 169);
    OptionsGroup = MakeGroup(this, QStringLiteral("Optionen"), 368, 8, 185, 73);
    WinColCheck = MakeButton<QCheckBox>(OptionsGroup, QStringLiteral("&Windows Farben einbinden"),
                                        8, 32, 161);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setGeometry(195, 96, 83, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setGeometry(283, 96, 89, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    Push();
    // A radio button's click counts when it checks the button, as the user
    // clicking an unchecked one does; clicking a checked one changes nothing.
    connect(OptPalCheck, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptPalCheckClick();
    });
    connect(StdPalCheck, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            StdPalCheckClick();
    });
}

void TDepthDownForm::OptPalCheckClick()
{
    Pull();
    state_.PaletteClick();
    Push();
}

void TDepthDownForm::StdPalCheckClick()
{
    OptPalCheckClick();
}

void TDepthDownForm::Prepare(int target)
{
    Pull();
    state_.Prepare(target);
    Push();
}

DepthDownChoice TDepthDownForm::Choice()
{
    Pull();
    return state_.Choice();
}

void TDepthDownForm::Pull()
{
    state_.OptPalChecked = OptPalCheck->isChecked();
    state_.MethodChecked = DitherCheck->isChecked()  ? DepthMethod::Ordered
                           : FSErrCheck->isChecked() ? DepthMethod::FloydSteinberg
                                                     : DepthMethod::Nearest;
    state_.WinColChecked = WinColCheck->isChecked();
}

void TDepthDownForm::Push()
{
    const QSignalBlocker blockOpt(OptPalCheck), blockStd(StdPalCheck);
    OptPalCheck->setChecked(state_.OptPalChecked);
    StdPalCheck->setChecked(!state_.OptPalChecked);
    NearCheck->setChecked(state_.MethodChecked == DepthMethod::Nearest);
    DitherCheck->setChecked(state_.MethodChecked == DepthMethod::Ordered);
    FSErrCheck->setChecked(state_.MethodChecked == DepthMethod::FloydSteinberg);
    WinColCheck->setChecked(state_.WinColChecked);
    OptPalCheck->setEnabled(state_.OptPalEnabled);
    StdPalCheck->setEnabled(state_.StdPalEnabled);
    NearCheck->setEnabled(state_.NearEnabled);
    DitherCheck->setEnabled(state_.DitherEnabled);
    FSErrCheck->setEnabled(state_.FSErrEnabled);
    WinColCheck->setEnabled(state_.WinColEnabled);
}
