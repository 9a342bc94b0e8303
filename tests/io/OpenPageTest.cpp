#include "MainWindowFixture.h"
#include "ScreenGrab.h"

#include "imagora/DibWriter.h"
#include "io/FileList.h"
#include "io/FolderTree.h"
#include "io/PrefFolders.h"
#include "steps/StepTable.h"
#include "correct/CorrectionModes.h"
#include "toolkit/PaintBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeDatabase>

#include <QGuiApplication>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Ends the test program when a step hangs: a window thread blocked in a read
// cannot fail its test any other way.
struct Watchdog {
    Watchdog() { ::alarm(60); }
    ~Watchdog() { ::alarm(0); }
};

class OpenPage : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        photos = programDir + "photos/";
        std::filesystem::create_directories(photos + "sub");
        TDibRecord wide =
            MakeDib(40, 10, 24, [](int x, int) { return x < 20 ? 0xFF0000u : 0xFFu; });
        TDibRecord tall = MakeDib(10, 40, 8, [](int, int) { return 200u; });
        ASSERT_TRUE(WriteDibFile(wide, photos + "wide.bmp"));
        ASSERT_TRUE(WriteDibFile(tall, photos + "tall.bmp"));
        deldib(wide);
        deldib(tall);
        std::ofstream(photos + "broken.bmp") << "BM this is no picture";
    }

    // Shows the folder in the list and waits until the list has read it in
    // the background.
    void Browse(const std::string& folder)
    {
        const QString path = QDir::cleanPath(QString::fromStdString(folder));
        bool loaded = false;
        const QMetaObject::Connection c =
            QObject::connect(form->JamShellList1Model, &QFileSystemModel::directoryLoaded,
                             [&](const QString& done) { loaded = loaded || done == path; });
        ASSERT_TRUE(form->JamShellTree1->SelectFolder(path));
        EXPECT_TRUE(WaitUntil([&] { return loaded; }, 30000)) << folder;
        QObject::disconnect(c);
    }

    // Name and type of each entry the list shows.
    std::map<std::string, std::string> Listed() const
    {
        std::map<std::string, std::string> listed;
        const QModelIndex root = form->JamShellList1->rootIndex();
        for (int row = 0; row < form->JamShellList1Model->rowCount(root); ++row) {
            const QModelIndex item = form->JamShellList1Model->index(row, 0, root);
            listed[item.data().toString().toStdString()] =
                item.siblingAtColumn(2).data().toString().toStdString();
        }
        return listed;
    }

    void SelectInList(const std::string& name)
    {
        const QModelIndex index =
            form->JamShellList1Model->index(QString::fromStdString(photos + name));
        ASSERT_TRUE(index.isValid()) << name;
        form->JamShellList1->setCurrentIndex(index);
    }

    std::string SelectedFolder() const
    {
        return form->JamShellTree1->SelectedFolder().toStdString();
    }

    // Whether the tree shows a folder (its items carry their path as tooltip).
    bool TreeShows(const std::string& folder) const
    {
        const QAbstractItemModel* model = form->JamShellTree1->model();
        const QString wanted = QString::fromStdString(folder);
        std::function<bool(const QModelIndex&)> within = [&](const QModelIndex& parent) {
            for (int row = 0; row < model->rowCount(parent); ++row) {
                const QModelIndex child = model->index(row, 0, parent);
                if (child.data(Qt::ToolTipRole).toString() == wanted || within(child))
                    return true;
            }
            return false;
        };
        return within(QModelIndex());
    }

    std::vector<std::string> Favourites()
    {
        std::vector<std::string> v;
        for (int i = 0; i < form->PrefListBox->count(); ++i)
            v.push_back(form->PrefListBox->item(i)->text().toStdString());
        return v;
    }

    std::string photos;
};

