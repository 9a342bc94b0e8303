// The automatic correction: a good photo stays nearly as it is, and the picks
// bring a photo with a known fault back towards the photo.
#include "PictureSupport.h"

#include "correct/AutoCorrect.h"
#include "steps/StepTable.h"
#include "steps/StepText.h"

#include <cmath>
#include <functional>

namespace {

TDibRecord Photo()
{
    TDibRecord d;
    OpenDib(&d, KELVORA_TEST_DATA "/jpeg/video-001.rgb.jpeg", 0, nullptr);
    return d;
}

double Psnr(const TDibRecord& a, const TDibRecord& b)
{
    double sum = 0;
    for (int y = 0; y < DibHeight(a); ++y)
        for (int x = 0; x < DibWidth(a); ++x) {
            const Rgb p = PixelColour(a, x, y), q = PixelColour(b, x, y);
            sum +=
                (p.r - q.r) * (p.r - q.r) + (p.g - q.g) * (p.g - q.g) + (p.b - q.b) * (p.b - q.b);
        }
    const double mse = sum / (3.0 * DibWidth(a) * DibHeight(a));
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

// The picks for dib at the page's default intensity, applied to it.
std::vector<Step> AutoCorrected(TDibRecord& dib)
{
    NullProgress quiet;
    const std::vector<Step> picks = ChooseAutoCorrections(dib, kDefaultIntensity, quiet);
    for (const Step& step : picks)
        EXPECT_TRUE(RunStep(step, dib, quiet).Error.empty());
    return picks;
}

// A copy of photo with every pixel's channels passed through fault.
TDibRecord WithFault(const TDibRecord& photo, const std::function<Rgb(Rgb)>& fault)
{
    return MakeDib(DibWidth(photo), DibHeight(photo), 24,
                   [&](int x, int y) { return ToColorRef(fault(PixelColour(photo, x, y))); });
}

int Channel(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

TEST(AutoCorrect, APhotoThatIsFineStaysWithinThirtyDecibels)
{
    DibGuard photo(Photo()), corrected(Photo());
    ASSERT_TRUE(photo->Bits);
    const std::vector<Step> picks = AutoCorrected(corrected.dib);
    EXPECT_GE(Psnr(photo.dib, corrected.dib), 30.0) << picks.size() << " picks";
}

TEST(AutoCorrect, EachFaultIsBroughtCloserToThePhoto)
{
    const auto level = [](int v, double low, double high) {
        return Channel(low + v * (high - low) / 255);
    };
    const struct {
        const char* fault;
        std::function<Rgb(Rgb)> make;
    } rows[] = {
        {"zu dunkel",
         [](Rgb c) {
             return Rgb{Channel(c.r * 0.6), Channel(c.g * 0.6), Channel(c.b * 0.6)};
         }},
        {"flau",
         [&](Rgb c) {
             return Rgb{level(c.r, 51, 204), level(c.g, 51, 204), level(c.b, 51, 204)};
         }},
        {"dunkel und flau",
         [&](Rgb c) {
             return Rgb{level(c.r, 13, 140), level(c.g, 13, 140), level(c.b, 13, 140)};
         }},
    };
    DibGuard photo(Photo());
    ASSERT_TRUE(photo->Bits);
    for (const auto& row : rows) {
        DibGuard faulty(WithFault(photo.dib, row.make));
        const double before = Psnr(photo.dib, faulty.dib);
        const ExposureStats start = MeasureExposure(faulty.dib);
        const double scoreBefore = ExposureScore(start, start);
        const std::vector<Step> picks = AutoCorrected(faulty.dib);
        EXPECT_FALSE(picks.empty()) << row.fault;
        EXPECT_GT(Psnr(photo.dib, faulty.dib), before + 1.0) << row.fault;
        EXPECT_LT(ExposureScore(MeasureExposure(faulty.dib), start), scoreBefore) << row.fault;
    }
}

TEST(AutoCorrect, PicksAreAutomaticClicksWithinTheIntensity)
{
    DibGuard dark(MakeDib(200, 150, 24, [](int x, int y) { return RGB(x / 4, y / 3, x / 5); }));
    NullProgress quiet;
    const std::vector<Step> picks = ChooseAutoCorrections(dark.dib, 5, quiet);
    ASSERT_FALSE(picks.empty());
    EXPECT_LE(int(picks.size()), kMaxAutoPicks);
    EXPECT_EQ(getpixel(dark.dib, 199, 149), RGB(49, 49, 39)) << "the picture stays as it is";
    for (const Step& step : picks) {
        using namespace correct_param;
        EXPECT_EQ(step.Kind, StepKind::Correct);
        EXPECT_EQ(step.Source, kAutoSource);
        EXPECT_NE(step[Level], 0);
        EXPECT_LE(std::abs(step[Level]), 4);
        EXPECT_GE(step[Intensity], 1);
        EXPECT_LE(step[Intensity], 5);
    }
}

TEST(AutoCorrect, APickIsDescribedAsAutomaticAndWrittenAsAnyClick)
{
    const Step pick = AutoStep(kModeKontrast, 2, 8);
    EXPECT_EQ(DescribeStep(pick), "Automatisch: Kontrast +2 (Intensität 8)");
    EXPECT_EQ(DescribeStep(CorrectStep(kModeKontrast, 2, 8)), "Kontrast +2 (Intensität 8)");
    EXPECT_EQ(FormatStep(pick), FormatStep(CorrectStep(kModeKontrast, 2, 8)));
}

TEST(AutoCorrect, MeasuresTheLuminanceRangeAndClipping)
{
    const struct {
        const char* picture;
        std::function<COLORREF(int, int)> pixel;
        int low, median, high;
        double clipped;
    } rows[] = {
        {"black", [](int, int) { return RGB(0, 0, 0); }, 0, 0, 0, 1.0},
        {"grey ramp: the ends short of black and white", [](int x, int) { return RGB(x, x, x); }, 1,
         128, 254, 2.0 / 256},
        {"yellow", [](int, int) { return RGB(200, 200, 50); }, 183, 183, 183, 0},
        {"one stray pixel",
         [](int x, int y) { return x + y == 0 ? RGB(250, 250, 250) : RGB(9, 9, 9); }, 9, 9, 9, 0},
    };
    for (const auto& row : rows) {
        DibGuard d(MakeDib(256, 16, 24, row.pixel));
        const ExposureStats s = MeasureExposure(d.dib);
        EXPECT_EQ(s.Low, row.low) << row.picture;
        EXPECT_EQ(s.Median, row.median) << row.picture;
        EXPECT_EQ(s.High, row.high) << row.picture;
        EXPECT_NEAR(s.Clipped, row.clipped, 1e-9) << row.picture;
    }
}

TEST(AutoCorrect, PalettePicturesAreCorrectedThroughTheirTableAndEmptyOnesNotAtAll)
{
    // A dark grey palette picture: the picks brighten its table.
    DibGuard dark(MakeDib(64, 64, 8, [](int x, int y) { return std::uint32_t((x + y) / 2); }));
    const std::vector<Step> picks = AutoCorrected(dark.dib);
    EXPECT_FALSE(picks.empty());
    EXPECT_GT(MeasureExposure(dark.dib).Median, 100);
    EXPECT_EQ(getpixel(dark.dib, 63, 63), 63u) << "the indices stay";

    TDibRecord empty;
    NullProgress quiet;
    EXPECT_TRUE(ChooseAutoCorrections(empty, 8, quiet).empty());
}

} // namespace
