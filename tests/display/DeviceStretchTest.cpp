#include "DisplayTestSupport.h"

namespace {

constexpr COLORREF kPaper = RGB(3, 2, 1);

struct Draw {
    int destX, destY, destW, destH, srcX, srcY, srcW, srcH;
};

// A printer page that refuses StretchDIBits, so every picture reaches the
// fallbacks.
class Fallbacks : public DrawingTest {
protected:
    Fallbacks() : page(16, 12)
    {
        page.SetTechnology(DT_RASPRINTER);
        page.stretchDIBitsAnswer = GDI_ERROR;
        FillRaster(page, kPaper);
    }

    void DrawOnPage(const TDibRecord& d, const Draw& g)
    {
        StretchDrawDib(&page, g.destX, g.destY, g.destW, g.destH, d, g.srcX, g.srcY, g.srcW, g.srcH,
                       false, SRCCOPY, true, nullptr);
    }

    ProbeDC page;
};

// The first fallback's sampling, rows from the top: the first and last
// destination pixels meet the first and last source pixels; rows are spread
// upwards from the rectangle's bottom as stored, and downwards from its top
// at 1 bit per pixel.
COLORREF ScaledCopyPixel(const TDibRecord& d, const Draw& g, int x, int y)
{
    const auto spread = [](int start, int size, int i, int n) {
        return n > 1 ? start + (size - 1) * i / (n - 1) : start;
    };
    const int h = DibHeight(d);
    const int sx = spread(g.srcX, g.srcW, x, g.destW);
    const int sy = DibBitCount(d) == 1 ? spread(h - g.srcY - g.srcH, g.srcH, y, g.destH)
                                       : h - 1 - spread(g.srcY, g.srcH, g.destH - 1 - y, g.destH);
    return DibColour(d, sx, sy);
}

// The device's own stretch (and the second fallback's StretchBlt).
COLORREF StretchedPixel(const TDibRecord& d, const Draw& g, int x, int y)
{
    const int top = DibHeight(d) - g.srcY - g.srcH;
    return DibColour(d, g.srcX + x * g.srcW / g.destW, top + y * g.srcH / g.destH);
}

template <typename F>
testing::AssertionResult PageShows(const RasterDC& page, const Draw& g, F pixel)
{
    return RasterIs(page, [&](int x, int y) {
        const int i = x - g.destX, r = y - g.destY;
        if (i < 0 || r < 0 || i >= g.destW || r >= g.destH)
            return kPaper;
        return pixel(i, r);
    });
}

const Draw kDraws[] = {
    {1, 1, 13, 10, 0, 0, 5, 4}, // enlarging the whole picture
    {0, 0, 3, 2, 0, 0, 5, 4},   // shrinking it
    {2, 3, 9, 7, 1, 1, 3, 2},   // an inner rectangle, its bottom one row up
    {4, 0, 1, 5, 2, 0, 3, 4},   // one column wide
    {0, 4, 6, 1, 0, 2, 5, 2},   // one row high
    {8, 6, 5, 4, 0, 0, 5, 2},   // the picture's bottom half
};

TEST_F(Fallbacks, ZeroLinesFromTheDeviceIsNoFailure)
{
    page.stretchDIBitsAnswer = 0;
    DibGuard d(MakeColourfulDib(5, 4, 4));
    DrawOnPage(d.dib, kDraws[0]);
    EXPECT_EQ(page.stretches.size(), 1u);
    EXPECT_TRUE(page.sets.empty());
    EXPECT_EQ(page.bitmapsMade, 0);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(RasterIs(page, [](int, int) { return kPaper; }));
}

TEST_F(Fallbacks, FirstFallbackSamplesEveryDepthEndToEnd)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        DibGuard d(MakeColourfulDib(5, 4, bits));
        for (const Draw& g : kDraws) {
            FillRaster(page, kPaper);
            page.sets.clear();
            DrawOnPage(d.dib, g);
            ASSERT_EQ(page.sets.size(), 1u);
            const ProbeDC::Transfer& t = page.sets[0];
            EXPECT_EQ(t.xDest, g.destX);
            EXPECT_EQ(t.yDest, g.destY);
            EXPECT_EQ(t.width, g.destW);
            EXPECT_EQ(t.height, g.destH);
            EXPECT_EQ(t.xSrc, 0);
            EXPECT_EQ(t.ySrc, 0);
            EXPECT_EQ(t.startScan, 0u);
            EXPECT_EQ(t.numScans, unsigned(g.destH));
            EXPECT_EQ(t.dibWidth, g.destW) << "a copy at the destination's size";
            EXPECT_EQ(t.dibHeight, g.destH);
            EXPECT_EQ(t.bitCount, bits);
            EXPECT_TRUE(
                PageShows(page, g, [&](int x, int y) { return ScaledCopyPixel(d.dib, g, x, y); }))
                << bits << " bits into " << g.destW << "x" << g.destH;
        }
    }
    EXPECT_EQ(page.bitmapsMade, 0);
    EXPECT_TRUE(messages.shown.empty()) << "a drawn fallback is not reported";
}