TEST_F(OpenPage, OpeningAFileMakesItTheWorkingImageAndTheBeforePicture)
{
    form->OpenFileNow(photos + "wide.bmp");
    EXPECT_EQ(DibWidth(form->WorkDib), 40);
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), 0xFF0000u);
    EXPECT_EQ(DibWidth(form->OrigDib), 40);
    EXPECT_EQ(form->OrigDib.Bits, form->WorkDib.Bits) << "shared until a step changes one";
    EXPECT_FALSE(form->Steps().CanUndo()) << "a new history starts";
    EXPECT_EQ(form->FileName, photos + "wide.bmp");
}

TEST_F(OpenPage, AFileThatDoesNotOpenChangesNothingAndTheUserLearnsWhy)
{
    std::ofstream(photos + "empty.png").close();
    ASSERT_EQ(::mkfifo((photos + "x.jpg").c_str(), 0600), 0);
    const Watchdog watchdog; // opening a FIFO waits for a writer
    const std::uint8_t* work = form->WorkDib.Bits;
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {photos + "broken.bmp", "ist kein lesbares Bild"},
        {photos + "missing.png", "wurde nicht gefunden"},
        {photos + "sub", "ist ein Ordner"},
        {photos + "empty.png", "ist leer"},
        {photos + "x.jpg", "ist keine gewöhnliche Datei"},
    };
    for (const auto& c : cases) {
        boxes->shown.clear();
        form->OpenFileNow(c.path);
        ASSERT_EQ(boxes->shown.size(), 1u) << c.path;
        EXPECT_NE(boxes->shown[0].text.find("„" + c.path + "“"), std::string::npos);
        EXPECT_NE(boxes->shown[0].text.find(c.why), std::string::npos) << boxes->shown[0].text;
        EXPECT_EQ(boxes->shown[0].caption, "Bild öffnen");
    }
    EXPECT_EQ(form->WorkDib.Bits, work);
    EXPECT_EQ(form->FileName, "");
    EXPECT_FALSE(form->WorkModified);
}

TEST_F(OpenPage, DoubleClickOnAFileAddsItsFolderAndOpensIt)
{
    ShowWindow();
    Browse(photos);
    SelectInList("tall.bmp");
    form->JamShellList1DblClick();
    EXPECT_EQ(DibHeight(form->WorkDib), 40);
    EXPECT_EQ(Favourites(), (std::vector<std::string>{photos}));
    std::ifstream in(form->PrefFoldersPath, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, photos + "\r\n");
    EXPECT_EQ(form->PrefFoldersPath, programDir + "data/Norvane/Kelvora/folders.dat");

    SelectInList("broken.bmp"); // unreadable: the folder was added all the same
    form->JamShellList1DblClick();
    EXPECT_EQ(DibHeight(form->WorkDib), 40);
    EXPECT_EQ(Favourites().size(), 1u);

    std::filesystem::copy_file(photos + "wide.bmp", photos + "sub/gone.bmp");
    Browse(photos + "sub");
    form->JamShellList1->setCurrentIndex(
        form->JamShellList1Model->index(QString::fromStdString(photos + "sub/gone.bmp")));
    std::filesystem::remove_all(photos + "sub"); // before the list noticed
    form->JamShellList1DblClick();
    EXPECT_EQ(Favourites(), (std::vector<std::string>{photos})) << "a vanished folder is none";
    EXPECT_EQ(DibHeight(form->WorkDib), 40);
}

TEST_F(OpenPage, DoubleClickOnAFolderOnlyNavigates)
{
    ShowWindow();
    Browse(photos);
    SelectInList("sub");
    const std::uint8_t* work = form->WorkDib.Bits;
    form->JamShellList1DblClick();
    EXPECT_EQ(form->JamShellTree1->SelectedFolder().toStdString() + "/", photos + "sub/");
    EXPECT_TRUE(Favourites().empty());
    EXPECT_EQ(form->WorkDib.Bits, work);
}

