#include "geometry/ResizeForm.h"

#include "toolkit/FixedDialog.h"
#include "toolkit/SpinEdit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace {
// The client area: room for the controls at the forms' design font.
constexpr int kWidth = 205;
constexpr int kHeight = 166;

TSpinEdit* SizeEdit(const char* subject, QWidget* parent)
{
    auto* edit = new TSpinEdit(subject, parent);
    edit->SetRange({kMinResizeSide, kMaxResizeSide, 0});
    return edit;
}

// A side as the field holds it, when it is one a picture can have.
std::optional<int> Side(const TSpinEdit* edit)
{
    const std::optional<long double> side = edit->ValidValue();
    return side ? std::optional<int>(int(*side)) : std::nullopt;
}
} // namespace

TResizeForm::TResizeForm(QWidget* owner) : TStoredDialog(QStringLiteral("TResizeForm"), owner)
{
    SetUpFixedDialog(*this, QStringLiteral("Größe verändern"), kWidth, kHeight);

    RxLabel1 = new QLabel(QStringLiteral("Neue Breite:"), this);
    BreitEdit = SizeEdit("Die Breite", this);
    Label1 = new QLabel(QStringLiteral("Pixel"), this);
    RxLabel2 = new QLabel(QStringLiteral("Neue Höhe:"), this);
    HochEdit = SizeEdit("Die Höhe", this);
    Label2 = new QLabel(QStringLiteral("Pixel"), this);
    SverhCheck = new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), this);
    SverhCheck->setChecked(true);
    InterpolCheck = new QCheckBox(QStringLiteral("Farbwerte interpolieren"), this);
    InterpolCheck->setChecked(true);
    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);

    connect(BreitEdit, &TSpinEdit::valueChanged, this, [this] { BreitEditChange(); });
    connect(HochEdit, &TSpinEdit::valueChanged, this, [this] { HochEditChange(); });
    connect(SverhCheck, &QCheckBox::clicked, this, [this] { SverhCheckClick(); });
    connect(OkBtn, &QPushButton::clicked, this, [this] {
        if (FieldsFit({BreitEdit, HochEdit}))
            accept();
    });
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
    int width = int(BreitEdit->value()), height = int(HochEdit->value());
    if (SverhCheck->isChecked()) {
        // Only a side that the other truly follows is left out, so that the
        // picture here gets exactly the size the fields show.
        const bool byWidth = height == LinkedSide(width, BaseWidth, BaseHeight);
        const bool byHeight = width == LinkedSide(height, BaseHeight, BaseWidth);
        if (byHeight && (heightSetLast_ || !byWidth))
            width = 0;
        else if (byWidth)
            height = 0;
    }
    return ResizeChoice{width, height, InterpolCheck->isChecked()};
}

void TResizeForm::Link(const TSpinEdit* edited, int base, int otherBase, TSpinEdit* other)
{
    if (!SverhCheck->isChecked() || LinkGuard) {
        LinkGuard = false;
        return;
    }
    // A side the user is still typing, or one the dialog will refuse, says
    // nothing about the other.
    const std::optional<int> side = Side(edited);
    if (!side)
        return;
    LinkGuard = true;
    other->setValue(LinkedSide(*side, base, otherBase));
    // Writing the value the field holds raises no change that would clear
    // the guard; cleared here, the next edit links again.
    LinkGuard = false;
}

void TResizeForm::BreitEditChange()
{
    heightSetLast_ = heightSetLast_ && LinkGuard;
    Link(BreitEdit, BaseWidth, BaseHeight, HochEdit);
}

void TResizeForm::HochEditChange()
{
    heightSetLast_ = heightSetLast_ || !LinkGuard;
    Link(HochEdit, BaseHeight, BaseWidth, BreitEdit);
}

void TResizeForm::SverhCheckClick()
{
    BreitEditChange();
}
