// The scan page: choosing the scanner, the scanner's own dialog, and the
// scanned picture arriving as the new working image.
#include "app/MainUnit.h"

#include "app/PageFrame.h"
#include "display/DrawFitted.h"
#include "quorscan/Quorscan.h"
#include "toolkit/ImageBtn.h"
#include "toolkit/PaintBox.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QVBoxLayout>

#include <ctime>

QWidget* TMainForm::BuildScanPage()
{
    QWidget* content = nullptr;
    QWidget* page =
        MakePage(&content, QStringLiteral("Scanner - Motiv über TWAIN-Scanner einscannen"),
                 QStringLiteral("Foto einscannen..."), QStringLiteral(":/images/side-scan.svg"));
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* buttons = new QWidget(content);
    buttons->setFixedHeight(49);
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(8, 4, 8, 4);
    TSetupBtn = MakeImageButton(
        buttons, "scan-setup",
        QStringLiteral(
            "Klicken Sie hier, um das Gerät zu wählen, von dem das Bild geholt werden soll"));
    TSetupBtn->OnClick = [this] { TSetupBtnClick(); };
    ScanBtn = MakeImageButton(
        buttons, "scan",
        QStringLiteral("Klicken Sie hier, um das Benutzerinterface des Gerätes zu starten"));
    ScanBtn->OnClick = [this] { ScanBtnClick(); };
    row->addWidget(TSetupBtn);
    row->addWidget(ScanBtn);
    row->addStretch(1);
    layout->addWidget(buttons);

    ScanScrollBox = new QScrollArea(content);
    ScanScrollBox->setWidgetResizable(true); // the paint box covers the whole box
    SetBackground(ScanScrollBox->viewport(), kWorkspace);
    ScanPaintBox = new PaintBox;
    ScanPaintBox->OnPaint = [this] { ScanPaintBoxPaint(); };
    ScanPaintBox->setToolTip(
        QStringLiteral("Das aktuelle Bild; ein neuer Scan tritt an seine Stelle"));
    ScanScrollBox->setWidget(ScanPaintBox);
    layout->addWidget(ScanScrollBox, 1);
    return page;
}

void TMainForm::TSetupBtnClick()
{
    TWAIN_SelectScanner(this);
}

void TMainForm::ScanBtnClick()
{
    TWAIN_ScanImage(this);
}

void TMainForm::WMUser2(std::intptr_t wParam)
{
    TDibRecord scanned;
    GetScanedDib(&scanned, wParam);
    if (!scanned.Bits)
        return;
    // A step of its own, so undo brings back the picture from before the
    // scan with its file name and camera data; the scan has neither.
    InstallScanned(scanned, SelectedScanner(), std::time(nullptr));
    FindScannedPhoto();
}

void TMainForm::ScanPaintBoxPaint()
{
    DrawFitted(ScanPaintBox->Canvas(), ScanPaintBox->width(), ScanPaintBox->height(), WorkDib);
}
