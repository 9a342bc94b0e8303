// The scan page as the user sees it, at any pixel density: the working image
// fitted into the page, through a resize, a scan arriving and undo.
#include "ScreenFixture.h"

#include "quorscan/ScannedPictures.h"
#include "toolkit/PaintBox.h"
#include "toolkit/WindowMessages.h"

#include <QTabWidget>

namespace {

class ScanPageOnScreen : public ScreenTest {
protected:
    // The screen shows what a fresh redraw shows, and the working image
    // fitted into the page's box.
    void ExpectPicture(bool mirrored, const char* when)
    {
        PaintBox* box = form->ScanPaintBox;
        EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << when;
        EXPECT_TRUE(PictureOnScreen(
            box, FittedOnScreen(box, DibWidth(form->WorkDib), DibHeight(form->WorkDib)), mirrored,
            form->ScanPaintBox->EraseColor().rgb()))
            << when;
    }
};

TEST_F(ScanPageOnScreen, TheFittedPictureFollowsEveryStep)
{
    DibGuard photo(MakeBlockPicture(320, 240));
    OpenPicture(photo.dib);
    form->PageControl2->setCurrentWidget(form->TabSheet3);
    ASSERT_TRUE(ShowOnScreen(form.get()));
    ExpectPicture(false, "shown");

    ASSERT_TRUE(ResizeOnScreen(form.get(), form->size() + QSize(97, 43)));
    ExpectPicture(false, "after a resize");

    // a tall scan, mirrored so that a stale picture shows
    PostWindowMessage(form.get(), WM_USER + 1,
                      KeepScannedPicture(MakeBlockPicture(120, 300, true)));
    ASSERT_TRUE(WaitUntil([this] { return DibWidth(form->WorkDib) == 120; }));
    ExpectPicture(true, "after a scan");

    form->UndoBtn1Click();
    ASSERT_EQ(DibWidth(form->WorkDib), 320);
    ExpectPicture(false, "after undo");
}

} // namespace
