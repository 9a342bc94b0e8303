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

#include <filesystem>

#include <unistd.h>

namespace {

// The pictures lie beside the test program, not in the system's temporary
// folder: the tree shows that folder's neighbours, and other tests running
// meanwhile add and remove folders there.
class OpenPageOnScreen : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        folder = std::filesystem::current_path() / ("open-page-" + std::to_string(::getpid()));
        std::filesystem::create_directory(folder);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        MainWindowTest::TearDown();
    }
    std::filesystem::path folder;
};

TEST_F(OpenPageOnScreen, OpeningAndResizingReachTheScreen)
{
    REQUIRE_X_SCREEN();
    DibGuard photo(MakeDib(300, 200, 24, [](int x, int y) {
        return RGB(std::uint8_t(x), std::uint8_t(y), std::uint8_t(x + y));
    }));
    const std::string file = (folder / "photo.bmp").string();
    ASSERT_TRUE(WriteDibFile(photo.dib, file));
    form->show();
    ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->isExposed(); }));
    ASSERT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(folder.string())));
    const QString path = QString::fromStdString(file);
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
