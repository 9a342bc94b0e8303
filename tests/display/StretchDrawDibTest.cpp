#include "DisplayTestSupport.h"

#include "display/DrawFitted.h"
#include "base/Palette.h"
#include "gdi/PrinterDC.h"

namespace {

constexpr COLORREF kPaper = RGB(3, 2, 1);

class StretchDraw : public DrawingTest {};

enum class Path { Halftone, Rows, Device, Other };

Path Taken(const ProbeDC& dc, const TDibRecord& d)
{
    if (dc.stretches.size() == 1 && dc.sets.empty())
        return dc.stretches[0].bits == d.Bits ? Path::Device : Path::Halftone;
    if (dc.stretches.empty() && !dc.sets.empty())
        return Path::Rows;
    return Path::Other;
}

const char* Name(Path p)
{
    switch (p) {
    case Path::Halftone:
        return "halftone";
    case Path::Rows:
        return "rows";
    case Path::Device:
        return "device";
    default:
        return "other";
    }
}

HPALETTE MakePalette(std::initializer_list<PALETTEENTRY> entries)
{
    LOGPALETTE lp{};
    lp.palVersion = 0x300;
    for (const PALETTEENTRY& e : entries)
        lp.palPalEntry[lp.palNumEntries++] = e;
    return CreatePalette(&lp);
}

TEST_F(StretchDraw, PathFollowsDepthScreenHalftoneAndDevice)
{
    struct Case {
        int bits, screen;
        bool halftone, printer;
        Path path;
    };
    const Case cases[] = {
        {24, 8, true, false, Path::Halftone}, {24, 8, false, false, Path::Rows},
        {24, 32, true, false, Path::Rows},    {24, 16, true, false, Path::Rows},
        {24, 8, true, true, Path::Halftone},  {24, 32, true, true, Path::Device},
        {24, 8, false, true, Path::Device},   {8, 8, true, false, Path::Rows},
        {8, 32, true, false, Path::Rows},     {8, 32, true, true, Path::Device},
        {1, 32, true, false, Path::Device},   {4, 32, true, false, Path::Device},
        {16, 32, true, false, Path::Device},  {32, 32, true, false, Path::Device},
        {1, 8, true, true, Path::Device},     {4, 8, true, false, Path::Device},
    };
    for (const Case& c : cases) {
        DibGuard d(MakeColourfulDib(6, 4, c.bits));
        ProbeDC dc(12, 8);
        if (c.printer)
            dc.SetTechnology(DT_RASPRINTER);
        screenBits = c.screen;
        screenProbes = 0;
        DrawWhole(&dc, 0, 0, 12, 8, d.dib, c.halftone);
        const Path taken = Taken(dc, d.dib);
        EXPECT_EQ(taken, c.path) << c.bits << " bits, screen " << c.screen << ", halftone "
                                 << c.halftone << ", printer " << c.printer << ": took "
                                 << Name(taken);
        if (taken == Path::Halftone) {
            EXPECT_EQ(dc.stretches[0].bitCount, 8);
        }
        if (taken == Path::Rows) {
            EXPECT_EQ(dc.sets.size(), 8u) << "one call per destination row";
        }
        if (!dc.stretches.empty()) {
            EXPECT_EQ(dc.stretches[0].rop, SRCCOPY);
        }
        EXPECT_EQ(screenProbes, c.bits == 24 ? 1 : 0) << "the screen is asked for 24 bits only";
        EXPECT_EQ(dc.StretchBltMode(), COLORONCOLOR);
    }
}

TEST_F(StretchDraw, ScreenDepthWithoutAProbeIsTrueColour)
{
    const auto installed = SetScreenBitsPerPixelProbe({});
    EXPECT_EQ(ScreenBitsPerPixel(), 32);
    SetScreenBitsPerPixelProbe(installed);
    screenBits = 4;
    EXPECT_EQ(ScreenBitsPerPixel(), 4);
    screenBits = 8;
    EXPECT_EQ(ScreenBitsPerPixel(), 8) << "asked anew, not cached";
}

TEST_F(StretchDraw, EveryNonHalftonePathShowsTheSampledPicture)
{
    // The whole 5 x 4 picture into 12 x 7 and into 3 x 2 at (1, 1): the row
    // scalers and the device stretch sample alike.
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        for (bool printer : {false, true}) {
            for (const auto& [w, h] : {std::pair{12, 7}, std::pair{3, 2}}) {
                DibGuard d(MakeColourfulDib(5, 4, bits));
                RasterDC screen(14, 9);
                PrinterDC page(14, 9, 300, 300);
                RasterDC& dc = printer ? page : screen;
                FillRaster(dc, kPaper);
                DrawWhole(&dc, 1, 1, w, h, d.dib);
                EXPECT_TRUE(RasterIs(dc,
                                     [&](int x, int y) {
                                         if (x < 1 || y < 1 || x > w || y > h)
                                             return kPaper;
                                         return DibColour(d.dib, (x - 1) * 5 / w, (y - 1) * 4 / h);
                                     }))
                    << bits << " bits on " << (printer ? "printer" : "screen") << " at " << w << "x"
                    << h;
            }
        }
    }
}

