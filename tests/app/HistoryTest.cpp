// The history: any number of steps back and forth, the same bytes whether a
// state's picture was kept or made again, and memory within the budget.
#include "PictureSupport.h"

#include "app/WorkingImage.h"
#include "imagora/DibWriter.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

class HistoryTest : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        for (TDibRecord& d : states)
            deldib(d);
        LeakCheckedTest::TearDown();
    }

    static TDibRecord Photo()
    {
        return MakeDib(37, 23, 24, [](int x, int y) {
            return RGB(std::uint8_t(x * 7), std::uint8_t(y * 11), std::uint8_t((x ^ y) * 5));
        });
    }

    // Applies steps to a freshly opened photo, keeping a copy of every state.
    void Record(WorkingImage& image, const std::vector<Step>& steps)
    {
        image.InstallOpened(Photo(), "photo.bmp");
        Keep(image.WorkDib);
        for (const Step& step : steps) {
            ASSERT_EQ(image.Apply(step, quiet).Error, "") << DescribeStep(step);
            Keep(image.WorkDib);
        }
    }
    void Keep(const TDibRecord& d)
    {
        states.emplace_back();
        MakeDIBCopy(d, states.back());
    }
    bool IsState(const TDibRecord& d, int index)
    {
        const TDibRecord& s = states[std::size_t(index)];
        return SamePixels(d, s) && std::memcmp(d.Info->bmiColors, s.Info->bmiColors,
                                               sizeof(RGBQUAD) * DibTableColors(s)) == 0;
    }

    std::vector<TDibRecord> states; // the picture after each step, the opened one first
    NullProgress quiet;
};

std::vector<Step> Mixed()
{
    RotateChoice free;
    free.Angle = RotateAngle::Free;
    free.Degrees = 7.5L;
    return {CorrectStep(kModeHelligkeit, 2, 8),
            MirrorStep(true),
            CropStep(RECT{2, 3, 33, 20}, 37, 23),
            CorrectStep(kModeBlau, -3, 5),
            RotateStep(free),
            ResizeStep(ResizeChoice{50, 40, true}),
            DepthStep(8, DepthDownChoice{}),
            DepthStep(24, DepthDownChoice{}),
            CorrectStep(kModeKontrast, 4, 12)};
}

TEST_F(HistoryTest, EveryStateComesBackTheSameWhetherKeptOrMadeAgain)
{
    // generous, nothing kept but the opened picture, and one picture's worth
    for (const std::size_t budget : {std::size_t(1) << 30, std::size_t(1), std::size_t(4000)}) {
        SCOPED_TRACE(budget);
        for (TDibRecord& d : states)
            deldib(d);
        states.clear();
        WorkingImage image;
        image.SetHistoryBudget(budget);
        Record(image, Mixed());
        const int last = int(states.size()) - 1;
        // back one by one, forward one by one, then jumps both ways
        for (int i = last - 1; i >= 0; --i) {
            ASSERT_TRUE(image.Undo(quiet));
            EXPECT_TRUE(IsState(image.WorkDib, i)) << "undo to " << i;
        }
        EXPECT_FALSE(image.Undo(quiet));
        for (int i = 1; i <= last; ++i) {
            ASSERT_TRUE(image.Redo(quiet));
            EXPECT_TRUE(IsState(image.WorkDib, i)) << "redo to " << i;
        }
        EXPECT_FALSE(image.Redo(quiet));
        for (const int i : {3, 8, 0, 9, 5, 6, 1}) {
            ASSERT_TRUE(image.GoTo(i, quiet));
            EXPECT_TRUE(IsState(image.WorkDib, i)) << "jump to " << i;
        }
    }
}

TEST_F(HistoryTest, ANewStepAfterUndoesDropsTheStepsThatCouldBeRedone)
{
    WorkingImage image;
    Record(image,
           {CorrectStep(kModeRot, 1, 8), CorrectStep(kModeRot, 2, 8), CorrectStep(kModeRot, 3, 8)});
    image.Undo(quiet);
    image.Undo(quiet);
    ASSERT_EQ(image.Apply(MirrorStep(false), quiet).Error, "");
    EXPECT_EQ(image.Steps().Count(), 3);
    EXPECT_FALSE(image.Redo(quiet));
    EXPECT_EQ(image.Steps().At(2).step, MirrorStep(false));
    ASSERT_TRUE(image.Undo(quiet));
    EXPECT_TRUE(IsState(image.WorkDib, 1));
}

