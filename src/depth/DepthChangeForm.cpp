#include "depth/DepthChangeForm.h"

#include "depth/DepthDialogState.h"
#include "toolkit/FixedDialog.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

TDepthChangeForm::TDepthChangeForm(QWidget* owner) : QDialog(owner)
{
    SetUpFixedDialog(*this, QStringLiteral("Anzahl der Farben ändern"), 301, 118);
    ColorBox = new QComboBox(this); // a list to choose from, no typing
    ColorBox->setGeometry(16, 16, 265, 21);
    for (std::string_view item : kColorBoxItems)
        ColorBox->addItem(QString::fromUtf8(item.data(), qsizetype(item.size())));
    Label1 =
        new QLabel(QStringLiteral("Info: Je mehr Farben, desto größer der Speicherbedarf!"), this);
    Label1->setGeometry(16, 48, 265, 25);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Bevel1 = new QFrame(this); // its top edge only: a line across the dialog
    Bevel1->setGeometry(0, 76, 301, 2);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry(62, 88, 83, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    CancelBtn = new QPushButton(QStringLiteral("A&bbrechen"), this);
    CancelBtn->setGeometry(150, 88, 89, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}