TEST_F(StretchDraw, HalftonePathDrawsTheHalftonedCopy)
{
    screenBits = 8;
    DibGuard d(MakeColourfulDib(8, 6, 24));
    struct Case {
        int destW, destH, srcX, srcY, srcW, srcH;
        int copyW, copyH; // the pre-scaled copy when shrinking
        int copyX, copyY; // where the draw starts in it
    };
    const Case shrinking[] = {
        {4, 3, 0, 0, 8, 6, 4, 3, 0, 0},
        {4, 12, 0, 0, 8, 6, 4, 12, 0, 0}, // narrower but taller: still shrinking
        {2, 3, 2, 0, 4, 6, 4, 3, 1, 0},   // source x 2 of 8 is x 1 of the copy
        {3, 2, 0, 3, 8, 3, 3, 4, 0, 2},   // source y 3 of 6 is y 2 of the copy
    };
    for (const Case& c : shrinking) {
        RasterDC dc(12, 12);
        dc.SetBitsPerPixel(8);
        FillRaster(dc, kPaper);
        StretchDrawDib(&dc, 0, 0, c.destW, c.destH, d.dib, c.srcX, c.srcY, c.srcW, c.srcH, true,
                       SRCCOPY, true, nullptr);
        DibGuard copy;
        DIBHalftoneDIBXY(&copy.dib, d.dib, c.copyW, c.copyH);
        // One-to-one out of the copy; copyY counts from the copy's bottom.
        const int top = c.copyH - c.copyY - c.destH;
        EXPECT_TRUE(RasterIs(dc,
                             [&](int x, int y) {
                                 if (x >= c.destW || y >= c.destH)
                                     return kPaper;
                                 return DibColour(copy.dib, c.copyX + x, top + y);
                             }))
            << c.destW << "x" << c.destH;
    }

    // Enlarging: the copy at the picture's size, stretched by the device.
    RasterDC dc(16, 12);
    dc.SetBitsPerPixel(8);
    DrawWhole(&dc, 0, 0, 16, 12, d.dib);
    DibGuard copy;
    DIBHalftoneDIB(&copy.dib, d.dib);
    EXPECT_TRUE(RasterIs(dc, [&](int x, int y) { return DibColour(copy.dib, x / 2, y / 2); }));
}

TEST_F(StretchDraw, HalftonePathDrawsNothingWithoutItsCopy)
{
    screenBits = 8;
    DibGuard d(MakeColourfulDib(8, 6, 24));
    ProbeDC dc(8, 6);
    AllocationLimit limit(8);
    DrawWhole(&dc, 0, 0, 8, 6, d.dib, true, false, nullptr);
    DrawWhole(&dc, 0, 0, 4, 3, d.dib, true, false, nullptr);
    EXPECT_TRUE(dc.stretches.empty());
    EXPECT_TRUE(dc.selections.empty());
}

// Clipping: each edge of the source rectangle past the picture's edge cuts
// the destination by the share that lies outside.
struct ClipCase {
    const char* name;
    int picW, picH;
    int destX, destY, destW, destH, srcX, srcY, srcW, srcH;
    // what shows: the destination rectangle left after clipping and the
    // picture rows and columns it samples
    int x0, y0, w, h, sx0, sy0Top, sw, sh;
};

