// The crop page as a user meets it: the selection drawn over the picture
// and dragged with the mouse, and each command with its dialog, its message
// and its undo.
#include "MainWindowFixture.h"
#include "PictureSupport.h"
#include "SyntheticScan.h"

#include "DialogAnswer.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "imagora/DibWriter.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Shape.h"
#include "toolkit/SpinEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>

namespace {

// A 1000 x 600 picture in a 385 x 300 paint box: shown 385 x 231.
class CropPage : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form->CropProportionBox->setCurrentIndex(0); // free, whatever a test before chose
        form->PageControl2->setCurrentWidget(form->TabSheet1);
        ShowWindow();
        form->RetuschPaint->setFixedSize(385, 300);
        QApplication::processEvents();
        Install(MakeDib(1000, 600, 24, [](int x, int y) { return RGB(x % 200, y % 200, 99); }));
    }
    void Install(const TDibRecord& picture)
    {
        form->InstallOpened(picture, {});
        deldib(before.dib);
        MakeDIBCopy(form->WorkDib, before.dib);
    }
    void Mouse(QEvent::Type type, int x, int y, Qt::MouseButtons held)
    {
        const QPointF at(x, y);
        QMouseEvent event(type, at, form->RetuschPaint->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                          Qt::NoModifier);
        QApplication::sendEvent(form->RetuschPaint, &event);
    }
    // Hover, press, move through the points with the button held, release
    // at the last one.
    void Drag(std::initializer_list<std::pair<int, int>> path)
    {
        const auto first = *path.begin(), last = *(path.end() - 1);
        Mouse(QEvent::MouseMove, first.first, first.second, Qt::NoButton);
        Mouse(QEvent::MouseButtonPress, first.first, first.second, Qt::LeftButton);
        for (auto [x, y] : path)
            Mouse(QEvent::MouseMove, x, y, Qt::LeftButton);
        Mouse(QEvent::MouseButtonRelease, last.first, last.second, Qt::NoButton);
    }
    QRgb Canvas(int x, int y) const { return form->RetuschPaint->CanvasImage().pixel(x, y); }
    bool Unchanged() const { return SamePixels(form->WorkDib, before.dib); }
    bool UndoBringsBack()
    {
        form->UndoBtn1->click();
        return Unchanged() &&
               form->CropRect == (RECT{0, 0, DibWidth(before.dib), DibHeight(before.dib)});
    }

    void TearDown() override
    {
        deldib(before.dib);
        before.dib = TDibRecord{};
        MainWindowTest::TearDown();
    }

    DibGuard before; // the working image as installed
};

TEST_F(CropPage, TheSelectionIsDrawnDottedBlackOverWhite)
{
    Drag({{100, 100}, {200, 150}, {300, 200}});
    ASSERT_EQ(form->CropBoxRect, (RECT{100, 100, 300, 200}));
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    EXPECT_EQ(Canvas(100, 100), black);
    EXPECT_EQ(Canvas(101, 100), white);
    EXPECT_EQ(Canvas(102, 100), black);
    EXPECT_TRUE(Canvas(300, 150) == black || Canvas(300, 150) == white);
    EXPECT_TRUE(Canvas(150, 200) == black || Canvas(150, 200) == white);
    EXPECT_NE(Canvas(150, 150), black) << "the inside shows the picture";
    // What the handlers drew matches a fresh paint.
    const QImage drawn = form->RetuschPaint->CanvasImage().copy();
    form->RetuschPaint->Repaint();
    EXPECT_EQ(form->RetuschPaint->CanvasImage(), drawn);
}

TEST_F(CropPage, AChosenProportionShapesTheSelectionAndIsRemembered)
{
    const QImage whole = form->RetuschPaint->CanvasImage().copy();
    form->CropProportionBox->setCurrentIndex(7); // 16:9
    EXPECT_EQ(form->CropRect, (RECT{0, 19, 1000, 581}));
    EXPECT_EQ(form->CropSizeLabel->text(), QStringLiteral("Auswahl: 1000 × 562 Pixel"));
    EXPECT_EQ(Canvas(50, 3), ((whole.pixel(50, 3) >> 1) & 0x7F7F7F) | 0xFF000000) << "dimmed";
    EXPECT_EQ(Canvas(50, 100), whole.pixel(50, 100)) << "as it was inside";
    Drag({{100, 100}, {100, 120}}); // inside: moved down as far as it goes
    EXPECT_EQ(form->CropRect, (RECT{0, 38, 1000, 600}));
    Drag({{100, 3}, {300, 200}}); // beside it: a new band, as wide as the pointer asks
    EXPECT_EQ(form->CropRect, (RECT{260, 8, 995, 421}));
    EXPECT_EQ(form->CropSizeLabel->text(), QStringLiteral("Auswahl: 735 × 413 Pixel"));

    form = std::make_unique<TMainForm>(programDir + "kelvora");
    EXPECT_EQ(form->CropProportionBox->currentText(), QStringLiteral("16:9"));
    EXPECT_EQ(form->CropProportion, 7);
}

