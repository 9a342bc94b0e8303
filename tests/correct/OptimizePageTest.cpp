#include "MainWindowFixture.h"
#include "UserInput.h"

#include "correct/CorrectionModes.h"
#include "imagora/DibWriter.h"
#include "steps/StepTable.h"
#include "toolkit/PaintBox.h"
#include "toolkit/RadioGroup.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

namespace {

class OptimizePage : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form->PageControl2->setCurrentWidget(form->TabSheet4);
        ShowWindow();
        form->PaintBox1->setFixedSize(401, 329);
        QApplication::processEvents();
        // a mid-grey working image, so a brightness step shows in every channel
        TDibRecord grey = MakeDib(320, 240, 24, [](int, int) { return 0x646464u; });
        form->InstallOpened(grey, {});
    }
    std::uint32_t WorkPixel() { return getpixel(form->WorkDib, 10, 10); }
    int WorkGrey() { return int(WorkPixel() & 0xFF); }
    QRgb GridPixel(int x, int y) { return form->PaintBox1->CanvasImage().pixel(x, y); }
};

TEST_F(OptimizePage, ControlsStartWithBrightnessAndEight)
{
    EXPECT_EQ(form->KModeBox->Count(), 10);
    EXPECT_EQ(form->KModeBox->ItemIndex(), 0);
    EXPECT_EQ(form->KModeBox->title(), QStringLiteral("Korrekturmodus"));
    EXPECT_EQ(form->IntensEd->value(), 8);
    EXPECT_EQ(form->IntensEd->minimum(), 1);
    EXPECT_EQ(form->IntensEd->maximum(), 25);
    EXPECT_EQ(form->IntensEd->singleStep(), 2);
    EXPECT_EQ(form->UndoBtn2->text(), QStringLiteral("Rückgängig"));
}

TEST_F(OptimizePage, AClickAppliesItsCellsStrengthAndCanBeUndone)
{
    form->PaintBox1MouseDown(300, 250); // bottom right: +4 steps of 8
    EXPECT_EQ(WorkPixel(), 0x848484u) << "100 + 32 in every channel";
    EXPECT_EQ(getpixel(Before(), 10, 10), 0x646464u) << "undo holds the picture before";
    form->PaintBox1MouseDown(10, 10); // top left: -32
    EXPECT_EQ(WorkPixel(), 0x646464u);
    EXPECT_EQ(getpixel(Before(), 10, 10), 0x848484u) << "every click is a step";
    form->UndoBtn2->click();
    EXPECT_EQ(WorkPixel(), 0x848484u);
}

TEST_F(OptimizePage, MarginsAndTheLastColumnOfABoxDoNothing)
{
    for (auto [x, y] : {std::pair{1, 50}, std::pair{130, 50}, std::pair{133, 50},
                        std::pair{50, 106}, std::pair{50, 108}, std::pair{397, 330}}) {
        form->PaintBox1MouseDown(x, y);
        EXPECT_EQ(WorkPixel(), 0x646464u) << x << "," << y;
    }
    EXPECT_FALSE(form->Steps().CanUndo()) << "no step taken";
    form->PaintBox1MouseDown(129, 105); // the last pixel inside the first box
    EXPECT_EQ(WorkPixel(), 0x444444u);
}

TEST_F(OptimizePage, TheGridShowsTheNineStrengthsAtTheirCells)
{
    form->PaintBox1->Repaint();
    EXPECT_EQ(GridPixel(2, 2), qRgb(0x44, 0x44, 0x44)) << "-32 at the top left";
    EXPECT_EQ(GridPixel(135 + 10, 111 + 10), qRgb(0x64, 0x64, 0x64)) << "unchanged centre";
    EXPECT_EQ(GridPixel(268 + 128, 220 + 95), qRgb(0x84, 0x84, 0x84)) << "+32, last pixel";
    EXPECT_EQ(GridPixel(1, 1), form->PaintBox1->EraseColor().rgb()) << "margin untouched";
    EXPECT_EQ(GridPixel(2, 98), form->PaintBox1->EraseColor().rgb())
        << "below the 129 x 96 preview";
}

