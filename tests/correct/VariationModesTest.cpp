// The ten correction modes: their names, and the operator call each grid
// step makes at a given intensity.
#include "PictureSupport.h"

#include "correct/CorrectionModes.h"
#include "correct/Corrections.h"

#include <functional>
#include <tuple>

namespace {

using Op = VariationOperator;

// One argument of each of the nine steps -4..4 in reading order.
std::vector<int> ArgumentRow(int mode, int intensity, int argument)
{
    std::vector<int> row;
    for (int s = -4; s <= 4; ++s)
        row.push_back(VariationArguments(mode, s, intensity).Args[argument]);
    return row;
}

std::vector<double> Exponents(int intensity)
{
    std::vector<double> row;
    for (int s = -4; s <= 4; ++s)
        row.push_back(VariationArguments(kModeGamma, s, intensity).Exponent);
    return row;
}

TEST(VariationArguments, DefaultIntensityGivesTheStepTimesEight)
{
    const std::vector<int> k = {-32, -24, -16, -8, 0, 8, 16, 24, 32};
    EXPECT_EQ(ArgumentRow(kModeHelligkeit, 8, 0), k);
    EXPECT_EQ(ArgumentRow(kModeSaettigung, 8, 0), k);
    EXPECT_EQ(ArgumentRow(kModeKontrast, 8, 0),
              (std::vector{68, 76, 84, 92, 100, 108, 116, 124, 132}));
    for (int s = -4; s <= 4; ++s) {
        EXPECT_EQ(VariationArguments(kModeRot, s, 8),
                  (VariationCall{Op::RedGreenBlue, {8 * s, 0, 0}}));
        EXPECT_EQ(VariationArguments(kModeGruen, s, 8),
                  (VariationCall{Op::RedGreenBlue, {0, 8 * s, 0}}));
        EXPECT_EQ(VariationArguments(kModeBlau, s, 8),
                  (VariationCall{Op::RedGreenBlue, {0, 0, 8 * s}}));
        EXPECT_EQ(VariationArguments(kModeHelligkeit, s, 8).Operator, Op::Helligkeit);
        EXPECT_EQ(VariationArguments(kModeKontrast, s, 8).Operator, Op::Kontrast);
        EXPECT_EQ(VariationArguments(kModeSaettigung, s, 8).Operator, Op::Saettigung);
    }
}

TEST(VariationArguments, LuminanceModesAtDefaultIntensity)
{
    EXPECT_EQ(ArgumentRow(kModeGlanzlicht, 8, 0),
              (std::vector{255, 245, 235, 225, 215, 204, 194, 184, 174}));
    EXPECT_EQ(ArgumentRow(kModeMitte, 8, 1),
              (std::vector{88, 98, 108, 118, 128, 138, 148, 158, 168}));
    EXPECT_EQ(ArgumentRow(kModeSchatten, 8, 2), (std::vector{0, 10, 20, 30, 40, 51, 61, 71, 81}));
    for (int s = -4; s <= 4; ++s) {
        const VariationCall high = VariationArguments(kModeGlanzlicht, s, 8);
        const VariationCall mid = VariationArguments(kModeMitte, s, 8);
        const VariationCall shadow = VariationArguments(kModeSchatten, s, 8);
        EXPECT_EQ(high.Operator, Op::HighMidShadow);
        EXPECT_EQ((std::vector{high.Args[1], high.Args[2]}), (std::vector{128, 0}));
        EXPECT_EQ((std::vector{mid.Args[0], mid.Args[2]}), (std::vector{255, 0}));
        EXPECT_EQ((std::vector{shadow.Args[0], shadow.Args[1]}), (std::vector{255, 128}));
    }
}

TEST(VariationArguments, GammaExponentsAreTheExactDecimalsAndTheCentreMakesNoCall)
{
    // Computed in extended precision these are the doubles nearest to the
    // decimals; double arithmetic misses 0.928 and 1.64 by one unit.
    const std::vector<double> e = Exponents(8);
    EXPECT_EQ(e[0], 0.712);
    EXPECT_EQ(e[1], 0.784);
    EXPECT_EQ(e[2], 0.856);
    EXPECT_EQ(e[3], 0.928);
    EXPECT_EQ(e[5], 1.64);
    EXPECT_EQ(e[6], 2.28);
    EXPECT_EQ(e[7], 2.92);
    EXPECT_EQ(e[8], 3.56);
    EXPECT_EQ(VariationArguments(kModeGamma, 0, 8), VariationCall{});
    EXPECT_EQ(VariationArguments(kModeGamma, -2, 8).Operator, Op::Gamma);
    EXPECT_EQ(VariationArguments(kModeGamma, 0, 25).Operator, Op::None);
}

TEST(VariationArguments, FullIntensityReachesTheEndsOfEveryRange)
{
    EXPECT_EQ(VariationArguments(kModeHelligkeit, -4, 25).Args[0], -100);
    EXPECT_EQ(VariationArguments(kModeHelligkeit, 4, 25).Args[0], 100);
    EXPECT_EQ(VariationArguments(kModeKontrast, -4, 25).Args[0], 0);
    EXPECT_EQ(VariationArguments(kModeKontrast, 4, 25).Args[0], 200);
    EXPECT_EQ(Exponents(25).front(), 0.1);
    EXPECT_EQ(Exponents(25).back(), 9.0);
    EXPECT_EQ(Exponents(25)[5], 3.0);
    EXPECT_EQ(VariationArguments(kModeGlanzlicht, 4, 25),
              (VariationCall{Op::HighMidShadow, {0, 128, 0}}));
    EXPECT_EQ(VariationArguments(kModeSchatten, 4, 25),
              (VariationCall{Op::HighMidShadow, {255, 128, 255}}));
    EXPECT_EQ(VariationArguments(kModeMitte, -4, 25).Args[1], 1);
    EXPECT_EQ(VariationArguments(kModeMitte, 4, 25).Args[1], 255);
    EXPECT_EQ(ArgumentRow(kModeMitte, 25, 1),
              (std::vector{1, 33, 65, 97, 128, 159, 191, 223, 255}));
}

TEST(VariationArguments, IntensityIsClampedBeforeItReachesAnOperator)
{
    for (int mode = 0; mode < kCorrectionModeCount; ++mode) {
        for (int s = -4; s <= 4; ++s) {
            EXPECT_EQ(VariationArguments(mode, s, 0), VariationArguments(mode, s, 1));
            EXPECT_EQ(VariationArguments(mode, s, -40), VariationArguments(mode, s, 1));
            EXPECT_EQ(VariationArguments(mode, s, 28), VariationArguments(mode, s, 25));
            EXPECT_EQ(VariationArguments(mode, s, 1 << 30), VariationArguments(mode, s, 25));
        }
    }
    EXPECT_GT(VariationArguments(kModeGamma, -4, 1000).Exponent, 0.0);
}

TEST(VariationArguments, NoModeSelectedMakesNoCall)
{
    for (int mode : {-1, 10, 99})
        for (int s = -4; s <= 4; ++s)
            EXPECT_EQ(VariationArguments(mode, s, 8).Operator, Op::None) << mode;
}

class ApplyVariationTest : public LeakCheckedTest {};

TEST_F(ApplyVariationTest, EachModeRunsItsOperatorOnThePicture)
{
    // Greys as well, so that the luminance thresholds catch something.
    std::vector<Rgb> colours = AllChannelValues();
    for (int v = 0; v < 256; ++v)
        colours.push_back(Rgb{v, v, v});
    NullProgress p;
    // Mode, step at intensity 11, and the call written out by hand.
    const std::tuple<int, int, std::function<void(TDibRecord&)>> cases[] = {
        {kModeHelligkeit, -3, [&](TDibRecord& d) { Helligkeit(d, -33, p); }},
        {kModeKontrast, 4, [&](TDibRecord& d) { Kontrast(d, 144, p); }},
        {kModeSaettigung, 1, [&](TDibRecord& d) { Saettigung(d, 11, p); }},
        {kModeGamma, -1, [&](TDibRecord& d) { Gamma(d, 0.901, p); }},
        {kModeGamma, 2, [&](TDibRecord& d) { Gamma(d, 2.76, p); }},
        {kModeGlanzlicht, 1, [&](TDibRecord& d) { HighMidShadow(d, 185, 128, 0, p); }},
        {kModeMitte, -3, [&](TDibRecord& d) { HighMidShadow(d, 255, 87, 0, p); }},
        {kModeSchatten, -1, [&](TDibRecord& d) { HighMidShadow(d, 255, 128, 42, p); }},
        {kModeRot, 3, [&](TDibRecord& d) { RedGreenBlue(d, 33, 0, 0, p); }},
        {kModeGruen, -4, [&](TDibRecord& d) { RedGreenBlue(d, 0, -44, 0, p); }},
        {kModeBlau, 1, [&](TDibRecord& d) { RedGreenBlue(d, 0, 0, 11, p); }},
    };
    for (const auto& [mode, step, direct] : cases) {
        DibGuard viaMode(TrueColourRow(colours)), byHand(TrueColourRow(colours));
        ApplyVariation(viaMode.dib, mode, step, 11, p);
        direct(byHand.dib);
        int differences = 0, changed = 0;
        for (int x = 0; x < int(colours.size()); ++x) {
            differences += PixelColour(viaMode.dib, x, 0) != PixelColour(byHand.dib, x, 0);
            changed += PixelColour(viaMode.dib, x, 0) != colours[std::size_t(x)];
        }
        EXPECT_EQ(differences, 0) << "mode " << mode << ", step " << step;
        EXPECT_GT(changed, 0) << "mode " << mode << ", step " << step;
    }
}

TEST_F(ApplyVariationTest, GammaCentreAndUnknownModesTouchNothing)
{
    DibGuard pic(TrueColourRow(AllChannelValues()));
    RecordingProgress progress;
    ApplyVariation(pic.dib, kModeGamma, 0, 8, progress);
    ApplyVariation(pic.dib, -1, 3, 8, progress);
    ApplyVariation(pic.dib, kCorrectionModeCount, 3, 8, progress);
    EXPECT_TRUE(progress.values.empty()) << "no operator ran";
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(PixelColour(pic.dib, x, 0), AllChannelValues()[std::size_t(x)]);
}

TEST(CorrectionModeNames, CaptionsInItemOrder)
{
    EXPECT_EQ(kCorrectionModeCaptions[kModeHelligkeit], "Helligkeit");
    EXPECT_EQ(kCorrectionModeCaptions[kModeSaettigung], "S\u00e4ttigung");
    EXPECT_EQ(kCorrectionModeCaptions[kModeGamma], "Gamma Korrektur");
    EXPECT_EQ(kCorrectionModeCaptions[kModeGlanzlicht], "Glanzlicht");
    EXPECT_EQ(kCorrectionModeCaptions[kModeSchatten], "Schatten");
    EXPECT_EQ(kCorrectionModeCaptions[kModeGruen], "Gr\u00fcn");
    EXPECT_EQ(kCorrectionModeCaptions[kModeBlau], "Blau");
}

TEST(CorrectionModeNames, ParsesCaptionsAndAsciiNamesInAnyCase)
{
    for (int i = 0; i < kCorrectionModeCount; ++i)
        EXPECT_EQ(ParseCorrectionMode(std::string(kCorrectionModeCaptions[std::size_t(i)])), i);
    const std::pair<const char*, int> names[] = {
        {"helligkeit", 0}, {"KONTRAST", 1},
        {"saettigung", 2}, {"S\u00c4TTIGUNG", 2},
        {"gamma", 3},      {"gamma korrektur", 3},
        {"GLANZLICHT", 4}, {"mitte", 5},
        {"Schatten", 6},   {"rot", 7},
        {"gruen", 8},      {"GR\u00dcN", 8},
        {"gr\u00fcn", 8},  {"Blau", 9},
    };
    for (const auto& [name, mode] : names)
        EXPECT_EQ(ParseCorrectionMode(name), mode) << name;
}

TEST(CorrectionModeNames, UnknownNamesGiveMinusOne)
{
    for (const char* name : {"", "green", "gamma ", " rot", "Sattigung", "helligkeit2", "\xC3"})
        EXPECT_EQ(ParseCorrectionMode(name), -1) << name;
}

} // namespace
