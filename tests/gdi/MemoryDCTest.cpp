#include "GdiTestSupport.h"

#include "gdi/MemoryDC.h"
#include "base/Palette.h"
#include "gdi/PrinterDC.h"

#include <memory>

namespace {

class CompatibleObjects : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        EXPECT_EQ(LiveMemoryDCCount(), memoryDCs_) << "memory device contexts leaked";
        LeakCheckedTest::TearDown();
    }

private:
    int memoryDCs_ = LiveMemoryDCCount();
};

COLORREF Colour(int x, int y)
{
    return RGB(std::uint8_t(1 + 30 * x), std::uint8_t(2 + 50 * y), 77);
}

struct BitmapDeleter {
    void operator()(GdiBitmap* b) const { DeleteObject(b); }
};
using BitmapPtr = std::unique_ptr<GdiBitmap, BitmapDeleter>;

struct DCDeleter {
    void operator()(DeviceContext* dc) const { DeleteDC(dc); }
};
using DCPtr = std::unique_ptr<DeviceContext, DCDeleter>;

TEST_F(CompatibleObjects, BitmapsAreCountedAndRefusedWhenEmptyOrHuge)
{
    RasterDC screen(1, 1);
    const int before = LiveGdiObjectCount();
    BitmapPtr b(screen.CreateCompatibleBitmap(3, 2));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->width, 3);
    EXPECT_EQ(b->height, 2);
    EXPECT_EQ(LiveGdiObjectCount(), before + 1);
    EXPECT_EQ(screen.CreateCompatibleBitmap(0, 5), nullptr);
    EXPECT_EQ(screen.CreateCompatibleBitmap(4, -1), nullptr);
    EXPECT_EQ(screen.CreateCompatibleBitmap(100000, 100000), nullptr);
}

