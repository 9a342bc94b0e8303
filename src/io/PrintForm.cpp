#include "io/PrintForm.h"

#include "display/StretchDrawDib.h"
#include "gdi/LogicalPixels.h"
#include "toolkit/Fonts.h"
#include "toolkit/PaintBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace {

QSpinBox* PercentEdit(QWidget* parent, int x, int y)
{
    auto* edit = new QSpinBox(parent);
    edit->setGeometry(x, y, 89, 22);
    edit->setRange(1, 100);
    edit->setValue(50);
    return edit;
}

QPushButton* Button(const QString& caption, QWidget* parent, int x, int width)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(x, 296, width, 25);
    return button;
}

} // namespace

TPrintForm::TPrintForm(QWidget* parent)
    : QDialog(parent), FormStorage1(QStringLiteral("TPrintForm"))
{
    setWindowTitle(QStringLiteral("Bild drucken..."));
    setFont(DesignFont(QStringLiteral("MS Sans Serif"), 8));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(427, 328);

    (new QLabel(QStringLiteral("Vorschau:"), this))->move(16, 0);
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setGeometry(16, 24, 200, 225);
    PrintPaintBox = new PaintBox(panel);
    PrintPaintBox->setGeometry(4, 17, 190, 190);
    PrintPaintBox->OnPaint = [this] { PrintPaintBoxPaint(); };
    DpiLabel = new QLabel(this);
    DpiLabel->setGeometry(16, 250, 401, 14);

    auto* size = new QGroupBox(QStringLiteral("Druckgröße"), this);
    size->setGeometry(232, 24, 185, 129);
    UseFullCheck = new QRadioButton(QStringLiteral("Seite voll nutzen"), size);
    UseFullCheck->move(16, 24);
    UseFullCheck->setChecked(true);
    UserdefCheck = new QRadioButton(QStringLiteral("Benutzerdefiniert"), size);
    UserdefCheck->move(16, 48);
    (new QLabel(QStringLiteral("Breite in %:"), size))->move(16, 75);
    (new QLabel(QStringLiteral("Höhe in %:"), size))->move(16, 99);
    BreitEdit = PercentEdit(size, 80, 72);
    HochEdit = PercentEdit(this, 312, 120); // on the form, over the group

    auto* options = new QGroupBox(QStringLiteral("Druckoptionen"), this);
    options->setGeometry(232, 160, 185, 89);
    SverhCheck = new QCheckBox(QStringLiteral("Seitenverhältnis beibehalten"), options);
    SverhCheck->move(8, 24);
    SverhCheck->setChecked(true);
    ZentrCheck = new QCheckBox(QStringLiteral("Zentrierte Ausgabe"), options);
    ZentrCheck->move(8, 48);
    ZentrCheck->setChecked(true);

    auto* bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(0, 264, 427, 16);
    OkButton = Button(QStringLiteral("&OK"), this, 29, 89);
    OkButton->setDefault(true);
    PrintSetupBtn = Button(QStringLiteral("Drucker &einrichten..."), this, 125, 177);
    CancelButton = Button(QStringLiteral("A&bbrechen"), this, 309, 89);

    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(PrintSetupBtn, &QPushButton::clicked, this, [this] { PrintSetupBtnClick(); });
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(UseFullCheck), static_cast<QAbstractButton*>(SverhCheck),
          static_cast<QAbstractButton*>(ZentrCheck)})
        connect(b, &QAbstractButton::clicked, this, [this] { PrintPaintBoxPaint(); });
    connect(UserdefCheck, &QAbstractButton::clicked, this, [this] { UserdefCheckClick(); });
    connect(BreitEdit, &QSpinBox::valueChanged, this, [this] { BreitEditChange(); });
    connect(HochEdit, &QSpinBox::valueChanged, this, [this] { HochEditChange(); });

    // The check states are not kept: every print starts with the defaults.
    FormStorage1.Add(BreitEdit, "value", QStringLiteral("BreitEdit.Value"));
    FormStorage1.Add(HochEdit, "value", QStringLiteral("HochEdit.Value"));
    LinkGuard = true; // restoring is no edit of the user's
    FormStorage1.RestoreProps();
    LinkGuard = false;
}

TPrintForm::~TPrintForm()
{
    FormStorage1.SaveProps();
}

PrintOptions TPrintForm::Choice() const
{
    return {UseFullCheck->isChecked(), BreitEdit->value(), HochEdit->value(),
            SverhCheck->isChecked(), ZentrCheck->isChecked()};
}

void TPrintForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TPrintForm::FormShow()
{
    BreitEditChange();
}

void TPrintForm::PrintPaintBoxPaint()
{
    HDC dc = PrintPaintBox->Canvas();
    // The layout is in the box's logical pixels, the canvas in the screen's.
    const auto device = [dc](int logical) { return LogicalToDevice(dc, logical); };
    const PlacedRect page =
        PreviewPage(PrintPaintBox->width(), PrintPaintBox->height(), Page.width, Page.height);
    dc->SetBrush(RGB(255, 255, 255));
    dc->SetPen(RGB(255, 255, 255));
    dc->Rectangle(device(page.x), device(page.y), device(page.x + page.width),
                  device(page.y + page.height));
    if (PrintDib.Bits) {
        const int w = DibWidth(PrintDib), h = DibHeight(PrintDib);
        const PlacedRect r = PlaceOnPage(page.width, page.height, w, h, Choice());
        StretchDrawDib(dc, device(page.x + r.x), device(page.y + r.y), device(r.width),
                       device(r.height), PrintDib, 0, 0, w, h, true, SRCCOPY, true, nullptr);
    }
    ShowPrintDpi();
    BreitEditChange();
}

void TPrintForm::ShowPrintDpi()
{
    const int w = DibWidth(PrintDib), h = DibHeight(PrintDib);
    const PlacedRect r = PlaceOnPage(Page.width, Page.height, w, h, Choice());
    const int dpi =
        PrintDib.Bits ? EffectivePrintDpi(w, h, r.width, r.height, Page.dpiX, Page.dpiY) : 0;
    const bool low = dpi < kLowPrintDpi;
    DpiLabel->setText(QStringLiteral("Druckauflösung: %1 dpi%2")
                          .arg(dpi)
                          .arg(low ? QStringLiteral(" (gering)") : QString()));
    DpiLabel->setStyleSheet(low ? QStringLiteral("color: #a00000; font-weight: bold;") : QString());
}

void TPrintForm::BreitEditChange()
{
    if (LinkGuard)
        return;
    LinkGuard = true;
    if (SverhCheck->isChecked())
        HochEdit->setValue(LinkedHeightPercent(BreitEdit->value(), DibWidth(PrintDib),
                                               DibHeight(PrintDib), Page.width, Page.height));
    PrintPaintBox->Repaint();
    LinkGuard = false;
}

void TPrintForm::HochEditChange()
{
    if (LinkGuard)
        return;
    LinkGuard = true;
    if (SverhCheck->isChecked())
        BreitEdit->setValue(LinkedWidthPercent(HochEdit->value(), DibWidth(PrintDib),
                                               DibHeight(PrintDib), Page.width, Page.height));
    PrintPaintBox->Repaint();
    LinkGuard = false;
}

void TPrintForm::UserdefCheckClick()
{
    if (!UserdefCheck->isChecked())
        return;
    BreitEditChange();
    PrintPaintBox->Repaint();
}

void TPrintForm::PrintSetupBtnClick()
{
    if (OnPrinterSetup)
        Page = OnPrinterSetup();
    PrintPaintBox->Repaint();
}
