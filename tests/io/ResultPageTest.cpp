// The result page: before and after panes, the splitter's proportion kept
// through resizes, saving through the save dialog, printing through the
// print dialog.
#include "MainWindowFixture.h"

#include "DialogAnswer.h"
#include "UserInput.h"
#include "display/ViewPicForm.h"
#include "imagora/DibWriter.h"
#include "io/PrintForm.h"
#include "io/QtPrintTarget.h"
#include "quorscan/ScanFileName.h"
#include "quorscan/ScannedPictures.h"
#include "toolkit/PaintBox.h"
#include "toolkit/Splitter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSplitterHandle>
#include <QTabWidget>
#include <QTreeView>

#include <filesystem>

namespace {

class ResultPage : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        form->PageControl2->setCurrentWidget(form->TabSheet5);
        ShowWindow();
    }

    QRgb Pane(PaintBox* box, int x, int y) { return box->CanvasImage().pixel(x, y); }

    // Drags the splitter's handle by dx pixels, as a user's mouse would.
    void DragSplitter(int dx)
    {
        QSplitterHandle* handle = form->Splitter3->handle(1);
        const QPointF at(1, handle->height() / 2);
        DragFromTo(handle, at, at + QPointF(dx, 0));
        QApplication::processEvents();
    }

    int LeftPane() { return form->OldScrollBox->width(); }
    int Panel() { return form->Panel4->width(); }
};

TEST_F(ResultPage, BeforeIsTheOpenedFileAfterIsTheWorkingImage)
{
    EXPECT_EQ(form->SaveAsBtn->text(), QStringLiteral("Bild &speichern unter..."));
    EXPECT_EQ(form->PrintBtn->text(), QStringLiteral("Bild &drucken..."));
    EXPECT_EQ(Pane(form->OldPaintBox, 5, 5), qRgb(0, 0, 0)) << "the blank start picture";
    EXPECT_EQ(Pane(form->ErgPaintBox, 5, 5), qRgb(0, 0, 0));

    form->InstallOpened(MakeDib(32, 24, 24, [](int, int) { return RGB(200, 0, 0); }), "");
    // a scan, say, replaces only the working image; unchanged, the before
    // pane keeps the file opened, in register it shows the scan
    form->InstallScanned(MakeDib(32, 24, 24, [](int, int) { return RGB(0, 0, 200); }), {}, 1);
    form->OrigUnchangedCheck->setChecked(true);
    EXPECT_EQ(Pane(form->OldPaintBox, 5, 5), qRgb(200, 0, 0));
    EXPECT_EQ(Pane(form->ErgPaintBox, 5, 5), qRgb(0, 0, 200));
    form->OrigUnchangedCheck->setChecked(false);
    EXPECT_EQ(Pane(form->OldPaintBox, 5, 5), qRgb(0, 0, 200));
}

TEST_F(ResultPage, BeforeTakesTheGeometryStepsButNotTheColourSteps)
{
    // red on the left, blue on the right
    form->InstallOpened(
        MakeDib(32, 24, 24, [](int x, int) { return x < 16 ? RGB(200, 0, 0) : RGB(0, 0, 200); }),
        "");
    form->ApplyStep(MirrorStep(true));
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 20));
    EXPECT_EQ(Pane(form->OldPaintBox, 5, 5), qRgb(0, 0, 200)) << "mirrored, not brightened";
    EXPECT_NE(Pane(form->ErgPaintBox, 5, 5), qRgb(0, 0, 200));

    // a click on either pane shows the viewer, before and after in register
    DialogAnswer answer([&](QDialog& dialog) {
        auto& viewer = dynamic_cast<TViewPicForm&>(dialog);
        EXPECT_EQ(viewer.ShowingBefore(), answer.shown == 1);
        EXPECT_EQ(viewer.ViewDib.Bits, form->WorkDib.Bits);
        EXPECT_EQ(getpixel(viewer.BeforeDib, 0, 0), getpixel(form->BeforePicture(), 0, 0));
        return int(QDialog::Accepted);
    });
    form->OldPaintBox->OnMouseDown(Qt::LeftButton, 3, 3);
    form->ErgPaintBox->OnMouseDown(Qt::LeftButton, 3, 3);
    EXPECT_EQ(answer.shown, 2);

    // the picture as opened, remembered for the next run
    form->OrigUnchangedCheck->click();
    EXPECT_EQ(Pane(form->OldPaintBox, 5, 5), qRgb(200, 0, 0));
    TMainForm next(programDir + "kelvora");
    EXPECT_TRUE(next.OrigUnchangedCheck->isChecked());
    next.OrigUnchangedCheck->click();
}

