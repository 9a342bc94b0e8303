// The batch dialog as the user sees it, beside the window it leaves usable.
#include "ScreenFixture.h"

#include "app/BatchDialog.h"

#include <QApplication>

namespace {

TEST_F(ScreenTest, TheBatchDialogShowsAsDrawnAndTheWindowStaysUsable)
{
    ShowWindow();
    form->BatchRecipeClick();
    TBatchDialog* dialog = form->BatchDialog;
    dialog->SetRecipeFile(programDir + "serie.kelvora-rezept");
    dialog->AddInputs({QString::fromStdString(programDir + "fotos")});
    ASSERT_TRUE(ShowOnScreen(dialog));
    EXPECT_TRUE(ScreenMatchesFreshRedraw(dialog));
    EXPECT_FALSE(dialog->isModal());
    EXPECT_TRUE(form->isEnabled());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

} // namespace
