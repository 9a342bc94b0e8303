// Steps run the operations they stand for, and give the same bytes every
// time they run.
#include "steps/StepTable.h"

#include "PictureSupport.h"
#include "geometry/Crop.h"

#include <cstring>

namespace {

class StepRun : public LeakCheckedTest {};

TDibRecord Photo(int width, int height, int bits = 24)
{
    return MakeDib(width, height, bits, [bits](int x, int y) {
        return bits == 24 ? RGB(std::uint8_t(x * 7), std::uint8_t(y * 5), std::uint8_t(x ^ y))
                          : std::uint32_t((x + y) % (1 << bits));
    });
}

bool SameBytes(const TDibRecord& a, const TDibRecord& b)
{
    return SamePixels(a, b) && std::memcmp(a.Info->bmiColors, b.Info->bmiColors,
                                           sizeof(RGBQUAD) * DibTableColors(a)) == 0;
}

TEST_F(StepRun, ACropRecordedOnAnotherSizeScalesEachEdgeHalvesToEven)
{
    struct Case {
        int width, height; // of the picture the recipe meets
        RECT expected;
    };
    // drawn as (100, 50)-(1100, 750) on 1200 x 800
    const Case cases[] = {
        {1200, 800, RECT{100, 50, 1100, 750}},
        {600, 400, RECT{50, 25, 550, 375}},
        {300, 200, RECT{25, 12, 275, 188}}, // 12,5 -> 12 and 187,5 -> 188
        {240, 160, RECT{20, 10, 220, 150}},
    };
    const Step step = CropStep(RECT{100, 50, 1100, 750}, 1200, 800);
    NullProgress quiet;
    for (const Case& c : cases) {
        DibGuard photo(Photo(c.width, c.height));
        DibGuard expected;
        CropDib(photo.dib, c.expected, expected.dib, quiet);
        EXPECT_TRUE(RunStep(step, photo.dib, quiet).Error.empty()) << c.width;
        EXPECT_TRUE(SameBytes(photo.dib, expected.dib)) << c.width;
    }
}

TEST_F(StepRun, ACropBeyondThePictureIsRefusedAsABadArgument)
{
    DibGuard photo(Photo(40, 30));
    NullProgress quiet;
    const StepResult result = RunStep(CropStep(RECT{0, 0, 41, 30}, 0, 0), photo.dib, quiet);
    EXPECT_FALSE(result.Picture.Bits);
    EXPECT_TRUE(result.BadArgument);
    EXPECT_NE(result.Error.find("40 × 30 Pixel"), std::string::npos) << result.Error;
}

TEST_F(StepRun, EveryStepGivesTheSameBytesEachTime)
{
    RotateChoice free;
    free.Angle = RotateAngle::Free;
    free.Degrees = 17.25L;
    const Step steps[] = {
        CropStep(RECT{3, 2, 31, 19}, 40, 30),
        MirrorStep(false),
        RotateStep(free),
        ResizeStep(ResizeChoice{57, 41, true}),
        CorrectStep(kModeKontrast, 3, 8),
        DepthStep(4, DepthDownChoice{DepthMethod::FloydSteinberg, true, true}),
        DepthStep(8, DepthDownChoice{}), // a raise from 1 bit: random table entries
    };
    NullProgress quiet;
    for (const Step& step : steps) {
        const int bits = step.Kind == StepKind::Depth && step[depth_param::Bits] == 8 ? 1 : 24;
        DibGuard first(Photo(40, 30, bits)), second(Photo(40, 30, bits));
        StepResult a = RunStep(step, first.dib, quiet);
        StepResult b = RunStep(step, second.dib, quiet);
        DibGuard madeA(a.Picture), madeB(b.Picture);
        const bool inPlace = StepInPlace(step);
        ASSERT_TRUE(inPlace || madeA->Bits) << DescribeStep(step);
        EXPECT_TRUE(inPlace ? SameBytes(first.dib, second.dib) : SameBytes(madeA.dib, madeB.dib))
            << DescribeStep(step);
    }
}

} // namespace