TEST_F(CropPage, ADragReleasedOutsideTheBoxEndsInsideThePicture)
{
    Drag({{100, 100}, {250, 180}, {900, 700}});
    EXPECT_EQ(form->CropDragMode, 0);
    EXPECT_EQ(form->CropRect, (RECT{260, 260, 995, 595}));
    // Moving back without the button changes nothing but the cursor.
    Mouse(QEvent::MouseMove, 150, 150, Qt::NoButton);
    EXPECT_EQ(form->CropRect, (RECT{260, 260, 995, 595}));
    Mouse(QEvent::MouseMove, 383, 150, Qt::NoButton);
    EXPECT_EQ(form->RetuschPaint->cursor().shape(), Qt::SizeHorCursor);
    Mouse(QEvent::MouseMove, 382, 227, Qt::NoButton);
    EXPECT_EQ(form->RetuschPaint->cursor().shape(), Qt::SizeFDiagCursor);
    Mouse(QEvent::MouseMove, 200, 50, Qt::NoButton);
    EXPECT_EQ(form->RetuschPaint->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(CropPage, CuttingTakesTheSelectionAndUndoBringsThePictureBack)
{
    Drag({{100, 100}, {300, 200}});
    form->CutBtn->click();
    ASSERT_EQ(DibWidth(form->WorkDib), 519);
    ASSERT_EQ(DibHeight(form->WorkDib), 259) << "rows 260 to 518: Round(200 / 0.385) = 519";
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), getpixel(before.dib, 260, 260));
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 519, 259}));
    EXPECT_TRUE(SamePixels(Before(), before.dib));
    EXPECT_TRUE(UndoBringsBack());
    // Right after the page is shown the whole picture is selected: the cut
    // is a copy, and still an undo step.
    form->CutBtn->click();
    EXPECT_TRUE(Unchanged());
    EXPECT_NE(form->WorkDib.Bits, before->Bits);
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(CropPage, AFoundPhotoIsSelectedAndLevelledAndCutInTwoSteps)
{
    TDibRecord scan;
    MakeScan({.width = 620, .height = 877, .photoWidth = 300, .photoHeight = 200, .degrees = 6},
             scan);
    Install(scan);
    const int steps = form->Steps().Count();
    form->FindPhotoBtn->click();
    const RECT& r = form->CropRect; // 300 x 200 turned by 6 degrees: 319 x 230 upright
    EXPECT_NEAR(r.right - r.left, 319, 3);
    EXPECT_NEAR(r.bottom - r.top, 230, 3);
    EXPECT_EQ(form->Steps().Count(), steps) << "finding changes nothing";
    EXPECT_EQ(form->CropSizeLabel->text().toStdString(),
              "Auswahl: " + SelectionSizeText(r)) << "the selection is drawn";
    form->StraightenBtn->click();
    EXPECT_EQ(form->Steps().Count(), steps + 2);
    EXPECT_NEAR(DibWidth(form->WorkDib), 300, 3);
    EXPECT_NEAR(DibHeight(form->WorkDib), 200, 2);
    form->UndoBtn1->click();
    EXPECT_GT(DibWidth(form->WorkDib), 620) << "the turn alone, larger than the scan";
    EXPECT_TRUE(UndoBringsBack());

    Install(MakeDib(300, 200, 24, [](int, int) { return RGB(255, 255, 255); }));
    form->FindPhotoBtn->click();
    form->StraightenBtn->click();
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[1].text,
              "Auf dem Bild hebt sich kein Foto von einem gleichmäßigen Hintergrund ab.");
    EXPECT_TRUE(Unchanged());
}

TEST_F(CropPage, CuttingNothingSaysSo)
{
    Drag({{100, 100}}); // a plain click
    form->CutBtn->click();
    form->CropRect = RECT{0, 0, 2000, 900}; // left over from a larger picture
    form->CutBtn->click();
    ASSERT_EQ(boxes->shown.size(), 2u);
    for (const MessageBoxRequest& box : boxes->shown) {
        EXPECT_EQ(box.text, "Sie müssen zuerst einen Bereich mit der Maus aufziehen!");
        EXPECT_EQ(box.caption, "Fehler");
        EXPECT_EQ(box.flags, MB_OK | MB_ICONERROR);
    }
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(form->ProgressPercent, 0);
}

TEST_F(CropPage, AFileOpenedWhileThePageShowsIsSelectedWhole)
{
    Drag({{100, 100}, {300, 200}});
    DibGuard small(MakeDib(50, 40, 8, [](int, int) { return 3u; }));
    ASSERT_TRUE(WriteDibFile(small.dib, programDir + "small.bmp"));
    form->OpenFileNow(programDir + "small.bmp");
    boxes->shown.clear(); // the question about the unsaved picture, answered with OK
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 50, 40}));
    form->CutBtn->click();
    EXPECT_TRUE(boxes->shown.empty());
    EXPECT_EQ(DibWidth(form->WorkDib), 50);
}

