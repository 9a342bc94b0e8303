// Undo and redo as the user sees them: after every move along the history
// the screen shows the picture of that state, and what the window drawn from
// scratch shows.
#include "ScreenFixture.h"
#include "UserInput.h"

#include "correct/VariationGrid.h"
#include "toolkit/PaintBox.h"

#include <QPushButton>
#include <QTabWidget>

#include <cstdlib>
#include <functional>

namespace {

using HistoryOnScreen = ScreenTest;

TEST_F(HistoryOnScreen, EveryMoveShowsItsStateAndANewStepDropsTheStepsToRedo)
{
    // detail in every cell, so a stale variant shows
    DibGuard photo(MakeDib(320, 240, 24, [](int x, int y) {
        return RGB(std::uint8_t(x * 255 / 319), std::uint8_t(y * 255 / 239),
                   std::uint8_t((x ^ y) & 0xC0));
    }));
    OpenPicture(photo.dib);
    form->PageControl2->setCurrentWidget(form->TabSheet4);
    ASSERT_TRUE(ShowOnScreen(form.get()));
    // the optimize page's two picture panes as the screen shows them
    const auto panes = [&] {
        const QImage screen = GrabScreen(form.get());
        std::vector<QImage> cut;
        for (PaintBox* pane : {form->PaintBox1, form->PaintBox2})
            cut.push_back(screen.copy(ToDevice({pane->mapTo(form.get(), QPoint()), pane->size()})));
        return cut;
    };
    const auto click = [&](VariationCell cell) {
        const auto [x, y] =
            VariationCellOrigin(form->PaintBox1->width(), form->PaintBox1->height(), cell);
        ClickAt(form->PaintBox1, QPoint(x + 5, y + 5));
    };

    std::vector<std::vector<QImage>> shown{panes()}; // the opened picture, then after each click
    for (VariationCell cell : {VariationCell{0, 0}, {2, 2}, {1, 0}, {2, 1}, {0, 2}}) {
        click(cell);
        ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "click " << shown.size();
        shown.push_back(panes());
        ASSERT_TRUE(shown.back() != shown[shown.size() - 2]) << "click " << shown.size() - 1;
    }
    // five undos to the opened picture, then five redos by the button and both keys in turn
    const std::function<void()> moves[] = {
        [&] { ClickAt(form->UndoBtn2, QPoint(5, 5)); },
        [&] { ClickAt(form->RedoBtn2, QPoint(5, 5)); },
        [&] { PressKey(form.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); },
        [&] { PressKey(form.get(), Qt::Key_Y, Qt::ControlModifier); },
    };
    for (int move = 1; move <= 10; ++move) {
        moves[move <= 5 ? 0 : 1 + move % 3]();
        if (move > 5)
            WaitForAnimatedClick(); // a key's button clicks a moment later
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "move " << move;
        EXPECT_TRUE(panes() == shown[std::size_t(std::abs(5 - move))]) << "move " << move;
    }

    form->UndoBtn2->click();
    form->UndoBtn2->click();
    click({1, 2});
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "the new step";
    const std::vector<QImage> now = panes();
    PressKey(form.get(), Qt::Key_Y, Qt::ControlModifier);
    WaitForAnimatedClick();
    EXPECT_TRUE(panes() == now) << "nothing left to redo";
    form->PageControl2->setCurrentWidget(form->TabSheet5); // and its list of steps
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "the result page";
}

} // namespace
