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
#include <iterator>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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
        EXPECT_TRUE(WriteDibFile(photo.dib, programDir + name, nullptr, 90));
        return programDir + name;
    }
    std::string Recipe(const std::string& name, const std::string& steps)
    {
        std::ofstream(programDir + name) << "# Kelvora-Rezept 1\n" << steps;
        return programDir + name;
    }
    // The one message shown since the last call.
    std::string Said()
    {
        EXPECT_EQ(boxes->shown.size(), 1u);
        const std::string text = boxes->shown.empty() ? "" : boxes->shown.back().text;
        boxes->shown.clear();
        return text;
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
    for (const char* name : {"serie", "fehlt/serie.txt"}) {
        DialogAnswer save([&](QDialog& dialog) {
            auto& files = dynamic_cast<QFileDialog&>(dialog);
            EXPECT_EQ(files.windowTitle(), QStringLiteral("Rezept speichern unter"));
            files.selectFile(QString::fromStdString(programDir + name));
            return int(QDialog::Accepted);
        });
        form->SaveRecipeClick();
    }
    EXPECT_TRUE(Said().starts_with("Das Rezept „" + programDir +
                                   "fehlt/serie.txt“ konnte nicht gespeichert werden: "));
    const std::string recipe = programDir + "serie.kelvora-rezept";
    EXPECT_EQ(ReadBytes(recipe), "# Kelvora-Rezept 1\n--crop 5,4,50,36@60x40\n--mirror h\n"
                                 "--resize 30x\n--correct kontrast:1:8\n");

    ASSERT_TRUE(WriteDibFile(form->WorkDib, programDir + "window.bmp", nullptr, 90));
    const std::string command = std::string("'") + KELVORA_CLI + "' '" + photo + "' --recipe '" +
                                recipe + "' -o '" + programDir + "cli.bmp'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_EQ(ReadBytes(programDir + "cli.bmp"), ReadBytes(programDir + "window.bmp"));
}

TEST_F(RecipeWindow, EachStepOfARecipeIsAHistoryEntryAndABadOneAppliesNothing)
{
    form->OpenFileNow(Photo("photo.bmp", 30, 20));
    ASSERT_TRUE(form->ApplyRecipeFile(
        Recipe("good.txt", "--rotate rechts:90\n\n# Kommentar\n--mirror v\n--correct gamma:-2\n")));
    ASSERT_EQ(form->Steps().Count(), 4);
    EXPECT_EQ(FormatStep(form->Steps().At(1).step), "--rotate rechts:90");
    EXPECT_EQ(FormatStep(form->Steps().At(3).step), "--correct gamma:-2:8");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(form->Undo(*form)) << "undone one by one";
    EXPECT_EQ(DibWidth(form->WorkDib), 30);

    const AllocationLimit small(std::size_t(1) << 20); // the second step fails as it runs
    EXPECT_FALSE(form->ApplyRecipeFile(Recipe("bad.txt", "--mirror h\n--resize 32767x32767\n")));
    EXPECT_NE(Said().find("Rezept „" + programDir + "bad.txt“, Schritt 2 (--resize 32767x32767): "),
              std::string::npos);
    EXPECT_EQ(form->Steps().Current(), 0) << "the picture is as before the recipe";
    EXPECT_EQ(DibWidth(form->WorkDib), 30);
}