TEST_F(StretchDraw, SourceRectangleIsClippedEdgeByEdge)
{
    const ClipCase cases[] = {
        {"a quarter past the right edge", 8, 4, 0, 0, 16, 4, 2, 0, 8, 4, 0, 0, 12, 4, 2, 0, 6, 4},
        {"negative SrcX", 8, 4, 0, 0, 16, 4, -2, 0, 8, 4, 4, 0, 12, 4, 0, 0, 6, 4},
        {"above the top", 4, 8, 0, 0, 4, 16, 0, 2, 4, 8, 0, 4, 4, 12, 0, 0, 4, 6},
        {"below the bottom", 4, 8, 0, 0, 4, 16, 0, -2, 4, 8, 0, 0, 4, 12, 0, 2, 4, 6},
        {"all four edges", 8, 8, 0, 0, 32, 32, -4, -4, 16, 16, 8, 8, 16, 16, 0, 0, 8, 8},
        {"right edge, 2.5 rounds to 2", 4, 1, 0, 0, 5, 1, 3, 0, 2, 1, 0, 0, 2, 1, 3, 0, 1, 1},
        {"right edge, 3.5 rounds to 4", 4, 1, 0, 0, 7, 1, 3, 0, 2, 1, 0, 0, 4, 1, 3, 0, 1, 1},
        {"left edge, 2.5 rounds to 2", 4, 1, 1, 0, 5, 1, -1, 0, 2, 1, 4, 0, 2, 1, 0, 0, 1, 1},
        {"top edge, 3.5 rounds to 4", 1, 4, 0, 0, 1, 7, 0, 3, 1, 2, 0, 3, 1, 4, 0, 0, 1, 1},
    };
    for (const ClipCase& c : cases) {
        DibGuard d(MakeColourfulDib(c.picW, c.picH, 24));
        RasterDC dc(34, 34);
        FillRaster(dc, kPaper);
        StretchDrawDib(&dc, c.destX, c.destY, c.destW, c.destH, d.dib, c.srcX, c.srcY, c.srcW,
                       c.srcH, true, SRCCOPY, true, nullptr);
        EXPECT_TRUE(RasterIs(dc, [&](int x, int y) {
            const int i = x - c.x0, r = y - c.y0;
            if (i < 0 || r < 0 || i >= c.w || r >= c.h)
                return kPaper;
            return DibColour(d.dib, c.sx0 + i * c.sw / c.w, c.sy0Top + r * c.sh / c.h);
        })) << c.name;
    }
}

TEST_F(StretchDraw, NothingToDrawLeavesTheDeviceAlone)
{
    DibGuard d(MakeColourfulDib(4, 4, 8));
    DibGuard empty;
    ProbeDC dc(8, 8);
    DrawWhole(&dc, 0, 0, 8, 8, empty.dib);
    DrawWhole(&dc, 0, 0, 0, 8, d.dib);
    DrawWhole(&dc, 0, 0, 8, -3, d.dib);
    StretchDrawDib(&dc, 0, 0, 8, 8, d.dib, 0, 0, 0, 4, true, SRCCOPY, true, nullptr);
    StretchDrawDib(&dc, 0, 0, 8, 8, d.dib, 4, 0, 4, 4, true, SRCCOPY, true, nullptr);
    StretchDrawDib(&dc, 0, 0, 8, 8, d.dib, -4, 0, 4, 4, true, SRCCOPY, true, nullptr);
    StretchDrawDib(&dc, 0, 0, 8, 8, d.dib, 0, 4, 4, 4, true, SRCCOPY, true, nullptr);
    StretchDrawDib(&dc, 0, 0, 8, 8, d.dib, 0, -4, 4, 4, true, SRCCOPY, true, nullptr);
    // A sliver that rounds to no destination pixel.
    StretchDrawDib(&dc, 0, 0, 1, 8, d.dib, 3, 0, 4, 4, true, SRCCOPY, true, nullptr);
    StretchDrawDib(nullptr, 0, 0, 8, 8, d.dib, 0, 0, 4, 4, true, SRCCOPY, true, nullptr);
    EXPECT_TRUE(dc.sets.empty());
    EXPECT_TRUE(dc.stretches.empty());
    EXPECT_TRUE(dc.selections.empty()) << "no palette selected for nothing";
}

class Palettes : public DrawingTest {
protected:
    void SetUp() override
    {
        DrawingTest::SetUp();
        before = MakePalette({{1, 1, 1, 0}});
        caller = MakePalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
    }
    void TearDown() override
    {
        DeleteObject(before);
        DeleteObject(caller);
        DrawingTest::TearDown();
    }

    // A device that already holds a palette of its own.
    void Prepare(ProbeDC& dc)
    {
        dc.SelectPalette(before, false);
        dc.selections.clear();
    }

    HPALETTE before = nullptr;
    HPALETTE caller = nullptr;
};