TEST_F(OpenPage, EnterOpensButNotWhileRenaming)
{
    ShowWindow();
    Browse(photos);
    SelectInList("wide.bmp");
    form->JamShellList1->edit(form->JamShellList1->currentIndex());
    ASSERT_TRUE(form->JamShellList1->IsEditing());
    EXPECT_FALSE(form->JamShellList1KeyPress(Qt::Key_Return));
    EXPECT_EQ(DibWidth(form->WorkDib), 320);
    form->JamShellList1->setFocus(); // ends the edit
    form->JamShellList1->closePersistentEditor(form->JamShellList1->currentIndex());
    QApplication::processEvents();
    SelectInList("wide.bmp");
    ASSERT_FALSE(form->JamShellList1->IsEditing());
    EXPECT_TRUE(form->JamShellList1KeyPress(Qt::Key_Return));
    EXPECT_EQ(DibWidth(form->WorkDib), 40);
    EXPECT_FALSE(form->JamShellList1KeyPress(Qt::Key_A));
}

TEST_F(OpenPage, FavouritesBesideTheProgramAreTakenOverIntoTheUsersOwn)
{
    std::ofstream(programDir + "folders.dat", std::ios::binary) << "/one/\r\n"
                                                                << photos << "\r\n\r\n/two/\r\n";
    form.reset();
    form = std::make_unique<TMainForm>(programDir + "kelvora");
    EXPECT_EQ(Favourites(), (std::vector<std::string>{"/one/", photos, "", "/two/"}));
    form->AddToPrefFolders(photos);
    EXPECT_EQ(Favourites(), (std::vector<std::string>{photos, "/one/", "", "/two/"}));
    EXPECT_EQ(ReadPrefFolders(form->PrefFoldersPath), Favourites());
}

TEST_F(OpenPage, FavouritesAreAddedAndRemovedByHandAndWrittenAtOnce)
{
    ShowWindow();
    Browse(photos);
    const std::string sub = photos + "sub/";
    const auto at = [&](const std::string& path) {
        return form->JamShellList1
            ->visualRect(form->JamShellList1Model->index(QString::fromStdString(path)))
            .center();
    };
    const auto choose = [&](QAbstractItemView* view, QPoint point) {
        const std::unique_ptr<QMenu> menu = form->FolderMenu(view, point);
        ASSERT_TRUE(menu);
        ASSERT_EQ(menu->actions().size(), 1);
        menu->actions()[0]->trigger();
    };
    QAbstractItemView* const list = form->JamShellList1;
    QAbstractItemView* const favourites = form->PrefListBox;
    const struct {
        const char* what;
        std::function<void()> step;
        std::vector<std::string> expected;
    } steps[] = {
        {"a folder in the list", [&] { choose(list, at(photos + "sub")); }, {sub}},
        {"a folder in the tree",
         [&] {
             const QModelIndex parent = form->JamShellTree1->currentIndex().parent();
             choose(form->JamShellTree1, form->JamShellTree1->visualRect(parent).center());
         },
         {programDir, sub}},
        {"the list's empty space: the folder shown",
         [&] { choose(list, QPoint(5, list->viewport()->height() - 2)); },
         {photos, programDir, sub}},
        {"a folder already there moves up",
         [&] { choose(list, at(photos + "sub")); },
         {sub, photos, programDir}},
        {"a file: the folder it is in",
         [&] { choose(list, at(photos + "wide.bmp")); },
         {photos, sub, programDir}},
        {"removed through the favourites' menu",
         [&] {
             choose(favourites,
                    form->PrefListBox->visualItemRect(form->PrefListBox->item(1)).center());
         },
         {photos, programDir}},
        {"removed with Del",
         [&] {
             form->PrefListBox->setCurrentRow(0);
             QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
             QApplication::sendEvent(form->PrefListBox, &del);
         },
         {programDir}},
    };
    for (const auto& s : steps) {
        s.step();
        EXPECT_EQ(Favourites(), s.expected) << s.what;
        EXPECT_EQ(ReadPrefFolders(form->PrefFoldersPath), s.expected) << s.what;
    }
    EXPECT_FALSE(form->FolderMenu(favourites, QPoint(5, favourites->viewport()->height() - 2)))
        << "no entry there to remove";
}

