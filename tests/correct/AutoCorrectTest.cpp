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

// The photo with its channels mapped linearly from 0..255 to low..high.
TDibRecord Levelled(const TDibRecord& photo, double low, double high)
{
    const auto level = [=](int v) { return std::lround(low + v * (high - low) / 255); };
    return MakeDib(DibWidth(photo), DibHeight(photo), 24, [&](int x, int y) {
        const Rgb c = PixelColour(photo, x, y);
        return RGB(level(c.r), level(c.g), level(c.b));
    });
}

TEST(AutoCorrect, AFaultIsBroughtCloserToThePhotoAndAGoodPhotoStaysNearlyAsItIs)
{
    const struct {
        const char* fault;
        double low, high;
        double psnrAtLeast; // dB, or 0: above the faulty picture's by 1 dB
    } rows[] = {
        {"keiner", 0, 255, 30},
        {"zu dunkel", 0, 153, 0},
        {"flau", 51, 204, 0},
        {"dunkel und flau", 13, 140, 0},
    };
    DibGuard photo(Photo());
    ASSERT_TRUE(photo->Bits);
    NullProgress quiet;
    for (const auto& row : rows) {
        DibGuard work(Levelled(photo.dib, row.low, row.high));
        const double before = Psnr(photo.dib, work.dib);
        const ExposureStats start = MeasureExposure(work.dib);
        const std::vector<Step> picks = ChooseAutoCorrections(work.dib, kDefaultIntensity, quiet);
        EXPECT_LE(int(picks.size()), kMaxAutoPicks);
        for (const Step& step : picks) {
            using namespace correct_param;
            EXPECT_EQ(step.Source, kAutoSource);
            EXPECT_TRUE(step[Level] != 0 && std::abs(step[Level]) <= 4) << row.fault;
            EXPECT_TRUE(step[Intensity] >= 1 && step[Intensity] <= kDefaultIntensity);
            EXPECT_TRUE(RunStep(step, work.dib, quiet).Error.empty());
        }
        if (row.psnrAtLeast > 0) {
            EXPECT_GE(Psnr(photo.dib, work.dib), row.psnrAtLeast) << row.fault;
            continue;
        }
        EXPECT_GT(Psnr(photo.dib, work.dib), before + 1.0) << row.fault;
        EXPECT_LT(ExposureScore(MeasureExposure(work.dib), start), ExposureScore(start, start))
            << row.fault;
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
    NullProgress quiet;
    const std::vector<Step> picks = ChooseAutoCorrections(dark.dib, kDefaultIntensity, quiet);
    EXPECT_FALSE(picks.empty());
    for (const Step& step : picks)
        RunStep(step, dark.dib, quiet);
    EXPECT_GT(MeasureExposure(dark.dib).Median, 100);
    EXPECT_EQ(getpixel(dark.dib, 63, 63), 63u) << "the indices stay";

    TDibRecord empty;
    EXPECT_TRUE(ChooseAutoCorrections(empty, 8, quiet).empty());
}

} // namespace
