// The colour rules of the six corrections, checked against the examples and
// against plain per-value versions of every rule written out here.
#include "PictureSupport.h"

#include "correct/Corrections.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <sstream>

namespace {

using Operation = std::function<void(TDibRecord&)>;
using ColourRule = std::function<Rgb(Rgb)>;

// ---- plain reference rules ------------------------------------------------

int Clamp(int v)
{
    return v < 0 ? 0 : v > 255 ? 255 : v;
}

Rgb EachChannel(Rgb c, const std::function<int(int)>& f)
{
    return Rgb{f(c.r), f(c.g), f(c.b)};
}

int RefBrightness(int v, int offset)
{
    return Clamp(v + offset);
}
int RefContrastPixel(int v, int percent)
{
    return Clamp((v - 127) * percent / 100 + 127);
}
int RefContrastPalette(int v, int percent)
{
    if (percent <= 100)
        return (v - 127) * percent / 100 + 127;
    const int q = 200 - percent;
    return v >= 128 ? 255 - (255 - v) * q / 100 : v * q / 100;
}
int RefSaturation(int v, int change)
{
    return Clamp((v - 128) * (100 + change) / 100 + 128);
}
int RefChannelScale(int v, int argument)
{
    const int scaled = v * (100 + argument) / 100;
    return argument >= 0 ? std::min(scaled, 255) : scaled;
}

long double RoundHalfToEven(long double x)
{
    const long double below = std::floor(x);
    const long double rest = x - below;
    if (rest != 0.5L)
        return rest < 0.5L ? below : below + 1;
    return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

int RefGamma(int v, double exponent)
{
    const long double x = 2.0L * v - 256.0L * std::pow(double(v) / 256.0, exponent);
    return int(std::clamp(RoundHalfToEven(x), 0.0L, 255.0L));
}

Rgb RefHighMidShadow(Rgb c, int high, int mid, int shadow)
{
    if (high < shadow)
        shadow = high;
    if (mid < shadow)
        mid = shadow;
    if (mid > high)
        mid = high;
    const int luminance = (30 * c.r + 59 * c.g + 11 * c.b) / 100;
    if (luminance >= high)
        return Rgb{255, 255, 255};
    if (luminance <= shadow)
        return Rgb{0, 0, 0};
    return EachChannel(c, [&](int v) { return Clamp(v + mid - 128); });
}

// ---- running an operation on test pictures ---------------------------------

// The first colour where the operation and the reference disagree, or "".
std::string FirstMismatch(const std::vector<Rgb>& before, const std::vector<Rgb>& after,
                          const ColourRule& reference)
{
    for (std::size_t i = 0; i < before.size(); ++i) {
        const Rgb want = reference(before[i]);
        if (after[i] != want) {
            std::ostringstream s;
            s << before[i] << " became " << after[i] << ", expected " << want;
            return s.str();
        }
    }
    return "";
}

std::vector<Rgb> PixelsAfter(const Operation& op, const std::vector<Rgb>& colours)
{
    DibGuard pic(TrueColourRow(colours));
    op(pic.dib);
    std::vector<Rgb> out;
    for (int x = 0; x < int(colours.size()); ++x)
        out.push_back(PixelColour(pic.dib, x, 0));
    return out;
}

std::vector<Rgb> PaletteAfter(const Operation& op, int bits, const std::vector<Rgb>& colours)
{
    DibGuard pic(PalettePicture(bits, colours));
    op(pic.dib);
    std::vector<Rgb> out;
    for (int i = 0; i < int(colours.size()); ++i)
        out.push_back(PaletteColour(pic.dib, i));
    return out;
}

std::vector<Rgb> Greys(std::initializer_list<int> values)
{
    std::vector<Rgb> c;
    for (int v : values)
        c.push_back(Rgb{v, v, v});
    return c;
}

std::vector<int> Reds(const std::vector<Rgb>& colours)
{
    std::vector<int> r;
    for (const Rgb& c : colours)
        r.push_back(c.r);
    return r;
}

class ChannelRules : public LeakCheckedTest {
protected:
    // Both paths of op against the reference over every channel value.
    void ExpectBothPathsFollow(const Operation& op, const ColourRule& pixelRule,
                               const ColourRule& paletteRule, const std::string& what)
    {
        const std::vector<Rgb> all = AllChannelValues();
        EXPECT_EQ(FirstMismatch(all, PixelsAfter(op, all), pixelRule), "") << what << ", pixels";
        EXPECT_EQ(FirstMismatch(all, PaletteAfter(op, 8, all), paletteRule), "")
            << what << ", palette";
    }
    void ExpectBothPathsFollow(const Operation& op, const ColourRule& rule, const std::string& what)
    {
        ExpectBothPathsFollow(op, rule, rule, what);
    }
    // op(argument) leaves the same colours as op(clamped) on both paths.
    template <typename Arg>
    void ExpectClampedTo(const std::function<void(TDibRecord&, Arg)>& op, Arg argument, Arg clamped)
    {
        const std::vector<Rgb> all = AllChannelValues();
        const auto with = [&](Arg a) { return [&op, a](TDibRecord& d) { op(d, a); }; };
        EXPECT_EQ(PixelsAfter(with(argument), all), PixelsAfter(with(clamped), all))
            << argument << " vs " << clamped;
        EXPECT_EQ(PaletteAfter(with(argument), 8, all), PaletteAfter(with(clamped), 8, all))
            << argument << " vs " << clamped;
    }
    NullProgress progress;
};

// ---- Helligkeit --------------------------------------------------------------

TEST_F(ChannelRules, BrightnessAddsAndClampsEachChannel)
{
    const auto up =
        PixelsAfter([&](TDibRecord& d) { Helligkeit(d, 32, progress); }, {Rgb{250, 10, 0}});
    EXPECT_EQ(up[0], (Rgb{255, 42, 32}));
    const auto down =
        PixelsAfter([&](TDibRecord& d) { Helligkeit(d, -32, progress); }, {Rgb{250, 10, 0}});
    EXPECT_EQ(down[0], (Rgb{218, 0, 0}));
}

TEST_F(ChannelRules, BrightnessFollowsItsRuleForEveryOffset)
{
    for (int offset = -100; offset <= 100; ++offset)
        ExpectBothPathsFollow(
            [&](TDibRecord& d) { Helligkeit(d, offset, progress); },
            [&](Rgb c) { return EachChannel(c, [&](int v) { return RefBrightness(v, offset); }); },
            "offset " + std::to_string(offset));
}

// ---- Kontrast ----------------------------------------------------------------

TEST_F(ChannelRules, ContrastReductionIsTheSameLinearRuleOnBothPaths)
{
    const auto op = [&](int p) { return [&, p](TDibRecord& d) { Kontrast(d, p, progress); }; };
    EXPECT_EQ(Reds(PixelsAfter(op(0), Greys({0, 100, 255}))), (std::vector{127, 127, 127}));
    EXPECT_EQ(Reds(PaletteAfter(op(0), 8, Greys({0, 100, 255}))), (std::vector{127, 127, 127}));
    EXPECT_EQ(Reds(PixelsAfter(op(50), Greys({0, 100, 200, 255}))),
              (std::vector{64, 114, 163, 191}));
    EXPECT_EQ(Reds(PaletteAfter(op(50), 4, Greys({0, 100, 200, 255}))),
              (std::vector{64, 114, 163, 191}));
}

TEST_F(ChannelRules, ContrastIncreaseStaysLinearInPixelsButSpreadsFromTheEndsInPalettes)
{
    const auto op = [&](int p) { return [&, p](TDibRecord& d) { Kontrast(d, p, progress); }; };
    const auto greys = Greys({63, 100, 127, 128, 200});
    EXPECT_EQ(Reds(PixelsAfter(op(150), greys)), (std::vector{31, 87, 127, 128, 236}));
    EXPECT_EQ(Reds(PaletteAfter(op(150), 8, greys)), (std::vector{31, 50, 63, 192, 228}));

    const auto edges = Greys({0, 63, 64, 127, 128, 190, 191, 255});
    EXPECT_EQ(Reds(PixelsAfter(op(200), edges)), (std::vector{0, 0, 1, 127, 129, 253, 255, 255}));
    EXPECT_EQ(Reds(PaletteAfter(op(200), 8, edges)), (std::vector{0, 0, 0, 0, 255, 255, 255, 255}));
}

TEST_F(ChannelRules, ContrastFollowsBothRulesForEveryPercent)
{
    for (int percent = 0; percent <= 200; ++percent)
        ExpectBothPathsFollow(
            [&](TDibRecord& d) { Kontrast(d, percent, progress); },
            [&](Rgb c) {
                return EachChannel(c, [&](int v) { return RefContrastPixel(v, percent); });
            },
            [&](Rgb c) {
                return EachChannel(c, [&](int v) { return RefContrastPalette(v, percent); });
            },
            "percent " + std::to_string(percent));
}

// ---- Saettigung --------------------------------------------------------------

TEST_F(ChannelRules, SaturationStretchesEveryChannelAround128)
{
    const auto op = [&](int c) { return [&, c](TDibRecord& d) { Saettigung(d, c, progress); }; };
    EXPECT_EQ(Reds(PixelsAfter(op(-100), Greys({0, 77, 255}))), (std::vector{128, 128, 128}));
    EXPECT_EQ(Reds(PixelsAfter(op(100), Greys({64, 100, 128, 192}))),
              (std::vector{0, 72, 128, 255}));
    EXPECT_EQ(Reds(PaletteAfter(op(100), 4, Greys({64, 100, 128, 192}))),
              (std::vector{0, 72, 128, 255}));
}

TEST_F(ChannelRules, SaturationFollowsItsRuleForEveryChange)
{
    for (int change = -100; change <= 100; ++change)
        ExpectBothPathsFollow(
            [&](TDibRecord& d) { Saettigung(d, change, progress); },
            [&](Rgb c) { return EachChannel(c, [&](int v) { return RefSaturation(v, change); }); },
            "change " + std::to_string(change));
}

// ---- Gamma -------------------------------------------------------------------

TEST_F(ChannelRules, GammaMirrorsTheCurveAboutTheIdentity)
{
    const auto op = [&](double e) { return [&, e](TDibRecord& d) { Gamma(d, e, progress); }; };
    const auto greys = Greys({0, 32, 64, 128, 192, 255});
    EXPECT_EQ(Reds(PixelsAfter(op(3.56), greys)), (std::vector{0, 64, 126, 234, 255, 255}));
    EXPECT_EQ(Reds(PixelsAfter(op(0.712), greys)), (std::vector{0, 6, 33, 100, 175, 255}));
    EXPECT_EQ(Reds(PaletteAfter(op(0.712), 8, greys)), (std::vector{0, 6, 33, 100, 175, 255}));
    EXPECT_EQ(Reds(PixelsAfter(op(0.1), Greys({0, 255}))), (std::vector{0, 254}));

    const std::vector<Rgb> all = AllChannelValues();
    EXPECT_EQ(PixelsAfter(op(1.0), all), all);
}

TEST_F(ChannelRules, GammaFollowsItsRuleAcrossTheExponentRange)
{
    for (int hundredths = 10; hundredths <= 900; hundredths += 7) {
        const double e = hundredths / 100.0;
        ExpectBothPathsFollow(
            [&](TDibRecord& d) { Gamma(d, e, progress); },
            [&](Rgb c) { return EachChannel(c, [&](int v) { return RefGamma(v, e); }); },
            "exponent " + std::to_string(e));
    }
}

// ---- HighMidShadow -----------------------------------------------------------

TEST_F(ChannelRules, HighMidShadowThresholdsByLuminance)
{
    const auto op = [&](int h, int m, int s) {
        return [&, h, m, s](TDibRecord& d) { HighMidShadow(d, h, m, s, progress); };
    };
    EXPECT_EQ(PixelsAfter(op(174, 128, 0), {Rgb{200, 180, 160}})[0], (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelsAfter(op(255, 128, 81), {Rgb{100, 50, 20}})[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelsAfter(op(255, 168, 0), {Rgb{100, 50, 20}})[0], (Rgb{140, 90, 60}));
    // Luminance 0 is black even with neutral arguments.
    EXPECT_EQ(PixelsAfter(op(255, 128, 0), {Rgb{1, 0, 0}})[0], (Rgb{0, 0, 0}));
    EXPECT_EQ(PaletteAfter(op(255, 128, 0), 4, {Rgb{1, 0, 0}, Rgb{3, 2, 1}})[1], (Rgb{3, 2, 1}));
}

TEST_F(ChannelRules, HighMidShadowOrdersItsArgumentsBeforeUse)
{
    const auto op = [&](int h, int m, int s) {
        return [&, h, m, s](TDibRecord& d) { HighMidShadow(d, h, m, s, progress); };
    };
    // High 0 pulls Mid down to 0 and turns every colour white.
    EXPECT_EQ(PixelsAfter(op(0, 128, 0), {Rgb{0, 0, 0}, Rgb{90, 10, 200}}),
              (std::vector{Rgb{255, 255, 255}, Rgb{255, 255, 255}}));
    // Shadow above High comes down to High (101), and Mid rises to it:
    // nothing is left between black and white.
    EXPECT_EQ(PixelsAfter(op(101, 0, 200), {Rgb{100, 100, 100}, Rgb{101, 101, 101}}),
              (std::vector{Rgb{0, 0, 0}, Rgb{255, 255, 255}}));
    // Mid below Shadow rises to Shadow (60): a shift of -68, 61 - 68 clamped to 0.
    EXPECT_EQ(PixelsAfter(op(255, 0, 60), {Rgb{70, 70, 70}, Rgb{200, 61, 61}}),
              (std::vector{Rgb{2, 2, 2}, Rgb{132, 0, 0}}));
}

TEST_F(ChannelRules, HighMidShadowFollowsItsRuleForAnyArguments)
{
    for (int high = 0; high <= 255; high += 15)
        for (int mid = 0; mid <= 255; mid += 15)
            for (int shadow = 0; shadow <= 255; shadow += 15)
                ExpectBothPathsFollow(
                    [&](TDibRecord& d) { HighMidShadow(d, high, mid, shadow, progress); },
                    [&](Rgb c) { return RefHighMidShadow(c, high, mid, shadow); },
                    "arguments " + std::to_string(high) + ", " + std::to_string(mid) + ", " +
                        std::to_string(shadow));
}

// ---- RedGreenBlue ------------------------------------------------------------

TEST_F(ChannelRules, RedGreenBlueScalesEachChannelByItsOwnArgument)
{
    const auto op = [&](int r, int g, int b) {
        return [&, r, g, b](TDibRecord& d) { RedGreenBlue(d, r, g, b, progress); };
    };
    EXPECT_EQ(PixelsAfter(op(-100, 0, 0), {Rgb{200, 100, 50}})[0], (Rgb{0, 100, 50}));
    EXPECT_EQ(PixelsAfter(op(100, 0, 0), {Rgb{128, 100, 50}, Rgb{100, 100, 50}}),
              (std::vector{Rgb{255, 100, 50}, Rgb{200, 100, 50}}));
    EXPECT_EQ(PaletteAfter(op(0, 50, -50), 4, {Rgb{128, 100, 50}})[0], (Rgb{128, 150, 25}));
}

TEST_F(ChannelRules, RedGreenBlueFollowsItsRuleForEveryArgument)
{
    for (int a = -100; a <= 100; ++a) {
        const int r = a, g = -a / 2, b = (a * 7) % 101;
        ExpectBothPathsFollow([&](TDibRecord& d) { RedGreenBlue(d, r, g, b, progress); },
                              [&](Rgb c) {
                                  return Rgb{RefChannelScale(c.r, r), RefChannelScale(c.g, g),
                                             RefChannelScale(c.b, b)};
                              },
                              "arguments " + std::to_string(r) + ", " + std::to_string(g) + ", " +
                                  std::to_string(b));
    }
}

// ---- rows of any length ------------------------------------------------------

// Rows are corrected in blocks of several pixels and a remainder; every width
// up to two blocks and a half (both with and without row padding) must give
// each pixel the colour of the reference rule, and leave the padding alone.
TEST_F(ChannelRules, EveryRowLengthFollowsTheRules)
{
    struct Case {
        const char* name;
        Operation op;
        ColourRule reference;
    };
    const std::vector<Case> cases = {
        {"brightness up", [&](TDibRecord& d) { Helligkeit(d, 70, progress); },
         [](Rgb c) { return EachChannel(c, [](int v) { return RefBrightness(v, 70); }); }},
        {"brightness down", [&](TDibRecord& d) { Helligkeit(d, -45, progress); },
         [](Rgb c) { return EachChannel(c, [](int v) { return RefBrightness(v, -45); }); }},
        {"contrast", [&](TDibRecord& d) { Kontrast(d, 173, progress); },
         [](Rgb c) { return EachChannel(c, [](int v) { return RefContrastPixel(v, 173); }); }},
        {"saturation", [&](TDibRecord& d) { Saettigung(d, 87, progress); },
         [](Rgb c) { return EachChannel(c, [](int v) { return RefSaturation(v, 87); }); }},
        {"gamma", [&](TDibRecord& d) { Gamma(d, 2.28, progress); },
         [](Rgb c) { return EachChannel(c, [](int v) { return RefGamma(v, 2.28); }); }},
        {"red green blue", [&](TDibRecord& d) { RedGreenBlue(d, 100, -37, 58, progress); },
         [](Rgb c) {
             return Rgb{RefChannelScale(c.r, 100), RefChannelScale(c.g, -37),
                        RefChannelScale(c.b, 58)};
         }},
    };
    const std::vector<Rgb> all = AllChannelValues();
    for (int w = 1; w <= 40; ++w) {
        // Enough rows that every channel value turns up.
        const int h = 256 / w + 1;
        const auto colour = [&](int x, int y) { return all[std::size_t(y * w + x) * 7 % 256]; };
        for (const Case& c : cases) {
            DibGuard pic(MakeDib(w, h, 24, [&](int x, int y) { return ToColorRef(colour(x, y)); }));
            const int padding = pic->LineBytes - 3 * w;
            for (int y = 0; y < h; ++y)
                std::memset(DibRowFromTop(pic.dib, y) + 3 * w, 0xAB, std::size_t(padding));
            c.op(pic.dib);
            std::string mismatch;
            for (int y = 0; y < h && mismatch.empty(); ++y) {
                for (int x = 0; x < w && mismatch.empty(); ++x) {
                    if (const Rgb want = c.reference(colour(x, y));
                        PixelColour(pic.dib, x, y) != want) {
                        std::ostringstream m;
                        m << "pixel " << x << ", " << y << " is " << PixelColour(pic.dib, x, y)
                          << ", expected " << want;
                        mismatch = m.str();
                    }
                }
                for (int i = 0; i < padding; ++i)
                    if (DibRowFromTop(pic.dib, y)[3 * w + i] != 0xAB)
                        mismatch = "padding of row " + std::to_string(y) + " changed";
            }
            EXPECT_EQ(mismatch, "") << c.name << ", width " << w;
        }
    }
}

// ---- arguments outside the page's ranges -------------------------------------

TEST_F(ChannelRules, IntegerArgumentsAreClampedToTheirRanges)
{
    const std::function<void(TDibRecord&, int)> brightness = [&](TDibRecord& d, int a) {
        Helligkeit(d, a, progress);
    };
    const std::function<void(TDibRecord&, int)> contrast = [&](TDibRecord& d, int a) {
        Kontrast(d, a, progress);
    };
    const std::function<void(TDibRecord&, int)> saturation = [&](TDibRecord& d, int a) {
        Saettigung(d, a, progress);
    };
    const std::function<void(TDibRecord&, int)> red = [&](TDibRecord& d, int a) {
        RedGreenBlue(d, a, -a, 2 * a, progress);
    };
    for (const auto* op : {&brightness, &saturation}) {
        ExpectClampedTo(*op, 101, 100);
        ExpectClampedTo(*op, INT_MAX, 100);
        ExpectClampedTo(*op, -101, -100);
        ExpectClampedTo(*op, INT_MIN, -100);
    }
    ExpectClampedTo(contrast, -1, 0);
    ExpectClampedTo(contrast, INT_MIN, 0);
    ExpectClampedTo(contrast, 201, 200);
    ExpectClampedTo(contrast, INT_MAX, 200);
    // Below -100 a channel would turn negative.
    ExpectClampedTo(red, -300, -100);
    ExpectClampedTo(red, 300, 100);

    const std::function<void(TDibRecord&, int)> thresholds = [&](TDibRecord& d, int a) {
        HighMidShadow(d, 255 + a, 128 - a, -a, progress);
    };
    ExpectClampedTo(thresholds, 1000, 255);
    ExpectClampedTo(thresholds, INT_MIN / 2, -255);
}

TEST_F(ChannelRules, GammaExponentIsClampedAndNaNLeavesColoursAlone)
{
    const std::function<void(TDibRecord&, double)> gamma = [&](TDibRecord& d, double e) {
        Gamma(d, e, progress);
    };
    ExpectClampedTo(gamma, 0.0, 0.1);
    ExpectClampedTo(gamma, -3.0, 0.1);
    ExpectClampedTo(gamma, -std::numeric_limits<double>::infinity(), 0.1);
    ExpectClampedTo(gamma, 9.5, 9.0);
    ExpectClampedTo(gamma, std::numeric_limits<double>::infinity(), 9.0);
    ExpectClampedTo(gamma, std::numeric_limits<double>::quiet_NaN(), 1.0);
    const std::vector<Rgb> all = AllChannelValues();
    EXPECT_EQ(PixelsAfter([&](TDibRecord& d) { gamma(d, std::nan("")); }, all), all);
}

} // namespace
