#include "geometry/RotateForm.h"

#include "toolkit/FixedDialog.h"
#include "toolkit/ModalDialog.h"
#include "toolkit/Shape.h"
#include "toolkit/SpinEdit.h"

#include <QColorDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
// The client area: room for the controls at the forms' design font.
constexpr int kWidth = 265;
constexpr int kHeight = 232;
} // namespace

TRotateForm::TRotateForm(QWidget* owner) : TStoredDialog(QStringLiteral("TRotateForm"), owner)
{
    SetUpFixedDialog(*this, QStringLiteral("Bild rotieren..."), kWidth, kHeight);

    GroupBox1 = new QGroupBox(QStringLiteral("Richtung"), this);
    RotLeftCheck = new QRadioButton(QStringLiteral("Links"), GroupBox1);
    RotRightCheck = new QRadioButton(QStringLiteral("Rechts"), GroupBox1);
    RotLeftCheck->setChecked(true);
    auto* direction = new QVBoxLayout(GroupBox1);
    direction->addWidget(RotLeftCheck);
    direction->addWidget(RotRightCheck);
    direction->addStretch(1);

    GroupBox2 = new QGroupBox(QStringLiteral("Winkel in Grad"), this);
    Grad90Check = new QRadioButton(QStringLiteral("90"), GroupBox2);
    Grad180Check = new QRadioButton(QStringLiteral("180"), GroupBox2);
    Grad270Check = new QRadioButton(QStringLiteral("270"), GroupBox2);
    FreiGradCheck = new QRadioButton(QStringLiteral("Frei:"), GroupBox2);
    FreiGradCheck->setChecked(true);
    GradEdit = new TSpinEdit("Der Winkel", GroupBox2);
    GradEdit->SetRange({kMinFreeDegrees, kMaxFreeDegrees, kFreeDegreeDecimals});
    GradEdit->setValue(45.0);
    auto* angle = new QVBoxLayout(GroupBox2);
    angle->addWidget(Grad90Check);
    angle->addWidget(Grad180Check);
    angle->addWidget(Grad270Check);
    auto* free = new QHBoxLayout;
    free->addWidget(FreiGradCheck);
    free->addWidget(GradEdit, 1);
    angle->addLayout(free);

    Shape1 = new TShape(this);
    Shape1->setFixedSize(41, 25);
    ColorBtn = new QPushButton(QStringLiteral("Hintergrundfarbe..."), this);
    connect(ColorBtn, &QPushButton::clicked, this, [this] { ColorBtnClick(); });
    ColorDialog1 = new QColorDialog(this);

    OkBtn = new QPushButton(QStringLiteral("OK"), this);
    OkBtn->setDefault(true);
    connect(OkBtn, &QPushButton::clicked, this, [this] {
        if (FieldsFit({GradEdit}))
            accept();
    });
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(GroupBox1);
    groups->addWidget(GroupBox2);
    auto* colour = new QHBoxLayout;
    colour->addWidget(Shape1);
    colour->addWidget(ColorBtn);
    colour->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(colour);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    // The background colour lives as long as the dialog; it is not stored.
    Storage.Add(FreiGradCheck, "checked", QStringLiteral("FreiGradCheck.Checked"));
    Storage.Add(Grad180Check, "checked", QStringLiteral("Grad180Check.Checked"));
    Storage.Add(Grad270Check, "checked", QStringLiteral("Grad270Check.Checked"));
    Storage.Add(Grad90Check, "checked", QStringLiteral("Grad90Check.Checked"));
    Storage.Add(GradEdit, "value", QStringLiteral("GradEdit.Value"));
    Storage.Add(RotLeftCheck, "checked", QStringLiteral("RotLeftCheck.Checked"));
    Storage.Add(RotRightCheck, "checked", QStringLiteral("RotRightCheck.Checked"));
    Storage.RestoreProps();
}

void TRotateForm::ColorBtnClick()
{
    ColorDialog1->setCurrentColor(Shape1->BrushColor());
    if (ShowModal(*ColorDialog1) == QDialog::Accepted)
        Shape1->SetBrushColor(ColorDialog1->currentColor());
}

RotateChoice TRotateForm::Choice() const
{
    RotateChoice c;
    c.Right = RotRightCheck->isChecked();
    c.Angle = Grad90Check->isChecked()    ? RotateAngle::Deg90
              : Grad180Check->isChecked() ? RotateAngle::Deg180
              : Grad270Check->isChecked() ? RotateAngle::Deg270
                                          : RotateAngle::Free;
    c.Degrees = GradEdit->ExtendedValue();
    const QColor fill = Shape1->BrushColor();
    c.Background =
        RGB(std::uint8_t(fill.red()), std::uint8_t(fill.green()), std::uint8_t(fill.blue()));
    return c;
}
