// The scan page: the buttons, a scanned picture arriving by message, and a
// scan from the test scanner through the scanner's dialog.
#include "MainWindowFixture.h"

#include "DialogAnswer.h"
#include "SaneTestBackend.h"
#include "SyntheticScan.h"
#include "app/PageFrame.h"
#include "quorscan/Quorscan.h"
#include "quorscan/ScanDialog.h"
#include "quorscan/ScannedPictures.h"
#include "quorscan/ScannerListDialog.h"
#include "toolkit/ImageBtn.h"
#include "toolkit/PaintBox.h"
#include "toolkit/WindowMessages.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollArea>
#include <QSettings>
#include <QTabWidget>
#include <QTreeWidget>

namespace {

class ScanPage : public MainWindowTest {
protected:
    void SetUp() override
    {
        UseSaneTestBackend();
        QSettings().remove("quorscan");
        QSettings().remove("TScanDialog");
        MainWindowTest::SetUp();
    }

    // Puts a picture in the working image as a step, as an editing command does.
    void Edit(TDibRecord picture) { form->InstallScanned(picture, {}, 1); }

    void Arrive(std::intptr_t id)
    {
        PostWindowMessage(form.get(), WM_USER + 1, id);
        QApplication::processEvents();
    }
};

// Answers the scan dialog by scanning, and the device list by taking test:0.
int ScanAsAUser(QDialog& d)
{
    if (auto* list = dynamic_cast<TScannerListDialog*>(&d)) {
        list->DeviceList->setCurrentItem(list->DeviceList->topLevelItem(0));
        return QDialog::Accepted;
    }
    auto& scan = dynamic_cast<TScanDialog&>(d);
    scan.StartScan();
    QElapsedTimer timer;
    timer.start();
    while (scan.Scanning() && timer.elapsed() < 20000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return scan.result();
}

TEST_F(ScanPage, ButtonsAndPictureBox)
{
    EXPECT_EQ(form->TSetupBtn->toolTip(),
              "Klicken Sie hier, um das Gerät zu wählen, von dem das Bild geholt werden soll");
    EXPECT_EQ(form->ScanBtn->toolTip(),
              "Klicken Sie hier, um das Benutzerinterface des Gerätes zu starten");
    EXPECT_FALSE(form->ScanPaintBox->toolTip().isEmpty());
    EXPECT_EQ(form->TSetupBtn->parentWidget()->height(), 49);
    EXPECT_EQ(form->ScanScrollBox->widget(), form->ScanPaintBox);
    EXPECT_EQ(form->ScanPaintBox->EraseColor(), kWorkspace);
}

TEST_F(ScanPage, ScannedPictureBecomesTheWorkingImageAndUndoBringsBackTheEdit)
{
    Edit(MakeDib(40, 10, 24, [](int, int) { return 0x0000FFu; }));
    const TDibRecord orig = form->OrigDib;
    form->Metadata.exif = {'E', 'x', 'i', 'f', 0, 0};
    Arrive(KeepScannedPicture(MakeDib(10, 40, 8, [](int, int) { return 7u; })));
    EXPECT_EQ(DibWidth(form->WorkDib), 10);
    EXPECT_EQ(getpixel(form->WorkDib, 3, 3), 7u);
    EXPECT_EQ(form->OrigDib.Bits, orig.Bits) << "the before picture stays";
    EXPECT_TRUE(form->FileName.empty());
    EXPECT_TRUE(form->Metadata.exif.empty()) << "the scan is no photo of the camera";

    form->UndoBtn1Click();
    EXPECT_EQ(DibWidth(form->WorkDib), 40);
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), 0x0000FFu);
}

TEST_F(ScanPage, MessageWithoutAPictureChangesNothing)
{
    const TDibRecord before = form->WorkDib;
    Arrive(12345);
    EXPECT_EQ(form->WorkDib.Bits, before.Bits);
    const std::intptr_t id = KeepScannedPicture(MakeDib(5, 5, 24, [](int, int) { return 0u; }));
    Arrive(id);
    const TDibRecord scanned = form->WorkDib;
    Arrive(id); // the same number again: taken already
    EXPECT_EQ(form->WorkDib.Bits, scanned.Bits);
}

