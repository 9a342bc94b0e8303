// Free rotation: the new size, every sampled pixel against a plain
// per-pixel version in extended precision, the background at every depth,
// and the rotate dialog's choices.
#include "PictureSupport.h"

#include "geometry/Rotate.h"
#include "geometry/RotateChoice.h"

#include <cmath>

namespace {

class FreeRotate : public LeakCheckedTest {
protected:
    TDibRecord Turned(const TDibRecord& src, bool right, long double angle,
                      COLORREF background = RGB(255, 255, 255))
    {
        TDibRecord out;
        DibRotxxx(src, right, angle, background, out, progress);
        return out;
    }
    RecordingProgress progress;
};

// Every pixel a value of its own (24 bits), so a sample names its source.
TDibRecord Numbered(int w, int h)
{
    return MakeDib(w, h, 24, [w](int x, int y) { return std::uint32_t(1 + x + w * y); });
}

// The turn written out pixel by pixel, each product and sum in extended
// precision, with no shortcut. Sample positions whose rounding argument lies
// within 1e-9 of a half are reported as undecided: there the shortcut of the
// real thing may round the other way.
struct Reference {
    Reference(int w, int h, bool right, long double angle) : w(w), h(h)
    {
        const long double a =
            (right ? -angle : angle) * 3.141592653589793238462643383279502884L / 180;
        s = std::sin(a);
        c = std::cos(a);
        int minX = 0, maxX = 0, minY = 0, maxY = 0;
        const int hw = w / 2, hh = h / 2;
        for (int u : {-hw, w - hw})
            for (int v : {-hh, h - hh}) {
                const int X = int(std::nearbyintl(u * c - v * s));
                const int Y = int(std::nearbyintl(u * s + v * c));
                minX = std::min(minX, X), maxX = std::max(maxX, X);
                minY = std::min(minY, Y), maxY = std::max(maxY, Y);
            }
        newWidth = maxX - minX;
        newHeight = maxY - minY;
    }
    static bool NearHalf(long double q) { return std::fabs(q - std::floor(q) - 0.5L) < 1e-9L; }
    // false when undecided
    bool Source(int x, int y, int& sx, int& sy) const
    {
        const long double u = x - newWidth / 2, v = y - newHeight / 2;
        const long double a = u * c - v * s, b = u * s + v * c;
        sx = int(std::nearbyintl(a)) + w / 2;
        sy = int(std::nearbyintl(b)) + h / 2;
        return !NearHalf(a) && !NearHalf(b);
    }
    int w, h;
    long double s, c;
    int newWidth, newHeight;
};

TEST_F(FreeRotate, EverySampleMatchesThePlainExtendedPrecisionTurn)
{
    const long double angles[] = {0.01L,   10,  12.5L, 30,  45,      89.99L, 90,
                                  123.45L, 180, 200,   270, 333.33L, 359.99L};
    const int sizes[][2] = {{37, 23}, {40, 30}, {1, 1}, {2, 7}};
    int undecided = 0, compared = 0;
    for (const auto& [w, h] : sizes) {
        DibGuard src(Numbered(w, h));
        for (long double angle : angles)
            for (bool right : {false, true}) {
                const Reference ref(w, h, right, angle);
                DibGuard out(Turned(src.dib, right, angle, 0x00ABCDEF));
                ASSERT_EQ(DibWidth(out.dib), ref.newWidth)
                    << w << "x" << h << " by " << double(angle);
                ASSERT_EQ(DibHeight(out.dib), ref.newHeight);
                int wrong = 0;
                for (int y = 0; y < ref.newHeight; ++y)
                    for (int x = 0; x < ref.newWidth; ++x) {
                        int sx = 0, sy = 0;
                        if (!ref.Source(x, y, sx, sy)) {
                            ++undecided;
                            continue;
                        }
                        ++compared;
                        const bool inside = sx >= 0 && sy >= 0 && sx < w && sy < h;
                        wrong += getpixel(out.dib, x, y) !=
                                 (inside ? getpixel(src.dib, sx, sy) : 0x00ABCDEFu);
                    }
                EXPECT_EQ(wrong, 0)
                    << w << "x" << h << " by " << double(angle) << (right ? " right" : " left");
            }
    }
    EXPECT_LT(undecided * 50, compared) << "few samples sit on a half";
}

struct SizeCase {
    int w, h;
    long double angle;
    bool right;
    int newWidth, newHeight;
};

TEST_F(FreeRotate, NewSizesSpanTheTurnedCorners)
{
    const SizeCase cases[] = {
        {100, 100, 45, false, 142, 142}, {200, 100, 30, false, 224, 186},
        {200, 100, 30, true, 224, 186},  {640, 480, 10, false, 714, 584},
        {200, 100, 90, false, 100, 200}, {1, 1, 45, false, 2, 1},
    };
    for (const SizeCase& c : cases) {
        DibGuard src(MakeDib(c.w, c.h, 8, [](int, int) { return 1u; }));
        DibGuard out(Turned(src.dib, c.right, c.angle));
        EXPECT_EQ(DibWidth(out.dib), c.newWidth) << c.w << "x" << c.h << " by " << double(c.angle);
        EXPECT_EQ(DibHeight(out.dib), c.newHeight)
            << c.w << "x" << c.h << " by " << double(c.angle);
    }
}

TEST_F(FreeRotate, TheCentreStaysAndTheCornersTakeTheBackground)
{
    DibGuard src(Numbered(100, 100));
    DibGuard out(Turned(src.dib, false, 45, RGB(10, 20, 30)));
    EXPECT_EQ(getpixel(out.dib, 71, 71), getpixel(src.dib, 50, 50));
    for (auto [x, y] : {std::pair{0, 0}, {141, 0}, {0, 141}, {141, 141}})
        EXPECT_EQ(PixelColour(out.dib, x, y), (Rgb{10, 20, 30})) << x << ", " << y;
    EXPECT_EQ(progress.values.size(), 142u + 2);
    EXPECT_EQ(progress.values[142], 100);
    EXPECT_EQ(progress.values.back(), 0);
}

TEST_F(FreeRotate, LinksTurnsAnticlockwiseAndRechtsClockwise)
{
    // A marker above the centre swings to the left when the picture turns
    // anticlockwise, to the right when it turns clockwise.
    DibGuard src(MakeDib(200, 100, 24, [](int x, int y) {
        return std::abs(x - 100) <= 1 && std::abs(y - 5) <= 1 ? 1u : 2u;
    }));
    for (bool right : {false, true}) {
        DibGuard out(Turned(src.dib, right, 30));
        int markerX = -1;
        for (int y = 0; y < DibHeight(out.dib); ++y)
            for (int x = 0; x < DibWidth(out.dib); ++x)
                if (getpixel(out.dib, x, y) == 1u)
                    markerX = x;
        ASSERT_GE(markerX, 0);
        if (right)
            EXPECT_GT(markerX, 112 + 20);
        else
            EXPECT_LT(markerX, 112 - 20);
    }
}

TEST_F(FreeRotate, PalettePicturesTakeTheBackgroundValueAsAnIndex)
{
    for (int bits : {1, 4, 8}) {
        DibGuard src(MakeDib(20, 20, bits, [](int, int) { return 0u; }));
        DibGuard out(Turned(src.dib, true, 45, RGB(7, 200, 100)));
        EXPECT_EQ(getpixel(out.dib, 0, 0), 7u & ((1u << bits) - 1)) << bits;
        EXPECT_EQ(PaletteColour(out.dib, 1), PaletteColour(src.dib, 1));
    }
}

struct ChoiceCase {
    RotateAngle angle;
    bool right;
    void (*same)(const TDibRecord&, TDibRecord&, ProgressSink&);
};

TEST_F(FreeRotate, FixedChoicesRunThePixelExactTurns)
{
    const ChoiceCase cases[] = {
        {RotateAngle::Deg90, false, RotLeft},   {RotateAngle::Deg90, true, RotRight},
        {RotateAngle::Deg270, false, RotRight}, {RotateAngle::Deg270, true, RotLeft},
        {RotateAngle::Deg180, false, Rot180},   {RotateAngle::Deg180, true, Rot180},
    };
    DibGuard src(Numbered(5, 3));
    for (const ChoiceCase& c : cases) {
        RotateChoice choice;
        choice.Angle = c.angle;
        choice.Right = c.right;
        DibGuard a, b;
        RunRotation(src.dib, choice, a.dib, progress);
        c.same(src.dib, b.dib, progress);
        EXPECT_TRUE(SamePixels(a.dib, b.dib)) << int(c.angle) << (c.right ? " right" : " left");
    }
    RotateChoice free;
    free.Degrees = 45;
    TDibRecord turned;
    RunRotation(src.dib, free, turned, progress);
    DibGuard g(turned);
    EXPECT_EQ(DibWidth(turned), 6) << "the free turn, not a fixed one";
}

} // namespace