TEST_F(OpenPage, AFavouriteOpensItsFolderInTheTree)
{
    form->PrefListBox->addItem(QString::fromStdString(photos + "sub/"));
    form->PrefListBox->addItem(QString());
    form->PrefListBoxDblClick(); // nothing selected: nothing happens
    form->PrefListBox->setCurrentRow(0);
    form->PrefListBoxKeyPress(Qt::Key_Return);
    EXPECT_EQ(SelectedFolder(), photos + "sub");
    form->PrefListBox->setCurrentRow(1); // an empty line leads nowhere
    form->PrefListBoxDblClick();
    EXPECT_EQ(SelectedFolder(), photos + "sub");
}

TEST_F(OpenPage, FilterEntriesComeFromTheImageLibrary)
{
    const QStringList parts = QString::fromUtf8(GetDIBOpenFilter()).split(QLatin1Char('|'));
    ASSERT_EQ(form->FilterComboBox1->count(), parts.size() / 2);
    EXPECT_EQ(form->FilterComboBox1->itemText(0), parts[0]);
    EXPECT_EQ(form->JamShellList1Model->nameFilters(), parts[1].split(QLatin1Char(';')));
    form->FilterComboBox1->setCurrentIndex(1);
    EXPECT_EQ(form->JamShellList1Model->nameFilters(), parts[3].split(QLatin1Char(';')));
    form->FilterComboBox1->setCurrentIndex(-1); // nothing chosen: the last entry is taken
    form->FilterComboBox1Change();
    EXPECT_EQ(form->FilterComboBox1->currentIndex(), form->FilterComboBox1->count() - 1);
}

// The preview's columns and rows that show the picture (not the background).
QSize PictureExtent(const PaintBox* box)
{
    const QImage& canvas = box->CanvasImage();
    const QRgb background = canvas.pixel(canvas.width() - 1, canvas.height() - 1);
    int w = 0, h = 0;
    while (w < canvas.width() && canvas.pixel(w, 0) != background)
        ++w;
    while (h < canvas.height() && canvas.pixel(0, h) != background)
        ++h;
    return {w, h};
}

TEST_F(OpenPage, PreviewFitsWideAndTallPictures)
{
    ShowWindow();
    form->DibPrevPaint->setFixedSize(160, 120);
    QApplication::processEvents();
    form->OpenFileNow(photos + "wide.bmp"); // 4:1 in a 4:3 box: full width, strip below
    EXPECT_EQ(PictureExtent(form->DibPrevPaint), QSize(160, 40));
    EXPECT_EQ(form->DibPrevPaint->CanvasImage().pixel(0, 0), qRgb(0, 0, 255))
        << "0x00BBGGRR 0xFF0000 is blue";
    form->OpenFileNow(photos + "tall.bmp"); // 1:4: full height, strip at the right
    EXPECT_EQ(PictureExtent(form->DibPrevPaint), QSize(30, 120));
}

TEST(OpenPageFallback, FavouritesGoToTheUserDataFolderWhenTheProgramFolderIsNotWritable)
{
    const std::string data = MakeTempDir();
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    {
        TMainForm form("/nonexistent-kelvora-folder/kelvora");
        EXPECT_EQ(form.PrefFoldersPath, data + "/Norvane/Kelvora/folders.dat");
        form.AddToPrefFolders("/some/where/");
        EXPECT_EQ(ReadPrefFolders(data + "/Norvane/Kelvora/folders.dat"),
                  (std::vector<std::string>{"/some/where/"}));
    }
    unsetenv("XDG_DATA_HOME");
    std::filesystem::remove_all(data);
}

