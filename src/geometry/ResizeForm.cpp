#include "geometry/ResizeForm.h"

#include "toolkit/FixedDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
// The client area: room for the controls at the forms' design font.
constexpr int kWidth = 205;
constexpr int kHeight = 166;

QSpinBox* SizeEdit(QWidget* parent)
{
    auto* edit = new QSpinBox(parent);
    edit->setRange(kMinResizeSide, kMaxResizeSide);
    edit->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    return edit;
}
} // namespace

TResizeForm::TResizeForm(QWidget* owner) : TStoredDialog(QStringLiteral("TResizeForm"), owner)
{
    SetUpFixedDialog(*this, QStringLiteral("Größe verändern"), kWidth, kHeight);

    RxLabel1 = new QLabel(QStringLiteral("Neue Breite:"), this);
    BreitEdit = SizeEdit(this);
    Label1 = new QLabel(QStringLiteral("Pixel"), this);
    RxLabel2 = new QLabel(QStringLiteral("Neue Höhe:"), this);
    HochEdit = SizeEdit(this);
    Label2 = new QLabel(QStringLiteral("Pixel"), this);
    SverhCheck = new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), this);
    SverhCheck->setChecked(true);
    InterpolCheck = new QCheckBox(QStringLiteral("Farbwerte interpolieren"), this);
    InterpolCheck->setChecked(true);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);

    connect(BreitEdit, &QSpinBox::valueChanged, this, [this] { BreitEditChange(); });
    connect(HochEdit, &QSpinBox::valueChanged, this, [this] { HochEditChange(); });
    connect(SverhCheck, &QCheckBox::clicked, this, [this] { SverhCheckClick(); });
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* sizes = new QGridLayout;
    sizes->addWidget(RxLabel1, 0, 0);
    sizes->addWidget(BreitEdit, 0, 1);
    sizes->addWidget(Label1, 0, 2);
    sizes->addWidget(RxLabel2, 1, 0);
    sizes->addWidget(HochEdit, 1, 1);
    sizes->addWidget(Label2, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sizes);
    layout->addWidget(SverhCheck);
    layout->addWidget(InterpolCheck);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    Storage.Add(SverhCheck, "checked", QStringLiteral("SverhCheck.Checked"));
    Storage.Add(InterpolCheck, "checked", QStringLiteral("InterpolCheck.Checked"));
    Storage.RestoreProps();
}

void TResizeForm::SetPicture(int width, int height, bool interpolationPossible)
{
    InterpolCheck->setEnabled(interpolationPossible);
    BaseWidth = width;
    BaseHeight = height;
    BreitEdit->setValue(width);
    HochEdit->setValue(height);
}

ResizeChoice TResizeForm::Choice() const
{
    return ResizeChoice{BreitEdit->value(), HochEdit->value(), InterpolCheck->isChecked()};
}

void TResizeForm::Link(QSpinBox* other, int value)
{
    if (!SverhCheck->isChecked() || LinkGuard) {
        LinkGuard = false;
        return;
    }
    LinkGuard = true;
    other->setValue(value);
    // Writing the value the field holds raises no change that would clear
    // the guard; cleared here, the next edit links again.
    LinkGuard = false;
}

void TResizeForm::BreitEditChange()
{
    Link(HochEdit, LinkedSide(BreitEdit->value(), BaseWidth, BaseHeight));
}

void TResizeForm::HochEditChange()
{
    Link(BreitEdit, LinkedSide(HochEdit->value(), BaseHeight, BaseWidth));
}

void TResizeForm::SverhCheckClick()
{
    BreitEditChange();
}