TEST(BatchProgress, LinesAreReadAndTheTimeLeftFollowsTheFilesDone)
{
    for (const char* line : {"fertig 11/10", "fertig 1/0", "fertig 1/", "fertig -1/3", "fertig 1",
                             "3 bearbeitet, 0 übersprungen"}) {
        int done = 0, all = 0;
        EXPECT_FALSE(ParseProgressLine(line, done, all)) << line;
    }
    for (const auto& [line, read] : {std::pair("fertig 3/10", std::pair(3, 10)),
                                     std::pair("fertig 10/10\r", std::pair(10, 10))}) {
        int done = 0, all = 0;
        EXPECT_TRUE(ParseProgressLine(line, done, all) && std::pair(done, all) == read) << line;
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
        fs::create_symlink(KELVORA_CLI, programDir + "kelvora-cli"); // found beside the program
        fs::create_directories(programDir + "in");
        form->BatchRecipeClick();
        dialog = form->BatchDialog;
        ASSERT_TRUE(dialog && dialog->isVisible() && !dialog->isModal());
        QObject::connect(dialog, &TBatchDialog::Finished, dialog, [this] { ++finished; });
        Fill(*dialog, true, true, true);
    }
    // The recipe, the folder "in" and the output folder "out", as asked.
    void Fill(TBatchDialog& batch, bool recipe, bool inputs, bool outDir)
    {
        if (recipe)
            batch.SetRecipeFile(Recipe("serie.txt", "--mirror h\n--resize 20x\n"));
        if (inputs)
            batch.AddInputs({QString::fromStdString(programDir + "in")});
        if (outDir)
            batch.SetOutDir(programDir + "out");
    }
    void Run(const std::function<void()>& meanwhile = [] {})
    {
        const int before = finished;
        ASSERT_TRUE(dialog->Start());
        EXPECT_FALSE(dialog->StartBtn->isEnabled());
        meanwhile();
        ASSERT_TRUE(WaitFor([&] { return finished > before; }));
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
    std::string Summary() { return dialog->SummaryText->toPlainText().toStdString(); }
    TBatchDialog* dialog = nullptr;
    int finished = 0;
};

TEST_F(BatchWindow, ARealBatchReportsItsProgressAndSummaryWhileTheWindowWorksOn)
{
    for (const char* name : {"a.bmp", "b.png", "c.bmp"})
        Photo("in/" + std::string(name), 40, 30);
    std::ofstream(programDir + "in/kaputt.png") << "kein Bild";
    form->OpenFileNow(Photo("photo.bmp", 30, 20));
    Run([&] { form->MirrorVBtnClick(); });
    EXPECT_EQ(form->Steps().Count(), 2) << "the window took a step meanwhile";
    EXPECT_EQ(std::pair(dialog->Bar->value(), dialog->Bar->maximum()), std::pair(4, 4));
    EXPECT_EQ(dialog->StatusLabel->text(),
              QStringLiteral("Fertig, aber nicht alle Bilder ließen sich bearbeiten."));
    EXPECT_TRUE(Summary().starts_with("3 bearbeitet, 0 übersprungen, 1 fehlgeschlagen\n" +
                                      programDir + "in/kaputt.png: "))
        << Summary();
    EXPECT_EQ(Outputs(), (std::vector<std::string>{"a.bmp", "b.png", "c.bmp"}));
    DibGuard made;
    OpenDib(&made.dib, (programDir + "out/b.png").c_str(), 0, nullptr);
    EXPECT_EQ(std::pair(DibWidth(made.dib), DibHeight(made.dib)), std::pair(20, 15));

    // Once more as PNG, leaving what is there: b.png is not made again.
    dialog->FormatBox->setCurrentIndex(1);
    dialog->SkipCheck->setChecked(true);
    Run();
    EXPECT_TRUE(Summary().starts_with("2 bearbeitet, 1 übersprungen, 1 fehlgeschlagen"))
        << Summary();
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
    EXPECT_NE(Summary().find("Abgebrochen: "), std::string::npos) << Summary();
    const std::vector<std::string> made = Outputs();
    EXPECT_LT(made.size(), files);
    for (const std::string& name : made)
        EXPECT_FALSE(name.ends_with(".tmp")) << name;
    WaitFor([] { return false; }, 500); // no job goes on writing once the batch has ended
    EXPECT_EQ(Outputs(), made);
}

TEST_F(BatchWindow, WhatIsMissingIsSaidBeforeAnythingRuns)
{
    const struct {
        bool recipe, inputs, outDir;
        const char *cli, *said;
    } rows[] = {
        {false, true, true, "kelvora-cli", "Bitte wählen Sie ein Rezept."},
        {true, false, true, "kelvora-cli", "Bitte wählen Sie Bilder oder Ordner."},
        {true, true, false, "kelvora-cli", "Bitte wählen Sie einen Zielordner."},
        {true, true, true, "fehlt/kelvora-cli", "fehlt; es gehört neben Kelvora"},
    };
    for (const auto& row : rows) {
        TBatchDialog fresh(nullptr, programDir + row.cli);
        Fill(fresh, row.recipe, row.inputs, row.outDir);
        EXPECT_FALSE(fresh.Start()) << row.said;
        EXPECT_NE(Said().find(row.said), std::string::npos) << row.said;
    }
}

} // namespace
