#include "display/DeviceStretch.h"

#include "imagora/Imagora.h"
#include "toolkit/MessageBox.h"

#include <cstring>
#include <memory>
#include <new>

namespace {

const char* const kNoBitmap = "Konnte Bitmap nicht erzeugen!";
const char* const kNoSetDIBits = "Das Gerät unterstützt die Funtkion setdibits nicht!";
const char* const kNoStretchBlt = "Das Gerät unterstützt die Funktion StretchBlt nicht!";

// Index i of destSize destination pixels samples start + (srcSize - 1) * i
// div (destSize - 1): the first and last pixels meet the first and last
// source pixels. A destination one pixel wide takes the first.
int Sampled(int start, int srcSize, int i, int destSize)
{
    return destSize > 1 ? int(start + std::int64_t(srcSize - 1) * i / (destSize - 1)) : start;
}

// Fills copy (DestWidth x DestHeight, the picture's depth) by point sampling
// the source rectangle; columns holds the source column of every x. Rows
// count from the bottom as stored, except at 1 bit per pixel, where the pixel
// calls count from the top and the rows are taken from the rectangle's top
// edge down.
void SampleInto(const TDibRecord& copy, const TDibRecord& Dib, int SrcY, int SrcHeight,
                const int* columns)
{
    const int destW = DibWidth(copy), destH = DibHeight(copy), bits = DibBitCount(Dib);
    if (bits == 1) {
        const int srcTop = DibHeight(Dib) - SrcY - SrcHeight;
        for (int y = 0; y < destH; ++y) {
            const int sy = Sampled(srcTop, SrcHeight, y, destH);
            for (int x = 0; x < destW; ++x)
                setpixel(copy, x, y, getpixel(Dib, columns[x], sy));
        }
        return;
    }
    const int pixelBytes = bits / 8;
    for (int y = 0; y < destH; ++y) {
        const std::uint8_t* in =
            Dib.Bits + std::ptrdiff_t(Sampled(SrcY, SrcHeight, y, destH)) * Dib.LineBytes;
        std::uint8_t* out = copy.Bits + std::ptrdiff_t(y) * copy.LineBytes;
        if (bits == 4) {
            for (int x = 0; x < destW; ++x) {
                const int sx = columns[x];
                const int nibble = (sx & 1) ? (in[sx >> 1] & 0x0F) : (in[sx >> 1] >> 4);
                out[x >> 1] |= std::uint8_t((x & 1) ? nibble : nibble << 4);
            }
        } else {
            for (int x = 0; x < destW; ++x)
                std::memcpy(out + pixelBytes * x, in + pixelBytes * columns[x],
                            std::size_t(pixelBytes));
        }
    }
}

// First fallback: scale a copy here and hand it to the device unscaled. True
// when the device took it.
bool DrawScaledCopy(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                    const TDibRecord& Dib, int SrcX, int SrcY, int SrcWidth, int SrcHeight)
{
    TDibRecord copy;
    NewDibLike(&copy, Dib, DestWidth, DestHeight);
    const std::unique_ptr<int[]> columns(new (std::nothrow) int[std::size_t(DestWidth)]);
    bool drawn = false;
    if (copy.Bits && columns) {
        for (int x = 0; x < DestWidth; ++x)
            columns[std::size_t(x)] = Sampled(SrcX, SrcWidth, x, DestWidth);
        SampleInto(copy, Dib, SrcY, SrcHeight, columns.get());
        drawn =
            Dc->SetDIBitsToDevice(DestX, DestY, DestWidth, DestHeight, 0, 0, 0,
                                  unsigned(DestHeight), copy.Bits, copy.Info, DIB_RGB_COLORS) != 0;
    }
    deldib(copy);
    return drawn;
}

// Second fallback: the whole picture into a device-dependent bitmap, which
// the device then stretches. Reports by message box what it cannot do.
void DrawThroughBitmap(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                       const TDibRecord& Dib, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                       std::uint32_t Rop)
{
    const int width = DibWidth(Dib), height = DibHeight(Dib);
    const HBITMAP bitmap = Dc->CreateCompatibleBitmap(width, height);
    const HDC memory = bitmap ? Dc->CreateCompatibleDC() : nullptr;
    if (!bitmap || !memory) {
        MessageBox(kNoBitmap, "", MB_OK);
    } else if (memory->SetDIBits(bitmap, 0, unsigned(height), Dib.Bits, Dib.Info, DIB_RGB_COLORS) ==
               0) {
        MessageBox(kNoSetDIBits, "", MB_OK);
    } else {
        const HBITMAP previous = memory->SelectObject(bitmap);
        // The bitmap's rows count from the top.
        if (Dc->StretchBlt(DestX, DestY, DestWidth, DestHeight, memory, SrcX,
                           height - SrcY - SrcHeight, SrcWidth, SrcHeight, Rop) == 0)
            MessageBox(kNoStretchBlt, "", MB_OK);
        memory->SelectObject(previous);
    }
    DeleteDC(memory);
    DeleteObject(bitmap);
}

} // namespace

void StretchDibOnDevice(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                        const TDibRecord& Dib, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                        std::uint32_t Rop)
{
    const bool canDibToDevice = (Dc->GetDeviceCaps(RASTERCAPS) & RC_DIBTODEV) != 0;
    // Only GDI_ERROR is a failure; a device that copied no lines has not failed.
    if (Dc->StretchDIBits(DestX, DestY, DestWidth, DestHeight, SrcX, SrcY, SrcWidth, SrcHeight,
                          Dib.Bits, Dib.Info, DIB_RGB_COLORS, Rop) != GDI_ERROR)
        return;
    if (canDibToDevice && DrawScaledCopy(Dc, DestX, DestY, DestWidth, DestHeight, Dib, SrcX, SrcY,
                                         SrcWidth, SrcHeight))
        return;
    DrawThroughBitmap(Dc, DestX, DestY, DestWidth, DestHeight, Dib, SrcX, SrcY, SrcWidth, SrcHeight,
                      Rop);
}
