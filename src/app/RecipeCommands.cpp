// The bottom bar's recipe commands: the steps made on this picture saved as
// a recipe, a recipe applied to it step by step, and a recipe run over many
// files by the command line.
#include "app/MainUnit.h"

#include "app/BatchDialog.h"
#include "app/RecipeFileDialog.h"
#include "steps/Recipe.h"
#include "steps/StepText.h"
#include "toolkit/MessageBox.h"
#include "toolkit/WaitCursor.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Each step's progress as its share of the whole recipe's. The 0 a step
// reports at its end is left out, so the bar never runs back between steps.
class RecipeProgress final : public ProgressSink {
public:
    RecipeProgress(ProgressSink& to, int steps) : to_(to), steps_(steps) {}
    void SetProStatus(int percent) override
    {
        if (percent > 0)
            to_.SetProStatus((done_ * 100 + percent) / steps_);
    }
    void Next() { ++done_; }

private:
    ProgressSink& to_;
    int steps_;
    int done_ = 0;
};

// Where a recipe's file dialog begins: the last recipe, else the picture's folder.
std::string RecipeStart(const std::string& lastRecipe, const std::string& picture)
{
    if (!lastRecipe.empty() || picture.empty())
        return lastRecipe;
    return QFileInfo(QFile::decodeName(picture.c_str())).absolutePath().toStdString();
}

} // namespace

void TMainForm::SaveRecipeClick()
{
    const std::vector<Step> steps = Steps().StepsSinceSource();
    if (steps.empty()) {
        MessageBox("Seit dem Öffnen des Bildes wurde nichts daran geändert: "
                   "das Rezept hätte keinen Schritt.",
                   "Rezept speichern", MB_OK | MB_ICONINFORMATION);
        return;
    }
    const std::string path = AskRecipeSaveName(this, RecipeStart(RecipePath, FileName));
    if (path.empty())
        return;
    std::string error;
    if (!WriteRecipe(path, steps, error)) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return;
    }
    RecipePath = path;
}

void TMainForm::ApplyRecipeClick()
{
    const std::string path = AskRecipeOpenName(this, RecipeStart(RecipePath, FileName));
    if (!path.empty())
        ApplyRecipeFile(path);
}

bool TMainForm::ApplyRecipeFile(const std::string& path)
{
    std::vector<Step> steps;
    std::string error;
    if (!ReadRecipe(path, steps, error)) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return false;
    }
    RecipePath = path;
    if (steps.empty()) {
        MessageBox("Das Rezept „" + path + "“ enthält keinen Schritt.", {},
                   MB_OK | MB_ICONINFORMATION);
        return true;
    }
    WaitCursor wait;
    const int start = Steps().Current();
    RecipeProgress progress(*this, int(steps.size()));
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const StepResult result = Apply(steps[i], progress);
        progress.Next();
        if (!result.Error.empty()) {
            // The recipe goes whole or not at all; its first steps stay to be redone.
            GoTo(start, *this);
            SetProStatus(0);
            MessageBox("Rezept „" + path + "“, Schritt " + std::to_string(i + 1) + " (" +
                           FormatStep(steps[i]) + "): " + result.Error +
                           "\nDas Bild bleibt, wie es vor dem Rezept war.",
                       {}, MB_OK | MB_ICONERROR);
            return false;
        }
    }
    SetProStatus(0);
    return true;
}

void TMainForm::BatchRecipeClick()
{
    if (!BatchDialog)
        BatchDialog = new TBatchDialog(this, ProgramDir + "kelvora-cli");
    if (BatchDialog->RecipeFile().empty() && !RecipePath.empty())
        BatchDialog->SetRecipeFile(RecipePath);
    BatchDialog->show();
    BatchDialog->raise();
    BatchDialog->activateWindow();
}
