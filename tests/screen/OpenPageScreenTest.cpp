// The open page as the user sees it: opening a file from the list and
// resizing the window leave the screen as the page drawn from scratch.
#include "MainWindowFixture.h"
#include "ScreenGrab.h"
#include "UserInput.h"

#include "imagora/DibWriter.h"
#include "io/FileList.h"
#include "io/FolderTree.h"
#include "toolkit/PaintBox.h"

#include <QDir>
#include <QFileSystemModel>
#include <QListWidget>
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

// Item views lay out what changed a moment later and paint after that; the
// screen is to be looked at once they have. Lays a view out now, as it would
// on its own, and waits until it has painted the result.
bool LaidOutAndPainted(QAbstractItemView* view)
{
    struct PaintSeen : QObject {
        bool seen = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            seen = seen || event->type() == QEvent::Paint;
            return false;
        }
    } paint;
    view->viewport()->installEventFilter(&paint);
    view->doItemsLayout();
    const bool painted = WaitUntil([&] { return paint.seen; });
    view->viewport()->removeEventFilter(&paint);
    return painted;
}

// Shows the folder in tree and list, once the list has read it in the
// background; a look before that finds it half done.
bool ShowFolder(TMainForm* form, const QString& folder)
{
    bool loaded = false;
    const QMetaObject::Connection c =
        QObject::connect(form->JamShellList1Model, &QFileSystemModel::directoryLoaded,
                         [&](const QString& done) { loaded = loaded || done == folder; });
    const bool shown = form->JamShellTree1->SelectFolder(folder) &&
                       WaitUntil([&] { return loaded; }, 30000) &&
                       LaidOutAndPainted(form->JamShellList1);
    QObject::disconnect(c);
    return shown;
}

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
    ASSERT_TRUE(ShowFolder(form.get(), QDir::cleanPath(QString::fromStdString(folder.string()))));
    const QString path = QString::fromStdString(file);
    ASSERT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "shown";

    form->JamShellList1->setFocus();
    form->JamShellList1->setCurrentIndex(form->JamShellList1Model->index(path));
    PressKey(form.get(), Qt::Key_Return);
    ASSERT_EQ(DibWidth(form->WorkDib), 300);
    ASSERT_TRUE(LaidOutAndPainted(form->PrefListBox)) << "the folder added";
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after opening with Enter";

    form->resize(form->width() + 97, form->height() + 43);
    ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->width() == form->width(); }));
    ASSERT_TRUE(LaidOutAndPainted(form->JamShellList1));
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get())) << "after a resize";
}

// A large JPEG shows reduced at once; once the whole picture is there the
// screen shows it alone, as if drawn from scratch.
TEST_F(OpenPageOnScreen, AJpegShownReducedFirstEndsAsAFreshRedraw)
{
    REQUIRE_X_SCREEN();
    DibGuard photo(MakeDib(1600, 1200, 24, [](int x, int y) {
        return RGB(std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y));
    }));
    const std::string file = (folder / "photo.jpg").string();
    ASSERT_TRUE(WriteDibFile(photo.dib, file));
    form->show();
    ASSERT_TRUE(WaitUntil([this] { return form->windowHandle()->isExposed(); }));
    form->OpenFileNow(file);
    ASSERT_NE(DibWidth(form->WorkDib), 1600) << "the reduced picture shows first";
    ASSERT_TRUE(WaitUntil([this] { return DibWidth(form->WorkDib) == 1600; }));
    EXPECT_TRUE(ScreenMatchesFreshRedraw(form.get()));
}

} // namespace