TEST_F(Palettes, OwnOrCallerPaletteIsSelectedRealisedAndPutBack)
{
    for (int bits : {8, 4}) {
        for (bool own : {true, false}) {
            DibGuard d(MakeColourfulDib(4, 4, bits));
            ASSERT_EQ(d->HasPalette, 1);
            ProbeDC dc(8, 8);
            Prepare(dc);
            DrawWhole(&dc, 0, 0, 8, 8, d.dib, true, own, caller);
            const HPALETTE expected = own ? d->PaletteHandle : caller;
            const auto& transfers = bits == 8 ? dc.sets : dc.stretches;
            ASSERT_FALSE(transfers.empty());
            for (const ProbeDC::Transfer& t : transfers) {
                EXPECT_EQ(t.selected, expected) << bits << " bits, own " << own;
                EXPECT_EQ(t.realized, expected) << "realised before drawing";
            }
            EXPECT_EQ(dc.selections, (std::vector<HPALETTE>{expected, before}));
            EXPECT_EQ(dc.SelectedPalette(), before);
        }
    }
}

TEST_F(Palettes, PictureWithoutPaletteLeavesTheDevicePaletteUntouched)
{
    for (int bits : {24, 8, 1}) {
        for (bool printer : {false, true}) {
            DibGuard d(MakeColourfulDib(4, 4, bits));
            d->HasPalette = 0;
            ProbeDC dc(8, 8);
            if (printer)
                dc.SetTechnology(DT_RASPRINTER);
            Prepare(dc);
            DrawWhole(&dc, 0, 0, 8, 8, d.dib, true, false, caller);
            EXPECT_TRUE(dc.selections.empty()) << bits << " bits, printer " << printer;
            EXPECT_EQ(dc.realizations, 0);
            EXPECT_EQ(dc.SelectedPalette(), before);
        }
    }
}

TEST_F(Palettes, HalftonePathSelectsWhateverHasPaletteSays)
{
    screenBits = 8;
    DibGuard d(MakeColourfulDib(4, 4, 24));
    ProbeDC dc(8, 8);
    dc.SetBitsPerPixel(8);
    Prepare(dc);
    DrawWhole(&dc, 0, 0, 8, 8, d.dib, true, false, caller);
    ASSERT_EQ(dc.stretches.size(), 1u);
    EXPECT_EQ(dc.stretches[0].realized, caller);
    EXPECT_EQ(dc.selections, (std::vector<HPALETTE>{caller, before}));
    EXPECT_EQ(dc.SelectedPalette(), before);

    // Selected twice (as the picture's palette, then for the halftoned copy):
    // the device still gets back the palette it held before the drawing.
    d->HasPalette = 1;
    dc.selections.clear();
    DrawWhole(&dc, 0, 0, 8, 8, d.dib, true, false, caller);
    EXPECT_EQ(dc.selections, (std::vector<HPALETTE>{caller, caller, before}));
    EXPECT_EQ(dc.SelectedPalette(), before);
}

TEST_F(Palettes, PaletteScreenShowsThePictureThroughTheSelectedPalette)
{
    DibGuard d(MakeColourfulDib(4, 4, 8));
    RasterDC dc(4, 4);
    dc.SetBitsPerPixel(8);
    DrawWhole(&dc, 0, 0, 4, 4, d.dib, true, true, nullptr);
    EXPECT_TRUE(RasterIs(dc, [&](int x, int y) { return DibColour(d.dib, x, y); }))
        << "the picture's own palette holds its colours";

    DrawWhole(&dc, 0, 0, 4, 4, d.dib, true, false, caller);
    EXPECT_TRUE(RasterIs(dc, [&](int x, int y) {
        const COLORREF c = DibColour(d.dib, x, y);
        const int sum = GetRValue(c) + GetGValue(c) + GetBValue(c);
        return 2 * sum > 3 * 255 ? RGB(255, 255, 255) : RGB(0, 0, 0);
    })) << "only black and white in the caller's palette";
    EXPECT_EQ(dc.SelectedPalette(), nullptr);
}

TEST_F(StretchDraw, AFittedPictureIsDrawnAtTheDevicesResolution)
{
    DibGuard picture(MakeColourfulDib(200, 100, 24));
    for (const int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        RasterDC dc(200, 200);
        dc.SetResolution(dpi, dpi);
        DrawFitted(&dc, 100, 100, picture.dib); // logical: 100 x 50 of a 2:1 picture
        const int scale = dpi / 96;
        int wrong = 0;
        for (int y = 0; y < 50 * scale; ++y)
            for (int x = 0; x < 100 * scale; ++x)
                wrong += dc.Pixel(x, y) != DibColour(picture.dib, x * 2 / scale, y * 2 / scale);
        EXPECT_EQ(wrong, 0) << "every device pixel samples its own picture pixel";
        EXPECT_EQ(dc.Pixel(100 * scale, 0), 0u);
        EXPECT_EQ(dc.Pixel(0, 50 * scale), 0u);
    }
}

} // namespace
