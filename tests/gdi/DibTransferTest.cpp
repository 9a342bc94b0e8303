#include "GdiTestSupport.h"

#include "base/Palette.h"

namespace {

constexpr COLORREF kPaper = RGB(1, 2, 3); // what the raster held before

class DibTransfer : public LeakCheckedTest {};

COLORREF Colour(int x, int y)
{
    return RGB(std::uint8_t(10 + 20 * x), std::uint8_t(5 + 40 * y), 99);
}

int Draw(RasterDC& dc, const TDibRecord& d, int xDest, int yDest, int destW, int destH, int xSrc,
         int ySrc, int srcW, int srcH)
{
    return dc.StretchDIBits(xDest, yDest, destW, destH, xSrc, ySrc, srcW, srcH, d.Bits, d.Info,
                            DIB_RGB_COLORS, SRCCOPY);
}

TEST_F(DibTransfer, StoredBottomUpRowsAreShownTopDown)
{
    DibGuard d(MakeDib(2, 3, 24, Colour));
    RasterDC dc(4, 5);
    FillRaster(dc, kPaper);
    EXPECT_EQ(Draw(dc, d.dib, 1, 1, 2, 3, 0, 0, 2, 3), 3);
    EXPECT_TRUE(RasterIs(dc, [](int x, int y) {
        return x >= 1 && x < 3 && y >= 1 && y < 4 ? Colour(x - 1, y - 1) : kPaper;
    }));
}

TEST_F(DibTransfer, SourceYCountsUpwardsFromTheBottomRow)
{
    DibGuard d(MakeDib(1, 4, 24, Colour));
    RasterDC dc(1, 2);
    Draw(dc, d.dib, 0, 0, 1, 1, 0, 0, 1, 1);
    EXPECT_EQ(dc.Pixel(0, 0), Colour(0, 3)) << "ySrc 0 is the bottom row";
    Draw(dc, d.dib, 0, 0, 1, 1, 0, 3, 1, 1);
    EXPECT_EQ(dc.Pixel(0, 0), Colour(0, 0)) << "ySrc 3 is the top row";
    Draw(dc, d.dib, 0, 0, 1, 2, 0, 1, 1, 2);
    EXPECT_EQ(dc.Pixel(0, 0), Colour(0, 1));
    EXPECT_EQ(dc.Pixel(0, 1), Colour(0, 2));
}

TEST_F(DibTransfer, StretchSamplesPointsBySourceStartPlusScaledOffset)
{
    DibGuard d(MakeDib(7, 5, 24, Colour));
    struct Case {
        int xDest, yDest, destW, destH, xSrc, ySrc, srcW, srcH;
    };
    for (const Case& c : {Case{0, 0, 11, 9, 0, 0, 7, 5}, Case{1, 2, 11, 3, 1, 1, 5, 3},
                          Case{0, 0, 2, 2, 0, 0, 7, 5}, Case{3, 0, 5, 7, 6, 4, 1, 1}}) {
        RasterDC dc(16, 12);
        FillRaster(dc, kPaper);
        Draw(dc, d.dib, c.xDest, c.yDest, c.destW, c.destH, c.xSrc, c.ySrc, c.srcW, c.srcH);
        const int top = 5 - c.ySrc - c.srcH;
        EXPECT_TRUE(RasterIs(dc,
                             [&](int x, int y) {
                                 const int dx = x - c.xDest, dy = y - c.yDest;
                                 if (dx < 0 || dy < 0 || dx >= c.destW || dy >= c.destH)
                                     return kPaper;
                                 return Colour(c.xSrc + dx * c.srcW / c.destW,
                                               top + dy * c.srcH / c.destH);
                             }))
            << c.destW << "x" << c.destH << " from " << c.srcW << "x" << c.srcH;
    }
}

TEST_F(DibTransfer, PaletteDepthsLookUpTheirColourTable)
{
    const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), olive = RGB(128, 128, 0);
    RasterDC dc(10, 1);

    DibGuard one(MakeIndexedDib(10, 1, 1, {red, blue}, [](int x, int) { return x % 3 == 0; }));
    Draw(dc, one.dib, 0, 0, 10, 1, 0, 0, 10, 1);
    EXPECT_TRUE(RasterIs(dc, [&](int x, int) { return x % 3 == 0 ? blue : red; }))
        << "bit 7 of the first byte is the leftmost pixel";

    DibGuard four(MakeIndexedDib(3, 1, 4, {0, red, blue}, [](int x, int) { return x + 1u; }));
    four->Info->bmiColors[3] = RGBQUAD{0, 128, 128, 0};
    Draw(dc, four.dib, 0, 0, 3, 1, 0, 0, 3, 1);
    EXPECT_EQ(dc.Pixel(0, 0), red) << "high nibble first";
    EXPECT_EQ(dc.Pixel(1, 0), blue);
    EXPECT_EQ(dc.Pixel(2, 0), olive);

