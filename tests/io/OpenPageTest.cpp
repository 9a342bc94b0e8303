#include "MainWindowFixture.h"

#include "imagora/DibWriter.h"
#include "io/FileList.h"
#include "io/FolderTree.h"
#include "io/PrefFolders.h"
#include "toolkit/PaintBox.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QListWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

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

    // Shows the folder in the list and waits until the list has loaded it.
    void Browse(const std::string& folder)
    {
        ASSERT_TRUE(form->JamShellTree1->SelectFolder(QString::fromStdString(folder)));
        QElapsedTimer timer;
        timer.start();
        const QModelIndex root = form->JamShellList1->rootIndex();
        while (form->JamShellList1Model->rowCount(root) == 0 && timer.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    void SelectInList(const std::string& name)
    {
        const QModelIndex index =
            form->JamShellList1Model->index(QString::fromStdString(photos + name));
        ASSERT_TRUE(index.isValid()) << name;
        form->JamShellList1->setCurrentIndex(index);
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

TEST_F(OpenPage, OpeningAFileMakesItTheWorkingImageWithCopies)
{
    form->OpenFileNow(photos + "wide.bmp");
    EXPECT_EQ(DibWidth(form->WorkDib), 40);
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), 0xFF0000u);
    EXPECT_EQ(DibWidth(form->OrigDib), 40);
    EXPECT_EQ(DibWidth(form->UndoDib), 40);
    EXPECT_NE(form->OrigDib.Bits, form->WorkDib.Bits);
    EXPECT_NE(form->UndoDib.Bits, form->WorkDib.Bits);
    EXPECT_EQ(form->FileName, photos + "wide.bmp");
}

TEST_F(OpenPage, ABadFileChangesNothingAndSaysNothing)
{
    const std::uint8_t* work = form->WorkDib.Bits;
    form->OpenFileNow(photos + "broken.bmp");
    form->OpenFileNow(photos + "missing.png");
    EXPECT_EQ(form->WorkDib.Bits, work);
    EXPECT_EQ(form->FileName, "");
    EXPECT_TRUE(boxes->shown.empty());
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
    EXPECT_EQ(form->PrefFoldersPath, programDir + "folders.dat");

    SelectInList("broken.bmp"); // unreadable: the folder was added all the same
    form->JamShellList1DblClick();
    EXPECT_EQ(DibHeight(form->WorkDib), 40);
    EXPECT_EQ(Favourites().size(), 1u);
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

TEST_F(OpenPage, FavouritesFileIsReadAtStartAndUsedAgain)
{
    std::ofstream(programDir + "folders.dat", std::ios::binary) << "/one/\r\n"
                                                                << photos << "\r\n\r\n/two/\r\n";
    form.reset();
    form = std::make_unique<TMainForm>(programDir + "kelvora");
    EXPECT_EQ(Favourites(), (std::vector<std::string>{"/one/", photos, "", "/two/"}));
    form->AddToPrefFolders(photos);
    EXPECT_EQ(Favourites(), (std::vector<std::string>{photos, "/one/", "", "/two/"}));
    EXPECT_EQ(ReadPrefFolders(programDir + "folders.dat"), Favourites());
}

TEST_F(OpenPage, AFavouriteOpensItsFolderInTheTree)
{
    form->PrefListBox->addItem(QString::fromStdString(photos + "sub/"));
    form->PrefListBoxDblClick(); // nothing selected: nothing happens
    form->PrefListBox->setCurrentRow(0);
    form->PrefListBoxKeyPress(Qt::Key_Return);
    EXPECT_EQ(form->JamShellTree1->SelectedFolder().toStdString(), photos + "sub");
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

} // namespace