TEST_F(ResultPage, AResizeKeepsTheProportionOfTheLastDrag)
{
    form->resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(LeftPane(), Panel() * 50 / 100);

    DragSplitter(-Panel() / 5); // to about 30 %
    const int dragged = form->SplitPercent;
    EXPECT_NEAR(dragged, 30, 1) << "recorded when the drag ends";
    form->resize(1100, 600);
    QApplication::processEvents();
    EXPECT_EQ(LeftPane(), Panel() * dragged / 100) << "the drag's proportion, not the one before";

    DragSplitter(-Panel()); // far beyond the left edge
    EXPECT_EQ(form->SplitPercent, 10);
    form->resize(800, 600);
    QApplication::processEvents();
    EXPECT_EQ(LeftPane(), Panel() * 10 / 100);
    DragSplitter(2 * Panel());
    EXPECT_EQ(form->SplitPercent, 90);
}

// The type box as a user picks from it.
void ChooseType(QFileDialog& files, const QString& startsWith)
{
    auto* types = files.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    int i = types->count() - 1;
    while (i >= 0 && !types->itemText(i).startsWith(startsWith))
        --i;
    ASSERT_GE(i, 0) << startsWith.toStdString();
    types->setCurrentIndex(i);
    emit types->activated(i);
    emit types->textActivated(types->itemText(i));
}

class SavePage : public ResultPage {
protected:
    void SetUp() override
    {
        ResultPage::SetUp();
        DibGuard photo(MakeDib(30, 20, 24, [](int x, int) { return RGB(x * 8, 100, 50); }));
        source = programDir + "photo.jpg";
        ASSERT_TRUE(WriteDibFile(photo.dib, source, nullptr, 64));
        form->OpenFileNow(source);
    }
    std::string source;
};

TEST_F(SavePage, TheDialogOffersTheWritersAndTheExtensionFollowsTheType)
{
    QStringList offered;
    QString first;
    DialogAnswer answer([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        offered = files.nameFilters();
        first = files.selectedNameFilter();
        EXPECT_EQ(files.windowTitle(), QStringLiteral("Bild speichern unter"));
        EXPECT_TRUE(files.testOption(QFileDialog::DontUseNativeDialog));
        // the user picks PNG and types a name without an extension
        ChooseType(files, QStringLiteral("PNG-Bild (*.png)"));
        files.selectFile(QStringLiteral("copy"));
        return int(QDialog::Accepted);
    });
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 8)); // a change to save
    form->SaveAsBtnClick();
    EXPECT_FALSE(form->WorkModified) << "saved: closing need not warn";
    EXPECT_EQ(offered.size(), 5);
    EXPECT_EQ(first, QStringLiteral("JPEG-Bild (*.jpg *.jpeg *.jpe *.jfif)")) << "as opened";
    EXPECT_TRUE(std::filesystem::exists(programDir + "copy.png"));
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(SavePage, ReplacingAFileIsAskedAndASaveThatFailsIsSaid)
{
    const auto before = std::filesystem::file_size(source);
    int round = 0;
    DialogAnswer answer([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_TRUE(files.selectedFiles().value(0).endsWith(QStringLiteral("photo.jpg")));
        return int(++round == 1 ? QDialog::Accepted : QDialog::Rejected);
    });
    boxes.reset(); // one recorder at a time: each puts back the handler it found
    boxes = std::make_unique<MessageBoxRecorder>(IDCANCEL);
    form->SaveAsBtnClick();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text,
              "Die Datei „photo.jpg“ gibt es schon.\nSoll sie ersetzt werden?");
    EXPECT_EQ(answer.shown, 2) << "declining goes back to the dialog";
    EXPECT_EQ(std::filesystem::file_size(source), before);

    DialogAnswer unwritable([&](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(
            QString::fromStdString(programDir + "missing/folder/x.png"));
        return int(QDialog::Accepted);
    });
    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDOK);
    form->ApplyStep(MirrorStep(true)); // a change
    form->SaveAsBtnClick();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_NE(boxes->shown[0].text.find("konnte nicht geschrieben werden"), std::string::npos);
    EXPECT_TRUE(form->WorkModified) << "nothing was saved";
}

TEST_F(SavePage, TheSavedJpegKeepsTheSourceQuality)
{
    DialogAnswer answer([&](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(QStringLiteral("again.jpg"));
        return int(QDialog::Accepted);
    });
    form->SaveAsBtnClick();
    EXPECT_EQ(ReadPictureMetadata(programDir + "again.jpg").jpegQuality, 64);
}

