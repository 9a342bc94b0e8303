#include "MainWindowFixture.h"

#include "PictureSupport.h"
#include "UserInput.h"

#include "app/AboutBox.h"
#include "toolkit/ElidedText.h"
#include "toolkit/ImageBtn.h"
#include "toolkit/PaintBox.h"
#include "toolkit/StatusBar.h"
#include "toolkit/WindowMessages.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <functional>

namespace {

TEST_F(MainWindowTest, FrameAsDesigned)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Norvane Kelvora 1.0"));
    EXPECT_EQ(form->size(), QSize(622, 489));
    EXPECT_EQ(form->ProgramDir, programDir);
    ASSERT_EQ(form->PageControl2->count(), 5);
    const char* captions[] = {"Bild öffnen", "Scannen", "Zuschneiden", "Optimieren",
                              "Speichern/Drucken"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(form->PageControl2->tabText(i), QString::fromUtf8(captions[i]));
        EXPECT_FALSE(form->PageControl2->tabIcon(i).isNull()) << "tab " << i << " has no icon";
    }
    EXPECT_EQ(form->PageControl2->widget(2), form->TabSheet1);
    EXPECT_EQ(form->PageControl2->currentWidget(), form->TabSheet2);
    EXPECT_EQ(form->Panel7->height(), 41);
    EXPECT_EQ(form->wwwBtn->toolTip(), QStringLiteral("Auf zur Norvane Homepage..."));
    EXPECT_EQ(form->ueberbtn->toolTip(), QStringLiteral("Informationen über das Programm"));
    EXPECT_EQ(form->endebtn->toolTip(), QStringLiteral("Hiermit verlassen Sie das Programm"));
    EXPECT_EQ(form->StatusBar1->PanelRect(1).left - form->StatusBar1->PanelRect(0).left, 250);
    EXPECT_EQ(form->SplitPercent, 50);
    EXPECT_EQ(form->FileName, "");
}

TEST_F(MainWindowTest, BannersCarryThePageTitles)
{
    int found = 0;
    for (FitLabel* label : form->findChildren<FitLabel*>())
        if (label->FullText() ==
                QStringLiteral("Optimieren - Korrekturmodus wählen und immer auf das "
                               "Foto klicken, dass Ihnen am besten gefällt") ||
            label->FullText() == QStringLiteral("Bild öffnen - wählen Sie die zu bearbeitende "
                                                "Bild-Datei aus"))
            ++found;
    EXPECT_EQ(found, 2);
}

TEST_F(MainWindowTest, StartsWithBlankPicturesAndNothingToUndo)
{
    for (const TDibRecord* d : {&form->WorkDib, &form->OrigDib}) {
        EXPECT_EQ(DibWidth(*d), 320);
        EXPECT_EQ(DibHeight(*d), 240);
        EXPECT_EQ(DibBitCount(*d), 24);
    }
    EXPECT_NE(form->WorkDib.Bits, form->OrigDib.Bits);
    EXPECT_FALSE(form->Steps().CanUndo());
}

TEST_F(MainWindowTest, CancelInTheClosingQuestionKeepsEverything)
{
    ShowWindow();
    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDCANCEL);
    const std::uint8_t* work = form->WorkDib.Bits;
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->WorkDib.Bits, work);
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_EQ(boxes->shown[0].text, "Hiermit beenden Sie das Programm!");
    EXPECT_EQ(boxes->shown[0].caption, "Programm beenden");
    EXPECT_EQ(boxes->shown[0].flags, MB_OKCANCEL | MB_ICONINFORMATION);

    form->EndeBtnClick(); // the exit button asks the same question
    EXPECT_EQ(boxes->shown.size(), 2u);
    EXPECT_TRUE(form->isVisible());

    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDOK);
    EXPECT_TRUE(form->close());
}

