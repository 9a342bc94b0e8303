// The automatic correction: a good photo stays nearly as it is, and the picks
// bring a photo with a known fault back towards the photo.
#include "PictureSupport.h"

#include "correct/AutoCorrect.h"
#include "steps/StepTable.h"
#include "steps/StepText.h"

#include <cmath>
#include <tuple>

namespace {

double Psnr(const TDibRecord& a, const TDibRecord& b)
{
    double sum = 0;
    for (int y = 0; y < DibHeight(a); ++y)
        for (int i = 0; i < 3 * DibWidth(a); ++i)
            sum += std::pow(DibRowFromTop(a, y)[i] - DibRowFromTop(b, y)[i], 2);
    return 10 * std::log10(255.0 * 255.0 * 3 * DibWidth(a) * DibHeight(a) / sum);
}

// The photo with its channels mapped linearly from 0..255 to low..high, blue
// then scaled by blue.
TDibRecord Levelled(const TDibRecord& photo, double low, double high, double blue)
{
    const auto level = [=](int v) { return std::lround(low + v * (high - low) / 255); };
    return MakeDib(DibWidth(photo), DibHeight(photo), 24, [&](int x, int y) {
        const Rgb c = PixelColour(photo, x, y);
        return RGB(level(c.r), level(c.g), std::lround(blue * double(level(c.b))));
    });
}

TEST(AutoCorrect, AFaultIsBroughtCloserToThePhotoAndAGoodPhotoStaysNearlyAsItIs)
{
    const struct {
        const char* fault;
        double low, high, blue;
        double psnrAtLeast; // dB, or 0: above the faulty picture's by 3 dB
    } rows[] = {
        {"keiner", 0, 255, 1, 30},
        {"zu dunkel", 0, 153, 1, 0},
        {"flau", 51, 204, 1, 0},
        {"dunkel und flau", 13, 140, 1, 0},
        {"Farbstich", 0, 255, 0.8, 0},
    };
    DibGuard photo;
    OpenDib(&photo.dib, KELVORA_TEST_DATA "/jpeg/video-001.rgb.jpeg", 0, nullptr);
    ASSERT_TRUE(photo->Bits);
    NullProgress quiet;
    for (const auto& row : rows) {
        DibGuard work(Levelled(photo.dib, row.low, row.high, row.blue));
        const double before = Psnr(photo.dib, work.dib);
        const std::vector<Step> picks = ChooseAutoCorrections(work.dib, kDefaultIntensity, quiet);
        for (const Step& step : picks) { // grid steps -4..4 but 0, at most the given intensity
            const int level = step[correct_param::Level],
                      intensity = step[correct_param::Intensity];
            EXPECT_TRUE(level != 0 && std::abs(level) <= 4 && intensity >= 1 &&
                        intensity <= kDefaultIntensity);
            EXPECT_TRUE(RunStep(step, work.dib, quiet).Error.empty());
        }
        EXPECT_GE(Psnr(photo.dib, work.dib), row.psnrAtLeast ? row.psnrAtLeast : before + 3.0)
            << row.fault;
    }
}

TEST(AutoCorrect, APickIsDescribedAsAutomaticAndWrittenAsAnyClick)
{
    const Step pick = AutoStep(kModeKontrast, 2, 8);
    EXPECT_EQ(DescribeStep(pick), "Automatisch: Kontrast +2 (Intensität 8)");
    EXPECT_EQ(FormatStep(pick), FormatStep(CorrectStep(kModeKontrast, 2, 8)));
}

TEST(AutoCorrect, MeasuresTheRangeTheMedianAndTheLightParts)
{
    using Levels = std::array<int, 3>;
    const struct {
        const char* picture;
        COLORREF (*pixel)(int x, int y);
        Levels low, high;
        int median;
        double lightBlue;
    } rows[] = {
        {"black", [](int, int) { return RGB(0, 0, 0); }, {0, 0, 0}, {0, 0, 0}, 0, 0},
        {"grey ramp", [](int x, int) { return RGB(x, x, x); }, {0, 0, 0}, {255, 255, 255}, 128,
         254},
        {"yellow", [](int, int) { return RGB(200, 200, 50); }, {200, 200, 50}, {200, 200, 50},
         183, 50},
        {"a stray pixel counts for the ends, not for the light parts",
         [](int x, int y) { return x + y == 0 ? RGB(250, 240, 230) : RGB(9, 9, 9); }, {9, 9, 9},
         {250, 240, 230}, 9, 9.06},
    };
    for (const auto& row : rows) {
        DibGuard d(MakeDib(256, 16, 24, row.pixel));
        const ExposureStats s = MeasureExposure(d.dib);
        EXPECT_EQ(std::tie(s.Low, s.Median, s.High), std::tie(row.low, row.median, row.high))
            << row.picture;
        EXPECT_NEAR(s.Light[2], row.lightBlue, 0.01) << row.picture;
    }
}

// Of a picture whose channels all reach from low to high and whose light
// parts are neutral but for their blue.
ExposureStats Stats(int low, int high, int median, double lightBlue)
{
    ExposureStats s;
    s.Low = {low, low, low};
    s.High = {high, high, high};
    s.Median = median;
    s.Light = {high - 5.0, high - 5.0, lightBlue};
    return s;
}

TEST(AutoCorrect, TheTargetStretchesRemovesACastAndDarkensTooBrightMiddleTones)
{
    const struct {
        const char* case_;
        ExposureStats stats;
        int channel, level;
        double target;
    } rows[] = {
        {"fine: itself", Stats(0, 255, 120, 250), 1, 77, 77},
        {"flat: stretched", Stats(51, 204, 128, 200), 0, 204, 255},
        {"flat: stretched", Stats(51, 204, 128, 200), 2, 51, 0},
        {"blue cast: blue raised", Stats(0, 255, 120, 200), 2, 200, 250},
        {"blue cast: red kept", Stats(0, 255, 120, 200), 0, 200, 200},
        {"blue cast in a flat picture: raised before the stretch",
         {{40, 40, 32}, {200, 200, 160}, 120, {195, 195, 156}}, 2, 32, 0},
        {"blue of the scene: kept", Stats(0, 255, 120, 100), 2, 100, 100},
        {"too bright: median to 130", Stats(0, 255, 170, 250), 1, 170, 130},
        {"far too bright: darkened by gamma 2 at most", Stats(0, 255, 190, 255), 1, 128,
         64.25},
        {"a bright scene: kept", Stats(0, 255, 230, 255), 1, 128, 128},
    };
    for (const auto& row : rows)
        EXPECT_NEAR(WellExposed(row.stats).Level[std::size_t(row.channel)][std::size_t(row.level)],
                    row.target, 0.01)
            << row.case_;
}

TEST(AutoCorrect, PalettePicturesAreCorrectedThroughTheirTableAndEmptyOnesNotAtAll)
{
    // A dark grey palette picture: the picks brighten its table.
    DibGuard dark(MakeDib(64, 64, 8, [](int x, int y) { return std::uint32_t((x + y) / 2); }));
    NullProgress quiet;
    const std::vector<Step> picks = ChooseAutoCorrections(dark.dib, kDefaultIntensity, quiet);
    for (const Step& step : picks)
        RunStep(step, dark.dib, quiet);
    EXPECT_GT(MeasureExposure(dark.dib).Median, 100);
    EXPECT_EQ(getpixel(dark.dib, 63, 63), 63u) << "the indices stay";

    TDibRecord empty;
    EXPECT_TRUE(ChooseAutoCorrections(empty, 8, quiet).empty());
}

} // namespace