    DibGuard eight(MakeIndexedDib(2, 1, 8, {}, [](int x, int) { return x ? 5u : 200u; }));
    eight->Info->bmiColors[200] = RGBQUAD{0, 0, 255, 0};
    eight->Info->bmiColors[5] = RGBQUAD{255, 0, 0, 0};
    Draw(dc, eight.dib, 0, 0, 2, 1, 0, 0, 2, 1);
    EXPECT_EQ(dc.Pixel(0, 0), red);
    EXPECT_EQ(dc.Pixel(1, 0), blue);

    // A shortened table: indices past biClrUsed show black.
    eight->Info->bmiHeader.biClrUsed = 6;
    Draw(dc, eight.dib, 0, 0, 2, 1, 0, 0, 2, 1);
    EXPECT_EQ(dc.Pixel(0, 0), 0u);
    EXPECT_EQ(dc.Pixel(1, 0), blue);
}

TEST_F(DibTransfer, SixteenBitsAre555AndThirtyTwoBitsIgnoreTheirFourthByte)
{
    const std::uint32_t words[] = {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x4210, 0x801F, 0x0000};
    const COLORREF shown[] = {RGB(255, 0, 0),
                              RGB(0, 255, 0),
                              RGB(0, 0, 255),
                              RGB(255, 255, 255),
                              RGB(132, 132, 132),
                              RGB(0, 0, 255),
                              0};
    DibGuard d(MakeDib(7, 1, 16, [&](int x, int) { return words[x]; }));
    RasterDC dc(7, 1);
    Draw(dc, d.dib, 0, 0, 7, 1, 0, 0, 7, 1);
    EXPECT_TRUE(RasterIs(dc, [&](int x, int) { return shown[x]; }));

    DibGuard wide(MakeDib(2, 1, 32, [](int x, int) { return x ? 0xAB112233u : 0x00445566u; }));
    Draw(dc, wide.dib, 0, 0, 2, 1, 0, 0, 2, 1);
    EXPECT_EQ(dc.Pixel(0, 0), 0x445566u);
    EXPECT_EQ(dc.Pixel(1, 0), 0x112233u);
}

TEST_F(DibTransfer, DrawingIsClippedToTheRasterAndToTheSource)
{
    DibGuard d(MakeDib(4, 4, 24, Colour));
    RasterDC dc(3, 3);
    FillRaster(dc, kPaper);
    Draw(dc, d.dib, -2, -1, 8, 8, 0, 0, 4, 4);
    EXPECT_TRUE(RasterIs(dc, [](int x, int y) { return Colour((x + 2) / 2, (y + 1) / 2); }));

    // Source columns left of the DIB and rows below it leave the raster alone.
    FillRaster(dc, kPaper);
    EXPECT_EQ(Draw(dc, d.dib, 0, 0, 3, 2, -1, -1, 3, 2), 1);
    EXPECT_TRUE(
        RasterIs(dc, [](int x, int y) { return x >= 1 && y == 0 ? Colour(x - 1, 3) : kPaper; }));

    FillRaster(dc, kPaper);
    Draw(dc, d.dib, 5, 5, 4, 4, 0, 0, 4, 4);
    Draw(dc, d.dib, -9, 0, 4, 4, 0, 0, 4, 4);
    EXPECT_TRUE(RasterIs(dc, [](int, int) { return kPaper; }));
}

TEST_F(DibTransfer, RefusesWhatItCannotDraw)
{
    DibGuard d(MakeDib(2, 2, 24, Colour));
    RasterDC dc(2, 2);
    FillRaster(dc, kPaper);
    EXPECT_EQ(
        dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, d->Bits, d->Info, DIB_RGB_COLORS, 0x00EE0086),
        GDI_ERROR)
        << "only SRCCOPY";
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, d->Bits, d->Info, 1, SRCCOPY), GDI_ERROR)
        << "palette-index colours";
    EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 2, 2, nullptr, d->Info, DIB_RGB_COLORS, SRCCOPY),
              GDI_ERROR);
    EXPECT_EQ(Draw(dc, d.dib, 0, 0, -2, 2, 0, 0, 2, 2), GDI_ERROR) << "no mirroring";
    EXPECT_EQ(Draw(dc, d.dib, 0, 0, 0, 2, 0, 0, 2, 2), 0);

    BITMAPINFOHEADER& h = d->Info->bmiHeader;
    h.biCompression = BI_RLE8;
    EXPECT_EQ(Draw(dc, d.dib, 0, 0, 2, 2, 0, 0, 2, 2), GDI_ERROR);
    h.biCompression = BI_RGB;
    h.biHeight = -2; // top-down
    EXPECT_EQ(Draw(dc, d.dib, 0, 0, 2, 2, 0, 0, 2, 2), GDI_ERROR);
    h.biHeight = 2;
    h.biBitCount = 2;
    EXPECT_EQ(Draw(dc, d.dib, 0, 0, 2, 2, 0, 0, 2, 2), GDI_ERROR);
    h.biBitCount = 24;
    EXPECT_TRUE(RasterIs(dc, [](int, int) { return kPaper; }));
}