TEST_F(OpenPage, EnterAfterAFolderChangeOpensNothingTheUserDidNotChoose)
{
    // the same name in the next folder, another picture
    std::filesystem::copy_file(photos + "tall.bmp", photos + "sub/wide.bmp");
    ShowWindow();
    Browse(photos);
    SelectInList("wide.bmp");
    Browse(photos + "sub");
    EXPECT_TRUE(form->JamShellList1->selectionModel()->selectedRows().isEmpty());
    form->JamShellList1KeyPress(Qt::Key_Return);
    EXPECT_EQ(DibWidth(form->WorkDib), 320) << "nothing was opened";
    EXPECT_TRUE(Favourites().empty());
}

TEST_F(OpenPage, TheTreeSeesFoldersMadeRenamedAndRemovedMeanwhile)
{
    namespace fs = std::filesystem;
    ShowWindow();
    ASSERT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(photos)));
    fs::create_directory(photos + "new");
    EXPECT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(photos + "new")))
        << "made after the tree read its folder";
    fs::create_directory(photos + "later");
    EXPECT_TRUE(WaitUntil([&] { return TreeShows(photos + "later"); })) << "made elsewhere";
    fs::rename(photos + "later", photos + "renamed");
    EXPECT_TRUE(WaitUntil([&] { return TreeShows(photos + "renamed"); }));
    EXPECT_FALSE(TreeShows(photos + "later"));

    // The folder shown vanishes: its nearest parent is shown, tree and list alike.
    fs::create_directories(photos + "new/deeper");
    ASSERT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(photos + "new/deeper")));
    fs::remove_all(photos + "new");
    EXPECT_TRUE(WaitUntil([&] { return SelectedFolder() == photos.substr(0, photos.size() - 1); }))
        << SelectedFolder();
    EXPECT_EQ(form->JamShellList1Model->rootPath().toStdString() + "/", photos);
    EXPECT_FALSE(TreeShows(photos + "new"));
}

TEST_F(OpenPage, AFolderInsideAHiddenFolderIsSelected)
{
    std::filesystem::create_directories(photos + ".local/bin");
    EXPECT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(photos + ".local/bin")));
    EXPECT_EQ(SelectedFolder(), photos + ".local/bin");
}

TEST_F(OpenPage, StartsInTheStartFilesFolderElseInTheTopFavouriteThatExists)
{
    form.reset();
    form = std::make_unique<TMainForm>(programDir + "kelvora", photos + "wide.bmp");
    EXPECT_EQ(SelectedFolder() + "/", photos);
    std::ofstream(programDir + "folders.dat", std::ios::binary) << "\r\n"
                                                                << programDir << "gone/\r\n"
                                                                << photos << "sub/\r\n";
    form.reset();
    form = std::make_unique<TMainForm>(programDir + "kelvora");
    EXPECT_EQ(SelectedFolder() + "/", photos + "sub/");
}

