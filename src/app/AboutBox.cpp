#include "app/AboutBox.h"

#include "app/MainUnit.h"
#include "toolkit/Fonts.h"
#include "toolkit/Shell.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QString InsertYear(QString text, int year)
{
    const qsizetype at = text.indexOf(QLatin1String("XXXX"));
    if (at >= 0)
        text.replace(at, 4, QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0')));
    return text;
}

TAboutBox::TAboutBox(QWidget* owner) : QDialog(owner)
{
    setWindowTitle(QStringLiteral("Info"));
    setFixedSize(664, 453);
    auto* layout = new QHBoxLayout(this);

    auto* picture = new QLabel(this);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/about.svg")));
    layout->addWidget(picture);

    auto* text = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("Garantiert ein Original Norvane Programm"), this);
    title->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 12, true));
    text->addWidget(title);
    CopyrightLabel = new QLabel(
        QStringLiteral("Kelvora 1.0 \u00A9 XXXX Norvane. Alle Rechte vorbehalten."), this);
    text->addWidget(CopyrightLabel);
    text->addSpacing(12);
    for (const char* line :
         {"Norvane Software", "Fotos optimieren - einfach, schnell und genau.",
          "Fragen und Anregungen nehmen wir gern entgegen:", "Besuchen Sie uns im Internet."})
        text->addWidget(new QLabel(QString::fromUtf8(line), this));
    text->addStretch(1);
    BitBtnXP1 = new QPushButton(QString::fromUtf8(kProductWebAddress), this);
    BitBtnXP1->setCursor(Qt::PointingHandCursor);
    connect(BitBtnXP1, &QPushButton::clicked, this, [this] { BitBtnXP1Click(); });
    text->addWidget(BitBtnXP1);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
    text->addWidget(BitBtn1, 0, Qt::AlignRight);
    layout->addLayout(text, 1);

    FormCreate();
}

void TAboutBox::FormCreate()
{
    CopyrightLabel->setText(InsertYear(CopyrightLabel->text(), QDate::currentDate().year()));
}

void TAboutBox::BitBtnXP1Click()
{
    ShellOpen(kProductWebAddress);
}
