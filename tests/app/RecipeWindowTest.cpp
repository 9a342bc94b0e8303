// Recipes in the window: saved from the history, applied step by step, and
// run over many files by the command line with the batch dialog.
#include "DialogAnswer.h"
#include "MainWindowFixture.h"
#include "PictureSupport.h"

#include "app/BatchDialog.h"
#include "app/BatchProgress.h"
#include "geometry/ResizeForm.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "steps/StepText.h"
#include "toolkit/SpinEdit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Lets the event loop run until done() or the time is up.
bool WaitFor(const std::function<bool()>& done, int ms = 60000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class RecipeWindow : public MainWindowTest {
protected:
    // A photo-like picture of the size, written to the program folder.
    std::string Photo(const std::string& name, int width, int height)
    {
        DibGuard photo(MakeDib(width, height, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 5 + y), std::uint8_t(y * 7), std::uint8_t((x ^ y) * 3));
        }));
        const std::string path = programDir + name;
        EXPECT_TRUE(WriteDibFile(photo.dib, path, nullptr, 90));
        return path;
    }
    std::string Recipe(const std::string& name, const std::string& text)
    {
        std::ofstream(programDir + name) << text;
        return programDir + name;
    }
};

TEST_F(RecipeWindow, ARecipeSavedInTheWindowGivesTheWindowsBytesOnTheCommandLine)
{
    const std::string photo = Photo("photo.bmp", 60, 40);
    form->OpenFileNow(photo);
    form->CropRect = RECT{5, 4, 50, 36};
    form->CutBtnClick();
    form->MirrorHBtnClick();
    DialogAnswer resize([](QDialog& dialog) {
        dynamic_cast<TResizeForm&>(dialog).BreitEdit->setValue(30); // the height follows
        return int(QDialog::Accepted);
    });
    form->SizeBtnClick();
    form->ApplyStep(CorrectStep(kModeHelligkeit, 2, 8));
    form->Undo(*form);
    form->ApplyStep(CorrectStep(kModeKontrast, 1, 8)); // only the steps up to the current one
    DialogAnswer save([&](QDialog& dialog) {
        auto& files = dynamic_cast<QFileDialog&>(dialog);
        EXPECT_EQ(files.windowTitle(), QStringLiteral("Rezept speichern unter"));
        files.selectFile(QString::fromStdString(programDir + "serie"));
        return int(QDialog::Accepted);
    });
    form->SaveRecipeClick();
    const std::string recipe = programDir + "serie.kelvora-rezept";
    EXPECT_EQ(ReadBytes(recipe), "# Kelvora-Rezept 1\n"
                                 "--crop 5,4,50,36@60x40\n"
                                 "--mirror h\n"
                                 "--resize 30x\n"
                                 "--correct kontrast:1:8\n");
    {
        DialogAnswer nowhere([&](QDialog& dialog) {
            dynamic_cast<QFileDialog&>(dialog).selectFile(
                QString::fromStdString(programDir + "fehlt/serie.txt"));
            return int(QDialog::Accepted);
        });
        form->SaveRecipeClick();
        ASSERT_EQ(boxes->shown.size(), 1u);
        EXPECT_EQ(
            boxes->shown[0].text.rfind("Das Rezept „" + programDir +
                                           "fehlt/serie.txt“ konnte nicht gespeichert werden: ",
                                       0),
            0u)
            << boxes->shown[0].text;
        boxes->shown.clear();
    }
    ASSERT_TRUE(WriteDibFile(form->WorkDib, programDir + "window.bmp", nullptr, 90));
    const std::string command = std::string("'") + KELVORA_CLI + "' '" + photo + "' --recipe '" +
                                recipe + "' -o '" + programDir + "cli.bmp'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(ReadBytes(programDir + "cli.bmp"), ReadBytes(programDir + "window.bmp"));

    // On a picture twice the size the crop scales and the resize keeps the proportions.
    form->OpenFileNow(Photo("large.bmp", 120, 80));
    boxes->shown.clear(); // the question about the unsaved picture
    ASSERT_TRUE(form->ApplyRecipeFile(recipe));
    EXPECT_EQ(DibWidth(form->WorkDib), 30);
    EXPECT_EQ(DibHeight(form->WorkDib), 21) << "Trunc(30 * 64 / 90) of the 90 x 64 cut";
    EXPECT_TRUE(boxes->shown.empty());
}