TEST_F(CompatibleObjects, SetDIBitsPutsTheDibTopRowOnTheBitmapTopRow)
{
    RasterDC screen(1, 1);
    DibGuard d(MakeDib(3, 2, 24, Colour));
    BitmapPtr b(screen.CreateCompatibleBitmap(3, 2));
    EXPECT_EQ(screen.SetDIBits(b.get(), 0, 2, d->Bits, d->Info, DIB_RGB_COLORS), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(ColorFromRaster(b->pixels[std::size_t(y * 3 + x)]), Colour(x, y));

    // Only scan 1, the top row, handed over.
    BitmapPtr top(screen.CreateCompatibleBitmap(3, 2));
    EXPECT_EQ(screen.SetDIBits(top.get(), 1, 1, d->Bits + d->LineBytes, d->Info, DIB_RGB_COLORS),
              1);
    EXPECT_EQ(ColorFromRaster(top->pixels[0]), Colour(0, 0));
    EXPECT_EQ(top->pixels[3], 0u) << "bottom row untouched";

    DibGuard four(MakeIndexedDib(2, 1, 4, {RGB(9, 8, 7), RGB(200, 100, 50)},
                                 [](int x, int) { return std::uint32_t(x); }));
    BitmapPtr small(screen.CreateCompatibleBitmap(1, 1));
    EXPECT_EQ(screen.SetDIBits(small.get(), 0, 1, four->Bits, four->Info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(ColorFromRaster(small->pixels[0]), RGB(9, 8, 7)) << "clipped to the bitmap";

    EXPECT_EQ(screen.SetDIBits(nullptr, 0, 2, d->Bits, d->Info, DIB_RGB_COLORS), 0);
    EXPECT_EQ(screen.SetDIBits(b.get(), 0, 2, nullptr, d->Info, DIB_RGB_COLORS), 0);
}

TEST_F(CompatibleObjects, MemoryDCDrawsIntoItsSelectedBitmapOnly)
{
    RasterDC screen(1, 1);
    screen.SetBitsPerPixel(16);
    screen.SetResolution(120, 144);
    DCPtr memory(screen.CreateCompatibleDC());
    EXPECT_EQ(LiveMemoryDCCount(), 1);
    EXPECT_EQ(memory->GetDeviceCaps(BITSPIXEL), 16);
    EXPECT_EQ(memory->GetDeviceCaps(LOGPIXELSY), 144);
    EXPECT_EQ(memory->GetDeviceCaps(HORZRES), 0) << "no bitmap, no surface";
    memory->FillRect(RECT{0, 0, 5, 5}); // must not write anywhere

    BitmapPtr a(screen.CreateCompatibleBitmap(2, 2)), b(screen.CreateCompatibleBitmap(3, 1));
    EXPECT_EQ(memory->SelectObject(a.get()), nullptr);
    EXPECT_EQ(memory->GetDeviceCaps(HORZRES), 2);
    memory->SetBrush(RGB(10, 20, 30));
    memory->FillRect(RECT{1, 0, 9, 9});
    EXPECT_EQ(a->pixels[0], 0u);
    EXPECT_EQ(ColorFromRaster(a->pixels[1]), RGB(10, 20, 30));
    EXPECT_EQ(ColorFromRaster(a->pixels[3]), RGB(10, 20, 30));
    EXPECT_EQ(memory->SelectObject(b.get()), a.get());
    EXPECT_EQ(memory->SelectObject(nullptr), b.get());

    EXPECT_EQ(screen.SelectObject(a.get()), nullptr) << "a screen holds no bitmap";
    memory.reset();
    EXPECT_EQ(LiveMemoryDCCount(), 0);
    EXPECT_FALSE(DeleteDC(nullptr));
}

TEST_F(CompatibleObjects, StretchBltRoundTripCountsRowsFromTheTop)
{
    RasterDC screen(6, 4);
    DibGuard d(MakeDib(3, 2, 24, Colour));
    BitmapPtr b(screen.CreateCompatibleBitmap(3, 2));
    DCPtr memory(screen.CreateCompatibleDC());
    ASSERT_EQ(memory->SetDIBits(b.get(), 0, 2, d->Bits, d->Info, DIB_RGB_COLORS), 2);
    const HBITMAP old = memory->SelectObject(b.get());

    EXPECT_NE(screen.StretchBlt(0, 0, 6, 4, memory.get(), 0, 0, 3, 2, SRCCOPY), 0);
    EXPECT_TRUE(RasterIs(screen, [](int x, int y) { return Colour(x / 2, y / 2); }));

    // ySrc 1 is the bitmap's second row from the top: the DIB's bottom row.
    EXPECT_NE(screen.StretchBlt(0, 0, 5, 1, memory.get(), 1, 1, 2, 1, SRCCOPY), 0);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(screen.Pixel(x, 0), Colour(1 + x * 2 / 5, 1));

    // Columns past the bitmap are left alone.
    EXPECT_NE(screen.StretchBlt(0, 3, 6, 1, memory.get(), 2, 0, 2, 1, SRCCOPY), 0);
    EXPECT_EQ(screen.Pixel(2, 3), Colour(2, 0));
    EXPECT_EQ(screen.Pixel(3, 3), Colour(1, 1)) << "kept from the first copy";

    EXPECT_EQ(screen.StretchBlt(0, 0, 6, 4, memory.get(), 0, 0, 3, 2, 0x00EE0086), 0);
    EXPECT_EQ(screen.StretchBlt(0, 0, 6, 4, nullptr, 0, 0, 3, 2, SRCCOPY), 0);
    EXPECT_EQ(screen.StretchBlt(0, 0, 6, 4, &screen, 0, 0, 3, 2, SRCCOPY), 0);
    memory->SelectObject(old);
}

TEST_F(CompatibleObjects, StretchBltOntoAPaletteScreenMapsColours)
{
    LOGPALETTE lp{};
    lp.palVersion = 0x300;
    lp.palNumEntries = 2;
    lp.palPalEntry[0] = {0, 0, 0, 0};
    lp.palPalEntry[1] = {250, 250, 250, 0};
    HPALETTE p = CreatePalette(&lp);
    RasterDC screen(2, 1);
    screen.SetBitsPerPixel(8);
    screen.SelectPalette(p, false);
    screen.RealizePalette();

    DibGuard d(
        MakeDib(2, 1, 24, [](int x, int) { return x ? RGB(200, 190, 180) : RGB(40, 50, 60); }));
    BitmapPtr b(screen.CreateCompatibleBitmap(2, 1));
    DCPtr memory(screen.CreateCompatibleDC());
    memory->SetDIBits(b.get(), 0, 1, d->Bits, d->Info, DIB_RGB_COLORS);
    EXPECT_EQ(ColorFromRaster(b->pixels[1]), RGB(200, 190, 180)) << "the bitmap keeps colours";
    memory->SelectObject(b.get());
    screen.StretchBlt(0, 0, 2, 1, memory.get(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(screen.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(screen.Pixel(1, 0), RGB(250, 250, 250));
    memory->SelectObject(nullptr);
    screen.SelectPalette(nullptr, false);
    DeleteObject(p);
}

TEST(PrinterDC, IsAWhitePageThatReportsItsResolution)
{
    PrinterDC page(40, 30, 600, 300);
    EXPECT_EQ(page.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(page.GetDeviceCaps(HORZRES), 40);
    EXPECT_EQ(page.GetDeviceCaps(VERTRES), 30);
    EXPECT_EQ(page.GetDeviceCaps(LOGPIXELSX), 600);
    EXPECT_EQ(page.GetDeviceCaps(LOGPIXELSY), 300);
    EXPECT_NE(page.GetDeviceCaps(RASTERCAPS) & RC_DIBTODEV, 0);
    EXPECT_TRUE(RasterIs(page, [](int, int) { return RGB(255, 255, 255); }));

    RasterDC screen(5, 7);
    EXPECT_EQ(screen.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(screen.GetDeviceCaps(BITSPIXEL), 32);
    EXPECT_EQ(screen.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(screen.GetDeviceCaps(VERTRES), 7);
}

} // namespace