TEST_F(MainWindowTest, ClosingOverUnsavedChangesSaysSo)
{
    ShowWindow();
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 8)); // a change
    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDCANCEL);
    EXPECT_FALSE(form->close());
    form->UndoBtn1Click(); // back to the blank start picture: nothing to lose
    EXPECT_FALSE(form->close());
    ASSERT_EQ(boxes->shown.size(), 2u);
    EXPECT_EQ(boxes->shown[0].text, "Die Änderungen am Bild wurden nicht gespeichert.\n\n"
                                    "Hiermit beenden Sie das Programm!");
    EXPECT_EQ(boxes->shown[0].caption, "Programm beenden");
    EXPECT_EQ(boxes->shown[0].flags & 0x0F, MB_OKCANCEL);
    EXPECT_EQ(boxes->shown[1].text, "Hiermit beenden Sie das Programm!");
    boxes.reset();
    boxes = std::make_unique<MessageBoxRecorder>(IDOK);
}

TEST_F(MainWindowTest, SidePanelTitlesAndBannersShowWhole)
{
    ShowWindow();
    for (QWidget* page : {form->TabSheet3, form->TabSheet1, form->TabSheet5}) {
        form->PageControl2->setCurrentWidget(page);
        QApplication::processEvents();
        for (FitLabel* label : page->findChildren<FitLabel*>())
            EXPECT_EQ(label->text(), label->FullText()) << label->FullText().toStdString();
    }
}

TEST_F(MainWindowTest, EnteringTheCropPageSelectsTheWholePictureEveryTime)
{
    form->CropRect = RECT{1, 2, 3, 4};
    form->PageControl2->setCurrentWidget(form->TabSheet4);
    EXPECT_EQ(form->CropRect, (RECT{1, 2, 3, 4})) << "other pages leave the selection";
    form->PageControl2->setCurrentWidget(form->TabSheet1);
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 320, 240}));
    form->CropRect = RECT{5, 5, 6, 6};
    form->PageControl2->setCurrentWidget(form->TabSheet2);
    form->PageControl2->setCurrentWidget(form->TabSheet1);
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 320, 240}));
}

TEST_F(MainWindowTest, UndoButtonsGoBackAStepAndRepaint)
{
    ShowWindow();
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 8));
    ASSERT_EQ(getpixel(form->WorkDib, 0, 0), 0x202020u);
    form->CropRect = RECT{1, 1, 2, 2};
    form->UndoBtn2->click();
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), 0u);
    EXPECT_EQ(form->CropRect, (RECT{0, 0, 320, 240}));
    form->ApplyStep(CorrectStep(kModeHelligkeit, 4, 8));
    form->UndoBtn1->click();
    EXPECT_EQ(getpixel(form->WorkDib, 0, 0), 0u);
}

TEST_F(MainWindowTest, UndoAndRedoButtonsNameTheirStepAndAreOffWithoutOne)
{
    const char* const bright = "Helligkeit +2 (Intensität 8)";
    const char* const mirror = "Horizontal gespiegelt";
    const struct {
        std::function<void()> act;
        const char *undo, *redo; // the step each pair of buttons names; none: they are off
    } rows[] = {
        {[] {}, nullptr, nullptr},
        {[&] { form->ApplyStep(CorrectStep(kModeHelligkeit, 2, 8)); }, bright, nullptr},
        {[&] { form->MirrorHBtn->click(); }, mirror, nullptr},
        {[&] { form->UndoBtn2->click(); }, bright, mirror},
        {[&] { form->UndoBtn1->click(); }, nullptr, bright},
        {[&] { form->RedoBtn2->click(); }, bright, mirror},
        {[&] { form->RedoBtn1->click(); }, mirror, nullptr},
        {[&] { form->UndoBtn1->click(), form->ApplyStep(CorrectStep(kModeKontrast, -1, 8)); },
         "Kontrast -1 (Intensität 8)", nullptr},
    };
    const auto expect = [](std::initializer_list<QPushButton*> pair, const char* step,
                           const char* off, const char* on) {
        for (QPushButton* b : pair) {
            EXPECT_EQ(b->isEnabled(), step != nullptr);
            EXPECT_EQ(b->toolTip().toStdString(), step ? "„" + std::string(step) + "“ " + on : off);
        }
    };
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        rows[i].act();
        expect({form->UndoBtn1, form->UndoBtn2}, rows[i].undo, "Nichts rückgängig zu machen",
               "rückgängig machen (Strg+Z)");
        expect({form->RedoBtn1, form->RedoBtn2}, rows[i].redo, "Nichts zu wiederholen",
               "wiederholen (Strg+Umschalt+Z oder Strg+Y)");
    }
}

