// Undo and redo as the user sees them: after every move along the history
// the screen shows the picture of that state, and what the window drawn from
// scratch shows.
#include "ScreenFixture.h"
#include "UserInput.h"

#include "correct/VariationGrid.h"
#include "toolkit/PaintBox.h"

#include <QPushButton>
#include <QTabWidget>

#include <functional>

namespace {

class HistoryOnScreen : public ScreenTest {
protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        if (IsSkipped())
            return;
        // detail in every cell, so a stale variant shows
        DibGuard photo(MakeDib(320, 240, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 255 / 319), std::uint8_t(y * 255 / 239),
                       std::uint8_t((x ^ y) & 0xC0));
        }));
        OpenPicture(photo.dib);
        form->PageControl2->setCurrentWidget(form->TabSheet4);
        ASSERT_TRUE(ShowOnScreen(form.get()));
    }

    // The optimize page's two picture panes as the screen shows them.
    std::vector<QImage> Panes()
    {
        const QImage screen = GrabScreen(form.get());
        std::vector<QImage> panes;
        for (PaintBox* pane : {form->PaintBox1, form->PaintBox2})
            panes.push_back(
                screen.copy(ToDevice(QRect(pane->mapTo(form.get(), QPoint()), pane->size()))));
        return panes;
    }

    void ClickCell(int column, int row)
    {
        const auto [x, y] =
            VariationCellOrigin(form->PaintBox1->width(), form->PaintBox1->height(), {column, row});
        ClickAt(form->PaintBox1, QPoint(x + 5, y + 5));
    }
};

TEST_F(HistoryOnScreen, FiveUndosShowTheOpenedPictureAndFiveRedosTheFifth)
{
    std::vector<std::vector<QImage>> shown{Panes()}; // after each click, the opened picture first
    const VariationCell cells[] = {{0, 0}, {2, 2}, {1, 0}, {2, 1}, {0, 2}};
    for (const VariationCell& cell : cells) {
        ClickCell(cell.column, cell.row);
        ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "click " << shown.size();
        shown.push_back(Panes());
        ASSERT_TRUE(shown.back() != shown[shown.size() - 2]) << "click " << shown.size() - 1;
    }

    for (int i = 4; i >= 0; --i) {
        ClickAt(form->UndoBtn2, QPoint(5, 5));
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "undo to " << i;
        EXPECT_TRUE(Panes() == shown[std::size_t(i)]) << "undo to " << i;
    }
    EXPECT_FALSE(form->UndoBtn2->isEnabled());

    // the redo button and both keys in turn
    const std::function<void()> redo[] = {
        [&] { ClickAt(form->RedoBtn2, QPoint(5, 5)); },
        [&] { PressKey(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); },
        [&] { PressKey(form.get(), Qt::Key_Y, Qt::ControlModifier); },
    };
    for (int i = 1; i <= 5; ++i) {
        redo[i % 3]();
        WaitForAnimatedClick();
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "redo to " << i;
        EXPECT_TRUE(Panes() == shown[std::size_t(i)]) << "redo to " << i;
    }
    EXPECT_FALSE(form->RedoBtn2->isEnabled());
}

TEST_F(HistoryOnScreen, ANewStepAfterTwoUndosDropsTheStepsToRedo)
{
    for (int i = 0; i < 5; ++i)
        ClickCell(i % 3, i % 2 * 2);
    form->UndoBtn2->click();
    form->UndoBtn2->click();
    ClickCell(1, 2);
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "the new step";
    EXPECT_FALSE(form->RedoBtn2->isEnabled());
    EXPECT_EQ(form->Steps().Count(), 5) << "opened, three clicks and the new one";
    const std::vector<QImage> now = Panes();
    PressKey(form.get(), Qt::Key_Y, Qt::ControlModifier);
    WaitForAnimatedClick();
    EXPECT_TRUE(Panes() == now) << "nothing to redo";

    form->PageControl2->setCurrentWidget(form->TabSheet5); // and its list of steps
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "the result page";
}

} // namespace