TEST_F(OpenPage, TheListShowsFilesAndFoldersOnlyTypedByTheirNames)
{
    namespace fs = std::filesystem;
    const std::string odd = photos + "odd/";
    fs::create_directories(odd + "folder");
    fs::copy_file(photos + "wide.bmp", odd + "bitmap.jpg");
    fs::copy_file(photos + "wide.bmp", odd + "bitmap");
    fs::create_symlink("bitmap.jpg", odd + "link.jpg");
    ASSERT_EQ(::mkfifo((odd + "x.jpg").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", odd + "null.jpg");
    fs::create_symlink("nowhere.jpg", odd + "dangling.jpg");
    const QMimeDatabase types;
    const std::string jpeg = types.mimeTypeForName("image/jpeg").comment().toStdString();
    const std::string unknown =
        types.mimeTypeForName("application/octet-stream").comment().toStdString();
    const Watchdog watchdog;
    ShowWindow();
    form->JamShellList1Model->setNameFilters({QStringLiteral("*")});
    Browse(odd);
    std::map<std::string, std::string> listed = Listed();
    EXPECT_EQ(listed.erase("folder"), 1u);
    EXPECT_EQ(listed, (std::map<std::string, std::string>{
                          {"bitmap.jpg", jpeg}, // a bitmap inside: the name counts
                          {"link.jpg", jpeg},
                          {"bitmap", unknown}, // no name to go by: nothing is read
                      }));

    // Read there, /proc/kmsg never returns; /dev holds devices only.
    Browse("/proc");
    listed = Listed();
    EXPECT_EQ(listed["version"], unknown);
    EXPECT_TRUE(listed.count("self"));
    Browse("/dev");
    EXPECT_FALSE(Listed().count("null"));
}

TEST_F(OpenPage, EveryControlSaysWhatItDoes)
{
    // (the filter box's tooltip shows its entry whole where it is cut short)
    for (QWidget* w : form->TabSheet2->findChildren<QWidget*>()) {
        const bool control =
            qobject_cast<QAbstractButton*>(w) || qobject_cast<PaintBox*>(w) ||
            (qobject_cast<QAbstractItemView*>(w) && !qobject_cast<QHeaderView*>(w));
        if (control && w->window() == form.get()) { // not the filter box's popup
            EXPECT_FALSE(w->toolTip().isEmpty()) << w->metaObject()->className();
        }
    }
    EXPECT_TRUE(form->DibPrevPaint->toolTip().contains(QStringLiteral("Doppelklick")))
        << "what brings a picture here";
}

TEST_F(OpenPage, OpeningOverUnsavedChangesAsksFirst)
{
    form->OpenFileNow(photos + "wide.bmp");
    EXPECT_TRUE(boxes->shown.empty()) << "nothing unsaved yet";
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 8)); // a step
    boxes.reset();                                       // one recorder at a time
    boxes = std::make_unique<MessageBoxRecorder>(IDCANCEL);
    form->OpenFileNow(photos + "tall.bmp");
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text.rfind("Die Änderungen am Bild wurden nicht gespeichert.", 0),
              0u);
    EXPECT_NE(boxes->shown[0].text.find("tall.bmp"), std::string::npos);
    EXPECT_EQ(boxes->shown[0].flags & 0x0F, MB_OKCANCEL);
    EXPECT_TRUE(form->Steps().CanUndo()) << "cancelled: the changed picture stays";
    EXPECT_EQ(form->FileName, photos + "wide.bmp");

    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDOK);
    form->OpenFileNow(photos + "tall.bmp");
    EXPECT_EQ(DibHeight(form->WorkDib), 40);
    EXPECT_FALSE(form->WorkModified);
}

TEST_F(OpenPage, TheFileListGivesSizesAndDatesInGermanWhateverTheSystemsLanguage)
{
    ShowWindow();
    Browse(photos);
    const QModelIndex wide =
        form->JamShellList1Model->index(QString::fromStdString(photos + "wide.bmp"));
    EXPECT_EQ(wide.siblingAtColumn(1).data().toString(), QStringLiteral("1,2 kB")) << "1254 bytes";
    EXPECT_EQ(form->JamShellList1Model->index(QString::fromStdString(photos + "sub"))
                  .siblingAtColumn(1)
                  .data()
                  .toString(),
              QString())
        << "folders have no size";
    EXPECT_TRUE(wide.siblingAtColumn(3).data().toString().contains(QLatin1Char('.')))
        << "dates as 24.12.26";
}

