// The result page as the user sees it, at any pixel density: the before
// picture, in register or as opened, beside the working image, through a
// drag of the splitter, a resize and undo.
#include "ScreenFixture.h"
#include "UserInput.h"

#include "toolkit/PaintBox.h"
#include "toolkit/Splitter.h"

#include <QCheckBox>
#include <QSplitterHandle>
#include <QTabWidget>

namespace {

class ResultPageOnScreen : public ScreenTest {
protected:
    // The screen shows what a fresh redraw shows, the before picture fitted
    // into the left pane and the working image into the right one.
    void ExpectPanes(bool beforeMirrored, bool afterMirrored, const char* when)
    {
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << when;
        for (auto [box, mirrored] : {std::pair{form->OldPaintBox, beforeMirrored},
                                     std::pair{form->ErgPaintBox, afterMirrored}})
            EXPECT_TRUE(PictureOnScreen(box, FittedOnScreen(box, 320, 240), mirrored,
                                        box->EraseColor().rgb()))
                << when << (box == form->OldPaintBox ? ", before" : ", after");
    }
};

TEST_F(ResultPageOnScreen, BeforeAndAfterFollowEveryStep)
{
    DibGuard photo(MakeBlockPicture(320, 240));
    OpenPicture(photo.dib);
    form->MirrorHBtnClick(); // the working image now differs from the file
    form->PageControl2->setCurrentWidget(form->TabSheet5);
    ASSERT_TRUE(ShowOnScreen(form.get()));
    ExpectPanes(true, true, "shown: in register");
    form->OrigUnchangedCheck->click();
    ExpectPanes(false, true, "the original unchanged");
    form->OrigUnchangedCheck->click();

    const int before = form->OldPaintBox->width();
    QSplitterHandle* handle = form->Splitter3->handle(1);
    const QPointF grip(1, handle->height() / 2);
    DragFromTo(handle, grip, grip + QPointF(-70, 0));
    ASSERT_TRUE(WaitUntil([&] { return form->OldPaintBox->width() < before; }));
    ExpectPanes(true, true, "after a drag of the splitter");

    ASSERT_TRUE(ResizeOnScreen(form.get(), form->size() + QSize(131, 57)));
    ExpectPanes(true, true, "after a resize");

    form->UndoBtn1Click();
    ExpectPanes(false, false, "after undo");
}

} // namespace