TEST_F(RecipeWindow, EachStepOfARecipeIsAHistoryEntryAndABadOneAppliesNothing)
{
    form->OpenFileNow(Photo("photo.bmp", 30, 20));
    const std::string good =
        Recipe("good.txt", "# Kelvora-Rezept 1\n--rotate rechts:90\n\n# Kommentar\n"
                           "--mirror v\n--correct gamma:-2\n");
    ASSERT_TRUE(form->ApplyRecipeFile(good));
    ASSERT_EQ(form->Steps().Count(), 4);
    EXPECT_EQ(FormatStep(form->Steps().At(1).step), "--rotate rechts:90");
    EXPECT_EQ(FormatStep(form->Steps().At(3).step), "--correct gamma:-2:8");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(form->Undo(*form)) << "undone one by one";
    EXPECT_EQ(DibWidth(form->WorkDib), 30);
    EXPECT_FALSE(form->Steps().CanUndo());

    const struct {
        std::string text;
        const char* said;
    } refused[] = {
        {"# Kelvora-Rezept 1\n--mirror h\n--resize 0x\n", "“, Zeile 3: "},
        {"--mirror h\n", "“, Zeile 1: die erste Zeile eines Rezepts lautet"},
        {"# Kelvora-Rezept 1\n--mirror h\n--resize 32767x32767\n",
         "“, Schritt 2 (--resize 32767x32767): "},
    };
    const AllocationLimit small(std::size_t(1) << 20); // the last one fails as it runs
    for (const auto& row : refused) {
        boxes->shown.clear();
        EXPECT_FALSE(form->ApplyRecipeFile(Recipe("bad.txt", row.text))) << row.said;
        ASSERT_EQ(boxes->shown.size(), 1u) << row.said;
        EXPECT_NE(boxes->shown[0].text.find("Rezept „" + programDir + "bad.txt" + row.said),
                  std::string::npos)
            << boxes->shown[0].text;
        EXPECT_EQ(form->Steps().Current(), 0) << "the picture is as before the recipe";
        EXPECT_EQ(DibWidth(form->WorkDib), 30);
    }
}

TEST(BatchProgress, LinesAreReadAndTheTimeLeftFollowsTheFilesDone)
{
    const struct {
        const char* line;
        bool read;
        int done, all;
    } lines[] = {
        {"fertig 3/10", true, 3, 10},  {"fertig 10/10\r", true, 10, 10},
        {"fertig 11/10", false, 0, 0}, {"fertig 1/0", false, 0, 0},
        {"fertig 1/", false, 0, 0},    {"3 bearbeitet, 0 übersprungen", false, 0, 0},
        {"fertig -1/3", false, 0, 0},
    };
    for (const auto& row : lines) {
        int done = 0, all = 0;
        EXPECT_EQ(ParseProgressLine(row.line, done, all), row.read) << row.line;
        if (row.read) {
            EXPECT_EQ(std::pair(done, all), std::pair(row.done, row.all)) << row.line;
        }
    }
    const struct {
        int done, all;
        double seconds;
        const char* text;
    } texts[] = {
        {0, 5, 3.0, "0 von 5 Dateien fertig"},
        {2, 10, 3.0, "2 von 10 Dateien fertig, noch etwa 12 s"},
        {1, 3, 0.1, "1 von 3 Dateien fertig, noch etwa 1 s"},
        {1, 4, 40.0, "1 von 4 Dateien fertig, noch etwa 2 min"},
        {1, 200, 30.0, "1 von 200 Dateien fertig, noch etwa 1 h 40 min"},
        {1, 1, 9.0, "1 von 1 Datei fertig"},
    };
    for (const auto& row : texts)
        EXPECT_EQ(BatchProgressText(row.done, row.all, row.seconds), row.text);
}

class BatchWindow : public RecipeWindow {
protected:
    void SetUp() override
    {
        RecipeWindow::SetUp();
        // The command line is found beside the program.
        fs::create_symlink(KELVORA_CLI, programDir + "kelvora-cli");
        fs::create_directories(programDir + "in");
        recipe = Recipe("serie.txt", "# Kelvora-Rezept 1\n--mirror h\n--resize 20x\n");
        form->BatchRecipeClick();
        dialog = form->BatchDialog;
        ASSERT_TRUE(dialog && dialog->isVisible() && !dialog->isModal());
    }
    // Runs the batch over the folder "in" into "out" and waits for its end.
    void Run(const std::function<void()>& meanwhile = [] {})
    {
        dialog->SetRecipeFile(recipe);
        dialog->AddInputs({QString::fromStdString(programDir + "in")});
        dialog->SetOutDir(programDir + "out");
        bool ended = false;
        const QMetaObject::Connection connection =
            QObject::connect(dialog, &TBatchDialog::Finished, dialog, [&] { ended = true; });
        ASSERT_TRUE(dialog->Start());
        EXPECT_FALSE(dialog->StartBtn->isEnabled());
        meanwhile();
        const bool done = WaitFor([&] { return ended; });
        QObject::disconnect(connection);
        ASSERT_TRUE(done);
        EXPECT_FALSE(dialog->Running());
        EXPECT_TRUE(dialog->StartBtn->isEnabled());
    }
    std::vector<std::string> Outputs()
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(programDir + "out"))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string recipe;
    TBatchDialog* dialog = nullptr;
};