TEST_F(Fallbacks, SecondFallbackStretchesADeviceBitmap)
{
    // Without RC_DIBTODEV, the copy that a refused first fallback made and
    // failed to draw, and a copy that could not be made.
    enum Cause { NoDibToDevice, CopyRefused, NoMemoryForCopy };
    for (Cause cause : {NoDibToDevice, CopyRefused, NoMemoryForCopy}) {
        for (int bits : {1, 4, 8, 24}) {
            DibGuard d(MakeColourfulDib(5, 4, bits));
            for (const Draw& g : kDraws) {
                ProbeDC dc(16, 12);
                dc.SetTechnology(DT_RASPRINTER);
                dc.stretchDIBitsAnswer = GDI_ERROR;
                dc.dibToDevice = cause != NoDibToDevice;
                if (cause == CopyRefused)
                    dc.setDIBitsToDeviceAnswer = 0;
                FillRaster(dc, kPaper);
                {
                    AllocationLimit limit(cause == NoMemoryForCopy ? 1 : DibAllocationLimit());
                    StretchDrawDib(&dc, g.destX, g.destY, g.destW, g.destH, d.dib, g.srcX, g.srcY,
                                   g.srcW, g.srcH, false, SRCCOPY, true, nullptr);
                }
                EXPECT_EQ(dc.sets.size(), cause == CopyRefused ? 1u : 0u);
                EXPECT_EQ(dc.bitmapsMade, 1);
                EXPECT_EQ(dc.memoryDCsMade, 1);
                EXPECT_EQ(dc.setDIBitsCalls, 1);
                EXPECT_EQ(dc.stretchBlts, 1);
                EXPECT_TRUE(
                    PageShows(dc, g, [&](int x, int y) { return StretchedPixel(d.dib, g, x, y); }))
                    << "cause " << cause << ", " << bits << " bits into " << g.destW << "x"
                    << g.destH;
            }
        }
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Fallbacks, EachRefusalOfTheSecondFallbackHasItsMessage)
{
    struct Case {
        bool bitmapFails;
        std::optional<int> setDIBits, stretchBlt;
        const char* text;
        int memoryDCs, setDIBitsCalls, stretchBlts;
    };
    const Case cases[] = {
        {true, {}, {}, "Konnte Bitmap nicht erzeugen!", 0, 0, 0},
        {false, 0, {}, "Das Gerät unterstützt die Funtkion setdibits nicht!", 1, 1, 0},
        {false, {}, 0, "Das Gerät unterstützt die Funktion StretchBlt nicht!", 1, 1, 1},
    };
    for (const Case& c : cases) {
        DibGuard d(MakeColourfulDib(5, 4, 4));
        ProbeDC dc(16, 12);
        dc.stretchDIBitsAnswer = GDI_ERROR;
        dc.dibToDevice = false;
        dc.bitmapsFail = c.bitmapFails;
        dc.setDIBitsAnswer = c.setDIBits;
        dc.stretchBltAnswer = c.stretchBlt;
        FillRaster(dc, kPaper);
        messages.shown.clear();
        const int objects = LiveGdiObjectCount();
        StretchDrawDib(&dc, 0, 0, 16, 12, d.dib, 0, 0, 5, 4, true, SRCCOPY, true, nullptr);
        ASSERT_EQ(messages.shown.size(), 1u) << c.text;
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(messages.shown[0].caption, "");
        EXPECT_EQ(messages.shown[0].flags, MB_OK);
        EXPECT_EQ(dc.memoryDCsMade, c.memoryDCs);
        EXPECT_EQ(dc.setDIBitsCalls, c.setDIBitsCalls);
        EXPECT_EQ(dc.stretchBlts, c.stretchBlts);
        EXPECT_EQ(LiveGdiObjectCount(), objects) << "bitmap deleted";
        EXPECT_TRUE(RasterIs(dc, [](int, int) { return kPaper; }));
        EXPECT_EQ(dc.SelectedPalette(), nullptr) << "palette put back";
        EXPECT_EQ(dc.selections, (std::vector<HPALETTE>{d->PaletteHandle, nullptr}));
    }
}

} // namespace
