#include "TestSupport.h"

namespace {

TEST(MessageBoxes, GoToTheInstalledHandlerAndBackToThePreviousOne)
{
    MessageBoxRecorder outer(IDOK);
    {
        MessageBoxRecorder inner(IDCANCEL);
        EXPECT_EQ(MessageBox("Frage?", "Titel", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
        ASSERT_EQ(inner.shown.size(), 1u);
        EXPECT_EQ(inner.shown[0].text, "Frage?");
        EXPECT_EQ(inner.shown[0].caption, "Titel");
        EXPECT_EQ(inner.shown[0].flags, MB_OKCANCEL | MB_ICONQUESTION);
    }
    EXPECT_EQ(MessageBox("Hinweis"), IDOK);
    EXPECT_EQ(outer.shown.size(), 1u);
}

TEST(MessageBoxes, WithoutAHandlerTheAnswerIsOk)
{
    const MessageBoxHandler none = SetMessageBoxHandler(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBox("Fehler!", "", MB_OKCANCEL), IDOK);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Fehler!\n");
    SetMessageBoxHandler(none);
}

} // namespace