TEST_F(BatchWindow, ARealBatchReportsItsProgressAndSummaryWhileTheWindowWorksOn)
{
    for (const char* name : {"a.bmp", "b.png", "c.bmp"})
        Photo("in/" + std::string(name), 40, 30);
    std::ofstream(programDir + "in/kaputt.png") << "kein Bild";
    form->OpenFileNow(Photo("photo.bmp", 30, 20));
    Run([&] { form->MirrorVBtnClick(); });
    EXPECT_EQ(form->Steps().Count(), 2) << "the window took a step meanwhile";
    EXPECT_EQ(dialog->Bar->value(), 4);
    EXPECT_EQ(dialog->Bar->maximum(), 4);
    EXPECT_EQ(dialog->StatusLabel->text(),
              QStringLiteral("Fertig, aber nicht alle Bilder ließen sich bearbeiten."));
    const QString summary = dialog->SummaryText->toPlainText();
    EXPECT_TRUE(
        summary.startsWith(QStringLiteral("3 bearbeitet, 0 übersprungen, 1 fehlgeschlagen\n") +
                           QString::fromStdString(programDir + "in/kaputt.png: ")))
        << summary.toStdString();
    EXPECT_EQ(Outputs(), (std::vector<std::string>{"a.bmp", "b.png", "c.bmp"}));
    DibGuard made;
    OpenDib(&made.dib, (programDir + "out/b.png").c_str(), 0, nullptr);
    EXPECT_EQ(DibWidth(made.dib), 20);
    EXPECT_EQ(DibHeight(made.dib), 15);

    // Once more as PNG, leaving what is there: nothing is made again.
    dialog->FormatBox->setCurrentIndex(1);
    dialog->SkipCheck->setChecked(true);
    EXPECT_TRUE(dialog->Arguments().contains(QStringLiteral("--skip-existing")));
    Run();
    EXPECT_TRUE(dialog->SummaryText->toPlainText().startsWith(
        QStringLiteral("2 bearbeitet, 1 übersprungen, 1 fehlgeschlagen")))
        << "b.png is there already";
}

TEST_F(BatchWindow, AbbrechenStopsTheBatchAndItsJobsAndLeavesNoHalfFiles)
{
    // Many more files than cores, so the batch cannot be done before it is stopped.
    const unsigned files = std::max(60u, 8 * std::thread::hardware_concurrency());
    for (unsigned i = 0; i < files; ++i)
        Photo("in/p" + std::to_string(1000 + i) + ".bmp", 400, 300);
    Run([&] {
        ASSERT_TRUE(WaitFor([&] { return dialog->Bar->value() >= 1; }));
        dialog->CancelBtn->click();
    });
    EXPECT_EQ(dialog->StatusLabel->text(), QStringLiteral("Abgebrochen."));
    EXPECT_NE(dialog->SummaryText->toPlainText().indexOf(QStringLiteral("Abgebrochen: ")), -1)
        << dialog->SummaryText->toPlainText().toStdString();
    const std::vector<std::string> made = Outputs();
    EXPECT_LT(made.size(), files);
    for (const std::string& name : made)
        EXPECT_FALSE(name.ends_with(".tmp")) << name;
    // No job goes on writing once the batch has ended.
    WaitFor([] { return false; }, 500);
    EXPECT_EQ(Outputs(), made);
}

TEST_F(BatchWindow, WhatIsMissingIsSaidBeforeAnythingRuns)
{
    const struct {
        bool recipe, inputs, outDir;
        const char* said;
    } rows[] = {
        {false, true, true, "Bitte wählen Sie ein Rezept."},
        {true, false, true, "Bitte wählen Sie Bilder oder Ordner."},
        {true, true, false, "Bitte wählen Sie einen Zielordner."},
    };
    for (const auto& row : rows) {
        TBatchDialog fresh(nullptr, programDir + "kelvora-cli");
        if (row.recipe)
            fresh.SetRecipeFile(recipe);
        if (row.inputs)
            fresh.AddInputs({QString::fromStdString(programDir + "in")});
        if (row.outDir)
            fresh.SetOutDir(programDir + "out");
        boxes->shown.clear();
        EXPECT_FALSE(fresh.Start());
        ASSERT_EQ(boxes->shown.size(), 1u);
        EXPECT_EQ(boxes->shown[0].text, row.said);
    }
    TBatchDialog lost(nullptr, programDir + "fehlt/kelvora-cli");
    lost.SetRecipeFile(recipe);
    lost.AddInputs({QString::fromStdString(programDir + "in")});
    lost.SetOutDir(programDir + "out");
    boxes->shown.clear();
    EXPECT_FALSE(lost.Start());
    ASSERT_EQ(boxes->shown.size(), 1u);
    EXPECT_NE(boxes->shown[0].text.find("fehlt; es gehört neben Kelvora"), std::string::npos);
}

} // namespace