TEST_F(ResultPage, AColourNetpbmIsOfferedAPixelMapWhicheverWayItIsSaved)
{
    DibGuard colours(MakeDib(6, 4, 24, [](int x, int y) { return RGB(x * 40, 200, y * 60); }));
    ASSERT_TRUE(WriteDibFile(colours.dib, programDir + "photo.ppm"));
    form->OpenFileNow(programDir + "photo.ppm");
    struct Case {
        const char* type; // "" keeps the offer
        const char* name; // as the dialog shows it when the user confirms
    };
    for (const Case& c : {Case{"", "photo.ppm"}, Case{"Portable", "other.ppm"}}) {
        QString shown;
        DialogAnswer answer([&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            if (*c.type) {
                files.selectFile(QStringLiteral("other.png"));
                ChooseType(files, QString::fromLatin1(c.type));
            }
            shown = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
            return int(QDialog::Accepted);
        });
        form->SaveAsBtnClick();
        EXPECT_EQ(shown, QString::fromLatin1(c.name));
        DibGuard saved;
        OpenDib(&saved.dib, (programDir + c.name).c_str(), 0, nullptr);
        ASSERT_NE(saved->Bits, nullptr) << c.name;
        EXPECT_EQ(DibBitCount(saved.dib), 24) << "no colour lost";
        EXPECT_EQ(getpixel(saved.dib, 5, 3), getpixel(colours.dib, 5, 3));
    }
}

TEST_F(ResultPage, TheSaveDialogListsSizesAndDatesInGerman)
{
    // 1536 bytes, last changed on 5 March 2024 at 14:07 local time
    const QString path = QString::fromStdString(programDir + "liste.png");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(1536, 'x'));
    file.close(); // the time after the last write
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7)),
                                 QFileDevice::FileModificationTime));
    file.close();
    form->FileName = programDir + "photo.png"; // the folder the dialog opens in
    std::string size, date;
    DialogAnswer answer([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        files.setViewMode(QFileDialog::Detail);
        files.show(); // the list reads what it shows
        auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        // the folder is read on a thread of Qt's
        QElapsedTimer waited;
        waited.start();
        while (size.empty() && waited.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            QAbstractItemModel* model = view->model();
            for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
                const QModelIndex name = model->index(row, 0, view->rootIndex());
                if (name.data().toString() == QStringLiteral("liste.png")) {
                    size = name.siblingAtColumn(1).data().toString().toStdString();
                    date = name.siblingAtColumn(3).data().toString().toStdString();
                }
            }
        }
        return int(QDialog::Rejected);
    });
    form->SaveAsBtnClick();
    EXPECT_EQ(size, "1,5 kB") << "the system's locale: " << QLocale::system().name().toStdString();
    EXPECT_EQ(date, "05.03.24 14:07");
}

TEST_F(SavePage, AScanIsOfferedANewNameInTheFolderSavedToLastNeverThePhotos)
{
    QSettings().remove("SaveDialog1");
    form->WMUser2(KeepScannedPicture(MakeDib(4, 4, 24, [](int, int) { return 0u; })));
    std::tm local{};
    localtime_r(&form->ScanTime, &local);
    std::vector<std::string> offered;
    std::string saveAs; // empty: the user cancels
    DialogAnswer answer([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        offered.push_back(files.selectedFiles().value(0).toStdString());
        if (saveAs.empty())
            return int(QDialog::Rejected);
        files.selectFile(QString::fromStdString(saveAs));
        return int(QDialog::Accepted);
    });
    auto save = [&](const std::string& as) {
        saveAs = as;
        form->SaveAsBtnClick();
        return offered.back();
    };
    const std::string name = ScanFileName(local);
    EXPECT_EQ(save(""), QDir::homePath().toStdString() + "/" + name) << "none saved to yet";
    save(programDir + "elsewhere.png");
    EXPECT_EQ(save(programDir + name), programDir + name) << "the folder saved to last";
    EXPECT_EQ(save(""), programDir + ScanFileName(local, 2)) << "never the scan saved before";

    form->UndoBtn1Click();
    EXPECT_EQ(save(""), source) << "the photo is back with its name";
    EXPECT_EQ(form->Metadata.jpegQuality, 64);
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(ResultPage, PrintingRunsTheLayoutDialogThenOneJob)
{
    const std::string pdf = programDir + "printed.pdf";
    QPrinter& printer = Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    printer.setResolution(72);

    const TDibRecord* shown = nullptr;
    bool accept = false;
    DialogAnswer answer([&](QDialog& dialog) {
        auto& layout = dynamic_cast<TPrintForm&>(dialog);
        shown = &layout.PrintDib;
        EXPECT_EQ(layout.PrintDib.Bits, form->WorkDib.Bits) << "the working image, not a copy";
        EXPECT_EQ(layout.Page.width, 595);
        return int(accept ? QDialog::Accepted : QDialog::Rejected);
    });
    form->PrintBtnClick();
    EXPECT_NE(shown, nullptr);
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "cancel prints nothing";
    accept = true;
    form->PrintBtnClick();
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    EXPECT_TRUE(boxes->shown.empty());

    printer.setOutputFileName({});
    printer.setOutputFormat(QPrinter::NativeFormat);
    printer.setPrinterName({});
    form->PrintBtnClick();
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text.rfind("Es ist kein Drucker eingerichtet.", 0), 0u);
}

} // namespace