TEST_F(OptimizePage, ModeAndIntensityRebuildTheGridAtOnce)
{
    form->PaintBox1->Repaint();
    form->IntensEd->setValue(25);
    EXPECT_EQ(GridPixel(2, 2), qRgb(0, 0, 0)) << "-100: black";
    form->KModeBox->SetItemIndex(kModeRot);
    form->KModeBoxClick();
    EXPECT_EQ(GridPixel(268 + 5, 220 + 5), qRgb(200, 100, 100)) << "red doubled";
    EXPECT_EQ(GridPixel(2, 2), qRgb(0, 100, 100)) << "red removed";
}

TEST_F(OptimizePage, BeschnittZeigenMarksTheCellsAndIsKeptForTheNextRun)
{
    EXPECT_EQ(form->ClipCheck->text(), QStringLiteral("Beschnitt zeigen"));
    ASSERT_FALSE(form->ClipCheck->isChecked());
    form->PaintBox1->Repaint();
    form->IntensEd->setValue(25);
    form->ClipCheck->click();
    EXPECT_EQ(GridPixel(2, 2), qRgb(0, 0, 255)) << "-100: black, marked blue";
    EXPECT_EQ(GridPixel(135 + 5, 2), qRgb(25, 25, 25)) << "-75 clips nothing";

    form = std::make_unique<TMainForm>(programDir + "kelvora");
    EXPECT_TRUE(form->ClipCheck->isChecked());
    form->ClipCheck->click(); // the other tests start without it
}

TEST_F(OptimizePage, TheHistogramFollowsTheCellUnderTheMouse)
{
    const auto moveTo = [this](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, form->PaintBox1->mapToGlobal(at), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form->PaintBox1, &move);
    };
    const auto histogram = [this] { return form->HistogramBox->CanvasImage().copy(); };
    form->PaintBox1->Repaint();
    const QImage current = histogram();
    const QString currentText = form->HistogramLabel->text();

    moveTo({300, 250}); // +32
    const QImage brighter = histogram();
    EXPECT_NE(brighter, current);
    EXPECT_NE(form->HistogramLabel->text(), currentText);
    form->PaintBox1MouseDown(10, 10); // -32, so the hovered +32 gives back the first picture
    EXPECT_EQ(histogram(), current) << "rebuilt with the grid";
    moveTo({135 + 10, 111 + 10});
    EXPECT_NE(histogram(), current) << "the centre shows the darkened picture";
    moveTo({133, 50}); // between two cells
    EXPECT_EQ(form->HistogramLabel->text(), currentText);
    moveTo({300, 250});
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(form->PaintBox1, &leave);
    EXPECT_EQ(form->HistogramLabel->text(), currentText);
}

TEST_F(OptimizePage, AFileOpenedWhileTheGridShowsRebuildsGridAndPane)
{
    form->PaintBox1->Repaint();
    const std::string path = programDir + "red.bmp";
    {
        DibGuard red(MakeDib(320, 240, 24, [](int, int) { return RGB(200, 0, 0); }));
        ASSERT_TRUE(WriteDibFile(red.dib, path, nullptr));
    }
    form->OpenFileNow(path); // as a file dropped on the window
    EXPECT_EQ(GridPixel(135 + 10, 111 + 10), qRgb(200, 0, 0)) << "centre of the new grid";
    const QImage& pane = form->PaintBox2->CanvasImage();
    EXPECT_EQ(pane.pixel(pane.width() / 2, 5), qRgb(200, 0, 0)) << "the small pane too";
}

TEST_F(OptimizePage, KeypadDigitsClickTheCellsWhereTheyLie)
{
    const struct {
        int digit, step;
    } keys[] = {{7, -4}, {8, -3}, {9, -2}, {4, -1}, {5, 0}, {6, 1}, {1, 2}, {2, 3}, {3, 4}};
    for (const auto& k : keys) {
        const int before = WorkGrey();
        PressKey(form.get(), Qt::Key_0 + k.digit, Qt::KeypadModifier);
        EXPECT_EQ(WorkGrey(), before + 8 * k.step) << "keypad " << k.digit;
        EXPECT_EQ(int(getpixel(Before(), 10, 10) & 0xFF), before) << "keypad " << k.digit;
    }
    const int before = WorkGrey();
    PressKey(form.get(), Qt::Key_3); // the digits above the letters are no cells
    EXPECT_EQ(WorkGrey(), before);
}

