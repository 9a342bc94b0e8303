#include "TestSupport.h"

#include "base/Palette.h"
#include "gdi/RasterDC.h"

namespace {

std::string Picture(const RasterDC& dc, COLORREF ink)
{
    std::string s;
    for (int y = 0; y < dc.Height(); ++y) {
        for (int x = 0; x < dc.Width(); ++x)
            s += dc.Pixel(x, y) == ink ? '#' : '.';
        s += '\n';
    }
    return s;
}

TEST(RasterDC, FillRectIsClippedAndExclusive)
{
    RasterDC dc(4, 3);
    dc.SetBrush(RGB(0, 0, 128));
    dc.FillRect(RECT{-2, 1, 2, 9});
    EXPECT_EQ(Picture(dc, RGB(0, 0, 128)), "....\n##..\n##..\n");
    dc.FillRect(RECT{3, 0, 1, 2}); // inverted: nothing
    EXPECT_EQ(Picture(dc, RGB(0, 0, 128)), "....\n##..\n##..\n");
}

TEST(RasterDC, RectangleOutlinesWithPenAndFillsWithBrush)
{
    RasterDC dc(5, 4);
    dc.SetPen(RGB(255, 0, 0));
    dc.SetBrush(RGB(0, 255, 0));
    dc.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(Picture(dc, RGB(255, 0, 0)), "####.\n#..#.\n#..#.\n####.\n");
    EXPECT_EQ(Picture(dc, RGB(0, 255, 0)), ".....\n.##..\n.##..\n.....\n");
}

TEST(RasterDC, LinesLeaveOutTheEndPointAndDotsAlternate)
{
    RasterDC dc(6, 2);
    dc.SetPen(RGB(1, 1, 1));
    dc.MoveTo(0, 0);
    dc.LineTo(5, 0);
    dc.SetPen(RGB(1, 1, 1), PS_DOT);
    dc.SetBrush(RGB(2, 2, 2));
    dc.MoveTo(0, 1);
    dc.LineTo(6, 1);
    EXPECT_EQ(Picture(dc, RGB(1, 1, 1)), "#####.\n#.#.#.\n");
    EXPECT_EQ(Picture(dc, RGB(2, 2, 2)), "......\n.#.#.#\n") << "the gaps in the brush colour";
}

TEST(RasterDC, WrapsAForeignBufferWithItsStride)
{
    std::vector<std::uint32_t> buffer(3 * 4, 0xDEAD);
    RasterDC dc(buffer.data(), 2, 3, 16);
    dc.SetBrush(RGB(0x11, 0x22, 0x33));
    dc.FillRect(RECT{0, 0, 2, 3});
    EXPECT_EQ(buffer[0], 0x112233u) << "0x00RRGGBB in memory";
    EXPECT_EQ(buffer[4], 0x112233u);
    EXPECT_EQ(buffer[2], 0xDEADu) << "stride padding untouched";
}

TEST(RasterDC, PaletteScreenMapsColoursThroughTheRealisedPalette)
{
    LOGPALETTE lp{};
    lp.palVersion = 0x300;
    lp.palNumEntries = 2;
    lp.palPalEntry[0] = {0, 0, 0, 0};
    lp.palPalEntry[1] = {200, 200, 200, 0};
    HPALETTE p = CreatePalette(&lp);
    RasterDC dc(1, 1);
    dc.SetBitsPerPixel(8);
    EXPECT_EQ(dc.SelectPalette(p, false), nullptr);
    EXPECT_EQ(dc.RealizePalette(), 2u);
    EXPECT_EQ(dc.MapColor(RGB(250, 120, 180)), RGB(200, 200, 200));
    dc.SetBitsPerPixel(32);
    EXPECT_EQ(dc.MapColor(RGB(250, 120, 180)), RGB(250, 120, 180));
    EXPECT_EQ(dc.SelectPalette(nullptr, false), p);
    DeleteObject(p);
}

} // namespace