TEST_F(HistoryTest, MemoryStaysWithinTheBudgetAndOldStatesAreMadeAgain)
{
    WorkingImage image;
    const std::size_t picture = DibLineBytes(37, 24) * 23;
    image.SetHistoryBudget(4 * picture);
    std::vector<Step> clicks;
    for (int i = 0; i < 50; ++i)
        clicks.push_back(CorrectStep(i % kCorrectionModeCount, i % 9 - 4, 3));
    Record(image, clicks);
    // the opened picture is always kept, besides the budget's four
    EXPECT_LE(image.Steps().KeptBytes(), 5 * picture);
    ASSERT_TRUE(image.GoTo(10, quiet));
    EXPECT_TRUE(IsState(image.WorkDib, 10));
    ASSERT_TRUE(image.Undo(quiet));
    EXPECT_TRUE(IsState(image.WorkDib, 9));
    EXPECT_LE(image.Steps().KeptBytes(), 5 * picture);
}

TEST_F(HistoryTest, AScanIsAStepAndUndoBringsBackThePictureWithWhatCameWithIt)
{
    const std::string jpeg = ::testing::TempDir() + "history-photo.jpg";
    {
        DibGuard photo(Photo());
        ASSERT_TRUE(WriteDibFile(photo.dib, jpeg, nullptr, 77));
    }
    WorkingImage image;
    TDibRecord opened;
    OpenDib(&opened, jpeg.c_str(), 0, nullptr);
    image.InstallOpened(opened, jpeg);
    Keep(image.WorkDib);
    ASSERT_EQ(image.Metadata.jpegQuality, 77);
    ASSERT_EQ(image.Apply(CorrectStep(kModeGamma, 2, 8), quiet).Error, "");
    Keep(image.WorkDib);
    // room for the opened picture and the scan, so the step between them is
    // made again; the scan is kept, since nothing could make it again
    image.SetHistoryBudget(2700);
    image.InstallScanned(MakeDib(5, 4, 8, [](int x, int) { return std::uint32_t(x); }), "test:0", 1);
    EXPECT_EQ(image.Metadata.jpegQuality, 0) << "a scan carries no camera data";
    EXPECT_EQ(DescribeStep(image.Steps().At(2).step), "Gescannt (test:0)");
    ASSERT_TRUE(image.Apply(MirrorStep(true), quiet).Error.empty());
    // a recipe of this picture starts after the scan, and ends at the current state
    EXPECT_EQ(image.Steps().StepsSinceSource(), std::vector<Step>{MirrorStep(true)});
    ASSERT_TRUE(image.Undo(quiet));
    EXPECT_EQ(DibWidth(image.WorkDib), 5);
    EXPECT_TRUE(image.Steps().StepsSinceSource().empty());
    ASSERT_TRUE(image.Undo(quiet));
    EXPECT_TRUE(IsState(image.WorkDib, 1));
    EXPECT_EQ(image.Steps().StepsSinceSource(), std::vector<Step>{CorrectStep(kModeGamma, 2, 8)});
    EXPECT_EQ(image.Metadata.jpegQuality, 77);
    ASSERT_TRUE(image.GoTo(3, quiet));
    EXPECT_EQ(DibWidth(image.WorkDib), 5) << "made again from the kept scan";
}

TEST_F(HistoryTest, PicturesFromOutsideBeyondTheBudgetForgetTheOldestSteps)
{
    WorkingImage image;
    image.SetHistoryBudget(1);
    Record(image, {MirrorStep(true)});
    for (int i = 0; i < 3; ++i)
        image.InstallScanned(MakeDib(5, 4, 24, [](int, int) { return 0u; }), "test:0", 1);
    EXPECT_EQ(image.Steps().Count(), 1) << "the newest scan is the first state now";
    EXPECT_FALSE(image.Undo(quiet));
    EXPECT_EQ(image.Steps().KeptBytes(), 0u);
}

TEST_F(HistoryTest, CorrectionsReuseThePictureAStepDroppedForTheirCopy)
{
    WorkingImage image;
    Record(image, {CorrectStep(kModeRot, 1, 8), CorrectStep(kModeRot, 2, 8)});
    image.Undo(quiet);
    const std::uint8_t* dropped = image.Steps().At(2).picture.Bits;
    ASSERT_NE(dropped, nullptr);
    const int live = LiveDibCount();
    ASSERT_EQ(image.Apply(CorrectStep(kModeBlau, 1, 8), quiet).Error, "");
    EXPECT_EQ(LiveDibCount(), live) << "no fresh picture for the copy";
    EXPECT_EQ(image.Steps().At(1).picture.Bits, dropped);
}

} // namespace
