// Shared pieces of the drawing tests: a fixture with a chosen screen depth,
// and the colours a picture's pixels should show.
#pragma once

#include "../gdi/GdiTestSupport.h"
#include "ProbeDC.h"

#include "display/StretchDrawDib.h"
#include "gdi/MemoryDC.h"
#include "base/Palette.h"

// The colour of picture pixel (x, y), y from the top, read independently of
// the drawing code: through the colour table, or unpacked from 16 (5-5-5,
// widened by repeating the top bits), 24 or 32 bits.
inline COLORREF DibColour(const TDibRecord& d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, y);
    switch (DibBitCount(d)) {
    case 16: {
        const auto widen = [](std::uint32_t c) { return std::uint8_t(c << 3 | c >> 2); };
        return RGB(widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
    }
    case 24:
        return v;
    case 32:
        return v & 0xFFFFFFu;
    default: {
        const RGBQUAD& q = d.Info->bmiColors[v];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    }
}

// A colourful test picture at any depth: palette depths get a table of
// distinct colours, 16 bits distinct 5-5-5 values, true colour distinct
// colours; none of them is black, so undrawn black shows.
inline TDibRecord MakeColourfulDib(int width, int height, int bits)
{
    TDibRecord d = MakeDib(width, height, bits, [&](int x, int y) -> std::uint32_t {
        const std::uint32_t n = std::uint32_t(x + width * y);
        switch (bits) {
        case 1: // scrambled, so that no two rows or columns are alike
            return (std::uint32_t(x * 73 + y * 151) * 2654435761u >> 16) & 1;
        case 4:
            return 1 + n % 15;
        case 8:
            return 1 + n % 255;
        case 16:
            return 0x0421u + n * 0x0C63u % 0x7BDEu;
        default:
            return RGB(std::uint8_t(20 + 37 * x), std::uint8_t(10 + 23 * y), 200);
        }
    });
    if (bits > 8)
        return d;
    // Colour table and palette agree, as in every picture of the program.
    for (int i = 0; i < 1 << bits; ++i) {
        const RGBQUAD q{std::uint8_t(255 - i), std::uint8_t(40 + i * 7), std::uint8_t(100 + i), 0};
        d.Info->bmiColors[i] = q;
        d.Palette.palPalEntry[i] = PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
    }
    DeleteObject(d.PaletteHandle);
    d.PaletteHandle = CreatePalette(&d.Palette);
    return d;
}

// Every drawing test: no leaked pictures, objects or memory DCs, message
// boxes recorded, and a screen of screenBits bits per pixel.
class DrawingTest : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        memoryDCs_ = LiveMemoryDCCount();
        previousProbe_ = SetScreenBitsPerPixelProbe([this] {
            ++screenProbes;
            return screenBits;
        });
    }
    void TearDown() override
    {
        SetScreenBitsPerPixelProbe(previousProbe_);
        EXPECT_EQ(LiveMemoryDCCount(), memoryDCs_) << "memory device contexts leaked";
        LeakCheckedTest::TearDown();
    }

    // The whole picture, as every caller of the program draws it.
    static void DrawWhole(HDC dc, int x, int y, int w, int h, const TDibRecord& d,
                          bool halftone = true, bool ownPalette = true,
                          HPALETTE callerPalette = nullptr)
    {
        StretchDrawDib(dc, x, y, w, h, d, 0, 0, DibWidth(d), DibHeight(d), halftone, SRCCOPY,
                       ownPalette, callerPalette);
    }

    int screenBits = 32;
    int screenProbes = 0;
    MessageBoxRecorder messages;

private:
    int memoryDCs_ = 0;
    std::function<int()> previousProbe_;
};