// A large JPEG opened from the open page shows a reduced decode first; the
// whole picture comes through the event loop, or at once for whatever the
// user or the program does next.
TEST_F(OpenPage, AJpegShownReducedFirstEndsAsThePlainOpenWhateverComesNext)
{
    const std::string jpeg = photos + "large.jpg";
    DibGuard photo(MakeDib(1600, 1200, 24, [](int x, int y) {
        return RGB(std::uint8_t(x / 7), std::uint8_t(y / 5), std::uint8_t(x ^ y));
    }));
    ASSERT_TRUE(WriteDibFile(photo.dib, jpeg));
    DibGuard plain;
    OpenDib(&plain.dib, jpeg.c_str(), 0, nullptr);
    ASSERT_NE(plain->Bits, nullptr);
    const auto samePixels = [&](const TDibRecord& d) {
        return DibWidth(d) == 1600 && DibHeight(d) == 1200 &&
               std::memcmp(d.Bits, plain->Bits, plain->Info->bmiHeader.biSizeImage) == 0;
    };
    ShowWindow();
    const std::function<void()> nextThings[] = {
        [] {}, // the event loop alone
        [this] {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Shift, Qt::NoModifier);
            QApplication::sendEvent(form->JamShellList1, &key);
        },
        [this] { form->PageControl2->setCurrentWidget(form->TabSheet4); },
        [this] { form->ApplyStep(CorrectStep(kModeHelligkeit, 3, 8)); },
    };
    for (std::size_t i = 0; i < std::size(nextThings); ++i) {
        form->PageControl2->setCurrentWidget(form->TabSheet2);
        form->OpenFileNow(photos + "wide.bmp");
        form->OpenFileNow(jpeg);
        EXPECT_EQ(DibWidth(form->WorkDib), 40) << "the reduced picture is no working image";
        nextThings[i]();
        ASSERT_TRUE(WaitUntil([&] { return DibWidth(form->WorkDib) == 1600; })) << i;
        EXPECT_EQ(form->FileName, jpeg);
        EXPECT_TRUE(samePixels(form->OrigDib)) << i;
        EXPECT_TRUE(samePixels(form->Steps().Current() == 0 ? form->WorkDib : Before())) << i;
    }
    EXPECT_EQ(form->Steps().Count(), 2) << "the correction ran on the whole picture";
    EXPECT_TRUE(boxes->shown.empty());

    // A whole picture that will not come (no memory for it here) is said,
    // and the picture stays as it was.
    form->PageControl2->setCurrentWidget(form->TabSheet2);
    form->OpenFileNow(photos + "wide.bmp"); // over the correction: asked, answered yes
    boxes->shown.clear();
    {
        AllocationLimit limit(1000000); // the reduced picture fits, the whole one does not
        form->OpenFileNow(jpeg);
        EXPECT_TRUE(boxes->shown.empty());
        form->ApplyStep(CorrectStep(kModeHelligkeit, 3, 8));
    }
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_NE(boxes->shown[0].text.find("zu groß"), std::string::npos) << boxes->shown[0].text;
    EXPECT_EQ(form->FileName, photos + "wide.bmp");
    EXPECT_EQ(DibWidth(form->WorkDib), 40);
    EXPECT_EQ(form->Steps().Count(), 2) << "the correction ran on the picture there was";
}

TEST_F(OpenPage, OpeningShowsTheWaitCursorUntilThePanesHavePainted)
{
    form->PageControl2->setCurrentWidget(form->TabSheet4); // whose grid reports progress
    ShowWindow();
    std::vector<bool> waiting;
    form->ProgressThrottle.SetClock([&] {
        waiting.push_back(QGuiApplication::overrideCursor() &&
                          QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return std::chrono::steady_clock::now();
    });
    form->OpenFileNow(photos + "wide.bmp");
    ASSERT_FALSE(waiting.empty());
    EXPECT_EQ(std::count(waiting.begin(), waiting.end(), false), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);

    bool waitingWhileTold = true;
    MessageBoxHandler recorder = SetMessageBoxHandler([&](const MessageBoxRequest&) {
        waitingWhileTold = QGuiApplication::overrideCursor() != nullptr;
        return IDOK;
    });
    form->OpenFileNow(photos + "broken.bmp");
    SetMessageBoxHandler(std::move(recorder));
    EXPECT_FALSE(waitingWhileTold) << "a message comes with the normal cursor";
}

} // namespace