TEST_F(MainWindowTest, ResultPageListsTheStepsAndAClickGoesBackToOne)
{
    form->PageControl2->setCurrentWidget(form->TabSheet5);
    ShowWindow();
    QListWidget* list = form->HistoryList;
    // The lines, starred once if bold and once if current: the current step alone is both.
    const auto lines = [list] {
        std::vector<std::string> texts;
        for (int i = 0; i < list->count(); ++i)
            texts.push_back(std::string(list->item(i)->font().bold() ? "*" : "") +
                            (i == list->currentRow() ? "*" : "") +
                            list->item(i)->text().toStdString());
        return texts;
    };
    EXPECT_EQ(lines(), std::vector<std::string>{"**Leeres Bild"});
    form->ApplyStep(CorrectStep(kModeHelligkeit, 2, 8));
    DibGuard afterFirst;
    MakeDIBCopy(form->WorkDib, afterFirst.dib);
    form->MirrorHBtn->click();
    form->ApplyStep(CropStep(RECT{10, 20, 110, 70}, 320, 240));
    const std::string bright = "Helligkeit +2 (Intensität 8)", mirror = "Horizontal gespiegelt",
                      crop = "Zugeschnitten auf 100 × 50 Pixel";
    EXPECT_EQ(lines(), (std::vector<std::string>{"Leeres Bild", bright, mirror, "**" + crop}));

    ClickAt(list->viewport(), list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(form->Steps().Current(), 1);
    EXPECT_TRUE(SamePixels(form->WorkDib, afterFirst.dib));
    EXPECT_EQ(lines(), (std::vector<std::string>{"Leeres Bild", "**" + bright, mirror, crop}))
        << "the later steps stay until a new one";
    EXPECT_NE(list->item(2)->foreground().color(), list->item(1)->foreground().color())
        << "the steps a redo brings back look different";
    form->ApplyStep(MirrorStep(false));
    EXPECT_EQ(lines(), (std::vector<std::string>{"Leeres Bild", bright, "**Vertikal gespiegelt"}));
}

TEST_F(MainWindowTest, AboutBoxShowsThisYear)
{
    EXPECT_EQ(InsertYear(QStringLiteral("(c) XXXX and XXXX"), 2026),
              QStringLiteral("(c) 2026 and XXXX"));
    EXPECT_EQ(InsertYear(QStringLiteral("no year"), 2026), QStringLiteral("no year"));
    TAboutBox about(form.get());
    const QString year = QString::number(QDate::currentDate().year());
    EXPECT_TRUE(about.CopyrightLabel->text().contains(year));
    EXPECT_FALSE(about.CopyrightLabel->text().contains(QStringLiteral("XXXX")));
    EXPECT_EQ(about.windowTitle(), QStringLiteral("Info"));
    about.BitBtnXP1->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], kProductWebAddress);
}

TEST_F(MainWindowTest, WebButtonOpensTheProductPage)
{
    form->wwwBtn->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], kProductWebAddress);
}

TEST_F(MainWindowTest, PostedUserMessageReportsProgress)
{
    PostWindowMessage(form.get(), WM_USER, 42);
    EXPECT_EQ(form->ProgressPercent, 0) << "posted, not sent";
    QApplication::processEvents();
    EXPECT_EQ(form->ProgressPercent, 42);
}

TEST_F(MainWindowTest, CursorOfTheCropPaneChangesOnlyWhenDifferent)
{
    form->setcursor_(Qt::CrossCursor);
    EXPECT_EQ(form->RetuschPaint->cursor().shape(), Qt::CrossCursor);
    form->setcursor_(Qt::SizeAllCursor);
    EXPECT_EQ(form->RetuschPaint->cursor().shape(), Qt::SizeAllCursor);
}

} // namespace
