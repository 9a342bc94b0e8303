// The open page as the user sees it: opening a file from the list and
// resizing the window leave the screen as the page drawn from scratch.
#include "MainWindowFixture.h"
#include "ScreenGrab.h"
#include "UserInput.h"

#include "imagora/DibWriter.h"
#include "io/FileList.h"
#include "io/FolderTree.h"
#include "toolkit/PaintBox.h"

#include <QFileSystemModel>
#include <QWindow>

namespace {

class OpenPageOnScreen : public MainWindowTest {};

TEST_F(OpenPageOnScreen, OpeningAndResizingReachTheScreen)
{
    REQUIRE_X_SCREEN();
    DibGuard photo(MakeDib(300, 200, 24, [](int x, int y) {
        return RGB(std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + y));
    }));
    ASSERT_TRUE(WriteDibFile(photo.dib, programDir + "photo.bmp"));
    form->show();
    ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->isExposed(); }));
    ASSERT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(programDir)));
    const QString path = QString::fromStdString(programDir + "photo.bmp");
    ASSERT_TRUE(WaitUntil([&] { return form->JamShellList1Model->index(path).isValid(); }));
    ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "shown";

    form->JamShellList1->setFocus();
    form->JamShellList1->setCurrentIndex(form->JamShellList1Model->index(path));
    PressKey(form.get(), Qt::Key_Return);
    ASSERT_EQ(DibWidth(form->WorkDib), 300);
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after opening with Enter";

    form->resize(form->width() + 97, form->height() + 43);
    ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->width() == form->width(); }));
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a resize";
}

} // namespace