TEST_F(ScanPage, NewPictureIsShownWithoutTheOldOneBesideIt)
{
    ShowWindow();
    form->PageControl2->setCurrentWidget(form->TabSheet3);
    form->resize(800, 600);
    QApplication::processEvents();
    Edit(MakeDib(80, 10, 24, [](int, int) { return 0x0000FFu; })); // wide and red
    Arrive(KeepScannedPicture(MakeDib(10, 80, 24, [](int, int) { return 0xFF0000u; })));
    const QImage& canvas = form->ScanPaintBox->CanvasImage();
    const QRgb background = form->ScanPaintBox->EraseColor().rgb();
    int red = 0, blue = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            red += canvas.pixel(x, y) == qRgb(255, 0, 0);
            blue += canvas.pixel(x, y) == qRgb(0, 0, 255);
        }
    EXPECT_EQ(red, 0) << "nothing of the former picture is left";
    EXPECT_GT(blue, 0);
    EXPECT_EQ(canvas.pixel(canvas.width() - 1, 0), background);
}

TEST_F(ScanPage, APhotoOnTheGlassIsTheCropSelectionUntilThePictureChanges)
{
    TDibRecord scan;
    MakeScan({.width = 620, .height = 877, .photoWidth = 300, .photoHeight = 200, .degrees = 6},
             scan);
    Arrive(KeepScannedPicture(scan));
    const auto selectionOnTheCropPage = [&] {
        form->PageControl2->setCurrentWidget(form->TabSheet3);
        form->PageControl2->setCurrentWidget(form->TabSheet1);
        return form->CropRect;
    };
    const RECT found = selectionOnTheCropPage(); // 300 x 200 turned by 6 degrees
    EXPECT_NEAR(found.right - found.left, 319, 3);
    EXPECT_NEAR(found.bottom - found.top, 230, 3);
    EXPECT_EQ(selectionOnTheCropPage().left, found.left) << "offered again on the same scan";

    form->MirrorHBtnClick();
    const RECT whole = selectionOnTheCropPage();
    EXPECT_EQ(whole.right - whole.left, 620) << "a changed picture is selected whole";

    Arrive(KeepScannedPicture(MakeDib(300, 200, 24, [](int, int) { return 0xFFFFFFu; })));
    EXPECT_EQ(selectionOnTheCropPage().right, 300) << "a blank scan is selected whole";
}

TEST_F(ScanPage, ScanFromTheTestScannerEndToEnd)
{
    const int width = DibWidth(form->WorkDib), height = DibHeight(form->WorkDib);
    DialogAnswer answer(ScanAsAUser);
    form->ScanBtnClick(); // no scanner chosen yet: the list comes first
    QApplication::processEvents();
    EXPECT_EQ(answer.shown, 2);
    EXPECT_EQ(SelectedScanner(), "test:0");
    ASSERT_EQ(DibWidth(form->WorkDib), 157) << "80 mm at 50 dpi";
    EXPECT_EQ(DibHeight(form->WorkDib), 196);
    EXPECT_EQ(DibBitCount(form->WorkDib), 8);
    EXPECT_TRUE(boxes->shown.empty());

    form->UndoBtn1Click();
    EXPECT_EQ(DibWidth(form->WorkDib), width);
    EXPECT_EQ(DibHeight(form->WorkDib), height);
}

TEST_F(ScanPage, UnpluggedScannerIsReported)
{
    QSettings().setValue("quorscan/Device", "test:9");
    const TDibRecord before = form->WorkDib;
    form->ScanBtnClick();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_NE(boxes->shown[0].text.find("wurde nicht gefunden"), std::string::npos);
    EXPECT_EQ(form->WorkDib.Bits, before.Bits);
}

} // namespace