TEST_F(CropPage, MirroringKeepsTheSelection)
{
    Drag({{100, 100}, {300, 200}});
    const RECT selection = form->CropRect;
    form->MirrorVBtn->click();
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), getpixel(before.dib, 0, 599));
    form->MirrorHBtn->click();
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), getpixel(before.dib, 999, 599));
    EXPECT_EQ(form->CropRect, selection);
    form->UndoBtn1->click();
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), getpixel(before.dib, 0, 599)) << "one step back";
}

TEST_F(CropPage, RotatingRunsTheDialogsChoice)
{
    DialogAnswer quarter([](QDialog& d) {
        auto& rotate = dynamic_cast<TRotateForm&>(d);
        rotate.RotRightCheck->setChecked(true);
        rotate.Grad90Check->setChecked(true);
        return int(QDialog::Accepted);
    });
    form->RotateBtn->click();
    ASSERT_EQ(quarter.shown, 1);
    ASSERT_EQ(DibWidth(form->WorkDib), 600);
    EXPECT_EQ(getpixel(form->WorkDib, 599, 0), getpixel(before.dib, 0, 0));
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 600, 1000}));
    EXPECT_TRUE(UndoBringsBack());
}

TEST_F(CropPage, AFreeTurnFillsTheCornersWithThePickedColour)
{
    Install(MakeDib(100, 100, 24, [](int, int) { return RGB(1, 2, 3); }));
    DialogAnswer user([](QDialog& d) {
        if (auto* colour = dynamic_cast<QColorDialog*>(&d)) {
            colour->setCurrentColor(QColor(200, 100, 50));
            return int(QDialog::Accepted);
        }
        auto& rotate = dynamic_cast<TRotateForm&>(d);
        rotate.FreiGradCheck->setChecked(true);
        rotate.GradEdit->setValue(45);
        rotate.ColorBtn->click();
        return int(QDialog::Accepted);
    });
    form->RotateBtn->click();
    ASSERT_EQ(DibWidth(form->WorkDib), 142);
    EXPECT_EQ(PixelColour(form->WorkDib, 0, 0), (Rgb{200, 100, 50}));
    EXPECT_EQ(PixelColour(form->WorkDib, 71, 71), (Rgb{1, 2, 3}));
    EXPECT_EQ(form->RotateForm->Shape1->BrushColor(), QColor(200, 100, 50))
        << "the colour stays in the dialog";
}

TEST_F(CropPage, CancellingADialogChangesAndRedrawsNothing)
{
    DialogAnswer cancel([](QDialog&) { return int(QDialog::Rejected); });
    form->RetuschPaint->Canvas()->FillRect(RECT{10, 10, 11, 11});
    const QImage drawn = form->RetuschPaint->CanvasImage().copy();
    form->RotateBtn->click();
    form->SizeBtn->click();
    form->TabSheet1->findChild<QPushButton*>(QStringLiteral("FTiefeBtn"))->click();
    EXPECT_EQ(cancel.shown, 3);
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(form->RetuschPaint->CanvasImage(), drawn);
}

TEST_F(CropPage, ResizingTakesTheLinkedSizes)
{
    DialogAnswer half([](QDialog& d) {
        auto& resize = dynamic_cast<TResizeForm&>(d);
        EXPECT_EQ(resize.BreitEdit->value(), 1000);
        EXPECT_EQ(resize.HochEdit->value(), 600);
        EXPECT_TRUE(resize.InterpolCheck->isEnabled());
        resize.BreitEdit->setValue(500);
        return int(QDialog::Accepted);
    });
    form->SizeBtn->click();
    EXPECT_EQ(DibWidth(form->WorkDib), 500);
    EXPECT_EQ(DibHeight(form->WorkDib), 300);
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 500, 300}));
    EXPECT_TRUE(UndoBringsBack());
}

TEST_F(CropPage, FailedAllocationsChangeNothing)
{
    Drag({{100, 100}, {300, 200}});
    DialogAnswer ok([](QDialog& d) {
        if (auto* resize = dynamic_cast<TResizeForm*>(&d))
            resize->BreitEdit->setValue(2000);
        else
            dynamic_cast<TRotateForm&>(d).FreiGradCheck->setChecked(true);
        return int(QDialog::Accepted);
    });
    const RECT selection = form->CropRect;
    const int steps = form->Steps().Count();
    {
        AllocationLimit limit(100000);
        form->CutBtn->click();
        form->MirrorHBtn->click();
        form->RotateBtn->click();
        form->SizeBtn->click();
    }
    EXPECT_TRUE(Unchanged());
    EXPECT_EQ(form->Steps().Count(), steps) << "no step taken";
    EXPECT_EQ(form->CropRect, selection);
    // each says so; resizing in words of its own
    ASSERT_EQ(boxes->shown.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(boxes->shown[std::size_t(i)].text, "Fehler: nicht genug Speicher für diese Operation!");
    EXPECT_EQ(boxes->shown[3].text, "Fehler beim Ändern der Größe...");
    EXPECT_EQ(boxes->shown[3].caption, "");
    EXPECT_EQ(boxes->shown[3].flags, MB_OK | MB_ICONERROR);
}

} // namespace