TEST_F(DibTransfer, PaletteScreenShowsTheNearestColoursOfTheRealisedPalette)
{
    LOGPALETTE lp{};
    lp.palVersion = 0x300;
    lp.palNumEntries = 3;
    lp.palPalEntry[0] = {0, 0, 0, 0};
    lp.palPalEntry[1] = {200, 0, 0, 0};
    lp.palPalEntry[2] = {0, 0, 200, 0};
    HPALETTE warm = CreatePalette(&lp);
    lp.palPalEntry[1] = {0, 200, 0, 0};
    HPALETTE green = CreatePalette(&lp);

    const COLORREF in[] = {RGB(180, 20, 10), RGB(10, 10, 250), RGB(30, 30, 30)};
    DibGuard d(MakeDib(3, 1, 24, [&](int x, int) { return in[x]; }));
    RasterDC dc(3, 1);
    dc.SetBitsPerPixel(8);
    Draw(dc, d.dib, 0, 0, 3, 1, 0, 0, 3, 1);
    EXPECT_EQ(dc.Pixel(0, 0), in[0]) << "no palette realised yet: colours pass";

    dc.SelectPalette(warm, false);
    dc.RealizePalette();
    Draw(dc, d.dib, 0, 0, 3, 1, 0, 0, 3, 1);
    EXPECT_EQ(dc.Pixel(0, 0), RGB(200, 0, 0));
    EXPECT_EQ(dc.Pixel(1, 0), RGB(0, 0, 200));
    EXPECT_EQ(dc.Pixel(2, 0), RGB(0, 0, 0));

    // A newly realised palette must not be answered from the old one's colours.
    dc.SelectPalette(green, false);
    dc.RealizePalette();
    Draw(dc, d.dib, 0, 0, 3, 1, 0, 0, 3, 1);
    EXPECT_EQ(dc.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(dc.Pixel(1, 0), RGB(0, 0, 200));

    // The screen keeps the realised colours when the palette object goes.
    dc.SelectPalette(nullptr, false);
    DeleteObject(green);
    Draw(dc, d.dib, 0, 0, 3, 1, 0, 0, 3, 1);
    EXPECT_EQ(dc.Pixel(1, 0), RGB(0, 0, 200));
    dc.RealizePalette();
    Draw(dc, d.dib, 0, 0, 3, 1, 0, 0, 3, 1);
    EXPECT_EQ(dc.Pixel(0, 0), in[0]) << "the default palette passes colours again";
    DeleteObject(warm);
}

TEST_F(DibTransfer, SetDIBitsToDeviceTakesOnlyTheScansHandedOver)
{
    DibGuard d(MakeDib(2, 4, 24, Colour));
    RasterDC dc(2, 4);
    FillRaster(dc, kPaper);
    // Scans 1 and 2 (from the bottom) are picture rows 2 and 1 from the top.
    const std::uint8_t* scan1 = d->Bits + d->LineBytes;
    EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 2, 4, 0, 0, 1, 2, scan1, d->Info, DIB_RGB_COLORS), 2);
    EXPECT_TRUE(
        RasterIs(dc, [](int x, int y) { return y == 1 || y == 2 ? Colour(x, y) : kPaper; }));

    // A source rectangle: its top destination row shows its highest scan.
    FillRaster(dc, kPaper);
    dc.SetDIBitsToDevice(1, 1, 1, 2, 1, 1, 0, 4, d->Bits, d->Info, DIB_RGB_COLORS);
    EXPECT_TRUE(RasterIs(
        dc, [](int x, int y) { return x == 1 && (y == 1 || y == 2) ? Colour(1, y) : kPaper; }));

    // Partly off the raster and partly outside the DIB.
    FillRaster(dc, kPaper);
    dc.SetDIBitsToDevice(-1, 3, 3, 4, 0, 0, 0, 4, d->Bits, d->Info, DIB_RGB_COLORS);
    EXPECT_TRUE(
        RasterIs(dc, [](int x, int y) { return x == 0 && y == 3 ? Colour(1, 0) : kPaper; }));

    EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 2, 4, 0, 0, 0, 4, nullptr, d->Info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 2, 4, 0, 0, 0, 4, d->Bits, nullptr, DIB_RGB_COLORS), 0);
    EXPECT_EQ(dc.SetDIBitsToDevice(0, 0, 2, 4, 0, 0, 0, 4, d->Bits, d->Info, 1), 0);
}

} // namespace
