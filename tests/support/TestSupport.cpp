#include "TestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <utility>

void LeakCheckedTest::SetUp()
{
    dibs_ = LiveDibCount();
    palettes_ = LivePaletteCount();
    objects_ = LiveGdiObjectCount();
}

void LeakCheckedTest::TearDown()
{
    EXPECT_EQ(LiveDibCount(), dibs_) << "pictures leaked";
    EXPECT_EQ(LivePaletteCount(), palettes_) << "palettes leaked";
    EXPECT_EQ(LiveGdiObjectCount(), objects_) << "drawing objects leaked";
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : answer_(answer)
{
    previous_ = SetMessageBoxHandler([this](const MessageBoxRequest& r) {
        shown.push_back(r);
        return answer_;
    });
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    SetMessageBoxHandler(std::move(previous_));
}

std::string MakeTempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvora-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        std::abort();
    return pattern;
}
