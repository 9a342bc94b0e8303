// The before picture in register: the opened picture with the history's
// geometry steps and none of its colour steps, made once per state of what
// shapes it.
#include "PictureSupport.h"

#include "app/BeforeInRegister.h"
#include "app/WorkingImage.h"

#include <vector>

namespace {

TDibRecord Photo()
{
    return MakeDib(37, 23, 24, [](int x, int y) {
        return RGB(std::uint8_t(x * 7), std::uint8_t(y * 11), std::uint8_t((x ^ y) * 5));
    });
}

Step Free(long double degrees, COLORREF fill)
{
    return RotateStep({true, RotateAngle::Free, degrees, fill});
}

class BeforeInRegisterTest : public LeakCheckedTest {
protected:
    // A photo opened in image and the steps applied to it.
    void Apply(WorkingImage& image, const std::vector<Step>& steps, TDibRecord opened = Photo())
    {
        image.InstallOpened(opened, "photo.bmp");
        for (const Step& step : steps)
            ASSERT_EQ(image.Apply(step, quiet).Error, "") << DescribeStep(step);
    }

    NullProgress quiet;
};

TEST_F(BeforeInRegisterTest, GeometryAloneGivesTheWorkingImage)
{
    const std::vector<std::vector<Step>> histories = {
        {CropStep(RECT{2, 3, 33, 20}, 37, 23)},
        {MirrorStep(true), MirrorStep(false)},
        {RotateStep({false, RotateAngle::Deg90}), RotateStep({true, RotateAngle::Deg180})},
        {Free(7.5L, RGB(255, 0, 0))},
        {ResizeStep({50, 40, true}), ResizeStep({0, 17, false})},
        {MirrorStep(true), CropStep(RECT{1, 1, 30, 20}, 37, 23), Free(12, RGB(0, 90, 200)),
         ResizeStep({61, 0, true})},
    };
    for (const auto& steps : histories) {
        SCOPED_TRACE(DescribeStep(steps.front()));
        WorkingImage image;
        Apply(image, steps);
        BeforeInRegister before;
        EXPECT_TRUE(SamePixels(before.Of(image.Steps(), image.WorkDib, quiet), image.WorkDib));
    }
}

TEST_F(BeforeInRegisterTest, ColourStepsMixedInAreLeftOut)
{
    const Step crop = CropStep(RECT{2, 3, 33, 20}, 37, 23);
    const Step bright = CorrectStep(kModeHelligkeit, 2, 8);
    const Step reduce = DepthStep(8, DepthDownChoice{});
    // rows: the whole history; the geometry steps of it
    const std::vector<std::pair<std::vector<Step>, std::vector<Step>>> rows = {
        {{bright, MirrorStep(true), crop, CorrectStep(kModeBlau, -3, 5)}, {MirrorStep(true), crop}},
        // the free turn of an 8-bit working image fills the 24-bit before
        // picture with the step's own colour
        {{reduce, Free(7.5L, RGB(255, 0, 0)), ResizeStep({50, 40, true}), bright},
         {Free(7.5L, RGB(255, 0, 0)), ResizeStep({50, 40, true})}},
        {{reduce, DepthStep(24, DepthDownChoice{}), RotateStep({false, RotateAngle::Deg270}),
          bright},
         {RotateStep({false, RotateAngle::Deg270})}},
    };
    for (const auto& [history, geometry] : rows) {
        SCOPED_TRACE(history.size());
        WorkingImage mixed, alone;
        Apply(mixed, history);
        Apply(alone, geometry);
        BeforeInRegister before;
        EXPECT_TRUE(SamePixels(before.Of(mixed.Steps(), mixed.WorkDib, quiet), alone.WorkDib));
    }
}

TEST_F(BeforeInRegisterTest, APalettePictureTurnedAfterARaiseFillsWithTheNearestEntry)
{
    WorkingImage image;
    // black in sixteen greys; red's low bits would pick entry 15, white
    Apply(image, {DepthStep(24, DepthDownChoice{}), Free(30, RGB(255, 0, 0))},
          MakeDib(20, 20, 4, [](int, int) { return 0; }));
    BeforeInRegister before;
    const TDibRecord shown = before.Of(image.Steps(), image.WorkDib, quiet);
    ASSERT_EQ(DibBitCount(shown), 4) << "the opened depth";
    EXPECT_EQ(getpixel(shown, 0, 0), 5u) << "the corner: grey 85, the entry nearest to red";
    EXPECT_EQ(PixelColour(image.WorkDib, 0, 0), (Rgb{255, 0, 0}));
}

TEST_F(BeforeInRegisterTest, MadeOncePerSourceAndGeometry)
{
    WorkingImage image;
    Apply(image, {MirrorStep(true)});
    BeforeInRegister before;
    const auto of = [&] { return before.Of(image.Steps(), image.WorkDib, quiet).Bits; };
    const void* made = of();
    ASSERT_TRUE(image.Apply(CorrectStep(kModeRot, 2, 8), quiet).Error.empty());
    ASSERT_TRUE(image.Undo(quiet));
    EXPECT_EQ(of(), made) << "colour steps and moves among them keep it";

    ASSERT_TRUE(image.Undo(quiet));
    EXPECT_EQ(of(), image.WorkDib.Bits) << "no geometry: the opened picture itself";
    ASSERT_TRUE(image.Apply(CorrectStep(kModeRot, 2, 8), quiet).Error.empty());
    EXPECT_TRUE(
        SamePixels(before.Of(image.Steps(), image.WorkDib, quiet), image.Steps().At(0).picture))
        << "the opened picture, not the corrected one";

    // another file opened with the same steps is another source
    Apply(image, {MirrorStep(true)}, MakeDib(37, 23, 24, [](int, int) { return RGB(1, 2, 3); }));
    EXPECT_EQ(PixelColour(TDibRecord(before.Of(image.Steps(), image.WorkDib, quiet)), 0, 0),
              (Rgb{1, 2, 3}));
}

} // namespace