TEST_F(OptimizePage, AKeypadCellTooSmallToClickDoesNothing)
{
    form->PaintBox1->setFixedSize(14, 14); // cells of 4: no box can be hit
    QApplication::processEvents();
    PressKey(form.get(), Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(WorkPixel(), 0x646464u);
    EXPECT_FALSE(form->Steps().CanUndo());
}

TEST_F(OptimizePage, TheIntensityFieldTakesKeypadDigitsWhenItHasTheFocus)
{
    form->IntensEd->setFocus();
    QApplication::setActiveWindow(form.get());
    form->IntensEd->findChild<QLineEdit*>()->selectAll();
    PressKey(form.get(), Qt::Key_1, Qt::KeypadModifier);
    PressKey(form.get(), Qt::Key_2, Qt::KeypadModifier);
    EXPECT_EQ(form->IntensEd->value(), 12);
    EXPECT_EQ(WorkPixel(), 0x646464u) << "typing a number clicks no cell";
}

TEST_F(OptimizePage, CtrlZPressesTheUndoButtonOfThePageShown)
{
    int optimizeUndo = 0, cropUndo = 0;
    QObject::connect(form->UndoBtn2, &QPushButton::clicked, [&] { ++optimizeUndo; });
    QObject::connect(form->UndoBtn1, &QPushButton::clicked, [&] { ++cropUndo; });
    form->PaintBox1MouseDown(300, 250);
    PressKey(form.get(), Qt::Key_Z, Qt::ControlModifier);
    WaitForAnimatedClick();
    EXPECT_EQ(WorkPixel(), 0x646464u);
    EXPECT_EQ(optimizeUndo, 1);

    form->PaintBox1MouseDown(300, 250);
    form->PageControl2->setCurrentWidget(form->TabSheet1);
    PressKey(form.get(), Qt::Key_Z, Qt::ControlModifier);
    WaitForAnimatedClick();
    EXPECT_EQ(WorkPixel(), 0x646464u);
    EXPECT_EQ(cropUndo, 1);
    EXPECT_EQ(optimizeUndo, 1) << "the hidden page's button stays up";

    form->PageControl2->setCurrentWidget(form->TabSheet2); // no undo on the open page
    setpixel(form->WorkDib, 10, 10, 0x111111);
    PressKey(form.get(), Qt::Key_Z, Qt::ControlModifier);
    WaitForAnimatedClick();
    EXPECT_EQ(WorkPixel(), 0x111111u);
}

TEST_F(OptimizePage, AClickShowsTheWaitCursorWhileItWorks)
{
    // The progress reports read the throttle's clock while the work runs.
    std::vector<bool> waiting;
    form->ProgressThrottle.SetClock([&] {
        waiting.push_back(QGuiApplication::overrideCursor() &&
                          QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return std::chrono::steady_clock::now();
    });
    form->PaintBox1MouseDown(300, 250);
    ASSERT_FALSE(waiting.empty());
    EXPECT_EQ(std::count(waiting.begin(), waiting.end(), false), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr) << "and the normal one after it";
}

} // namespace

namespace {

TEST_F(OptimizePage, AutomatischMakesEachPickAStepOfItsOwn)
{
    EXPECT_EQ(form->AutoBtn->text(), QStringLiteral("Automatisch"));
    TDibRecord dark = MakeDib(160, 120, 24, [](int x, int y) {
        return RGB(std::uint8_t(x / 3), std::uint8_t(y / 2), std::uint8_t((x + y) / 5));
    });
    form->InstallOpened(dark, {});
    form->AutoBtn->click();
    const History& history = form->Steps();
    ASSERT_GT(history.Count(), 1) << "a dark picture gets picks";
    for (int i = 1; i < history.Count(); ++i)
        EXPECT_EQ(DescribeStep(history.At(i).step).rfind("Automatisch: ", 0), 0u) << i;
    EXPECT_GT(WorkGrey(), 10 / 3) << "red at (10, 10) brighter";
    form->UndoBtn2->click();
    EXPECT_EQ(history.Current(), history.Count() - 2) << "undone one pick at a time";
    while (history.Current() > 0)
        form->UndoBtn2->click();
    EXPECT_EQ(WorkPixel(), RGB(10 / 3, 10 / 2, 20 / 5));
}

} // namespace
