#include "display/StretchDrawDib.h"

#include "display/DeviceStretch.h"
#include "display/StretchRows.h"
#include "imagora/Imagora.h"

#include <cmath>

namespace {

// Nearest integer, halves to the even neighbour.
int Round(double q)
{
    return int(std::nearbyint(q));
}

struct Placement {
    int DestX, DestY, DestWidth, DestHeight;
    int SrcX, SrcY, SrcWidth, SrcHeight;
};

// Cuts the source rectangle to the picture edge by edge (right, bottom, top,
// left), shrinking the destination by the share cut off. False when nothing
// of the picture or of the destination is left.
bool ClipToPicture(Placement& p, int width, int height)
{
    if (p.SrcX + p.SrcWidth > width) {
        const int e = width - p.SrcX;
        if (e <= 0)
            return false;
        p.DestWidth = Round(double(p.DestWidth) * e / p.SrcWidth);
        p.SrcWidth = e;
    }
    if (p.SrcY < 0) {
        const int e = p.SrcHeight + p.SrcY;
        if (e <= 0)
            return false;
        p.DestHeight = Round(double(p.DestHeight) * e / p.SrcHeight);
        p.SrcHeight = e;
        p.SrcY = 0;
    }
    if (p.SrcY + p.SrcHeight > height) {
        const int e = height - p.SrcY;
        if (e <= 0)
            return false;
        const int h = Round(double(p.DestHeight) * e / p.SrcHeight);
        p.DestY += p.DestHeight - h;
        p.DestHeight = h;
        p.SrcHeight = e;
    }
    if (p.SrcX < 0) {
        const int e = p.SrcX + p.SrcWidth;
        if (e <= 0)
            return false;
        const int w = Round(double(p.DestWidth) * e / p.SrcWidth);
        p.DestX += p.DestWidth - w;
        p.DestWidth = w;
        p.SrcWidth = e;
        p.SrcX = 0;
    }
    return p.DestWidth > 0 && p.DestHeight > 0;
}

// Selects and realises a palette as the foreground palette, and puts back
// the palette the device held before when the drawing ends.
class PaletteSelection {
public:
    PaletteSelection(HDC dc, HPALETTE palette) : dc_(dc), palette_(palette) {}
    PaletteSelection(const PaletteSelection&) = delete;
    PaletteSelection& operator=(const PaletteSelection&) = delete;
    ~PaletteSelection()
    {
        if (selected_)
            dc_->SelectPalette(previous_, false);
    }

    void Select()
    {
        const HPALETTE replaced = dc_->SelectPalette(palette_, false);
        if (!selected_) {
            previous_ = replaced;
            selected_ = true;
        }
        dc_->RealizePalette();
    }

private:
    HDC dc_;
    HPALETTE palette_;
    HPALETTE previous_ = nullptr;
    bool selected_ = false;
};

// A 24-bit picture on a palette screen: drawn from a halftoned 8-bit copy,
// made at the destination's scale when the draw shrinks.
void DrawHalftoned(HDC Dc, const Placement& p, const TDibRecord& Dib, std::uint32_t Rop,
                   PaletteSelection& palette)
{
    const int width = DibWidth(Dib), height = DibHeight(Dib);
    const bool shrinking = p.SrcWidth > p.DestWidth || p.SrcHeight > p.DestHeight;
    TDibRecord copy;
    if (shrinking)
        DIBHalftoneDIBXY(&copy, Dib, Round(double(width) * p.DestWidth / p.SrcWidth),
                         Round(double(height) * p.DestHeight / p.SrcHeight));
    else
        DIBHalftoneDIB(&copy, Dib);
    if (!copy.Bits)
        return;
    palette.Select();
    if (shrinking)
        Dc->StretchDIBits(p.DestX, p.DestY, p.DestWidth, p.DestHeight,
                          Round(double(p.SrcX) * DibWidth(copy) / width),
                          Round(double(p.SrcY) * DibHeight(copy) / height), p.DestWidth,
                          p.DestHeight, copy.Bits, copy.Info, DIB_RGB_COLORS, Rop);
    else
        Dc->StretchDIBits(p.DestX, p.DestY, p.DestWidth, p.DestHeight, p.SrcX, p.SrcY, p.SrcWidth,
                          p.SrcHeight, copy.Bits, copy.Info, DIB_RGB_COLORS, Rop);
    deldib(copy);
}

} // namespace

void StretchDrawDib(HDC Dc, int DestX, int DestY, int DestWidth, int DestHeight,
                    const TDibRecord& Dib, int SrcX, int SrcY, int SrcWidth, int SrcHeight,
                    bool Halftone, std::uint32_t Rop, bool UseOwnPalette, HPALETTE CallerPalette)
{
    if (!Dc || !Dib.Bits || DestWidth <= 0 || DestHeight <= 0 || SrcWidth <= 0 || SrcHeight <= 0)
        return;
    const bool printer = Dc->GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER;
    Dc->SetStretchBltMode(COLORONCOLOR);

    const int height = DibHeight(Dib), bits = DibBitCount(Dib);
    Placement p{DestX, DestY, DestWidth, DestHeight, SrcX, SrcY, SrcWidth, SrcHeight};
    if (!ClipToPicture(p, DibWidth(Dib), height))
        return;

    PaletteSelection palette(Dc, UseOwnPalette ? Dib.PaletteHandle : CallerPalette);
    if (Dib.HasPalette == 1)
        palette.Select();

    const int srcTop = height - p.SrcY - p.SrcHeight;
    if (bits == 24 && ScreenBitsPerPixel() <= 8 && Halftone)
        DrawHalftoned(Dc, p, Dib, Rop, palette);
    else if (bits == 24 && !printer)
        StretchRows24(Dc, p.DestX, p.DestY, p.DestWidth, p.DestHeight, Dib, p.SrcX, srcTop,
                      p.SrcWidth, p.SrcHeight);
    else if (bits == 8 && !printer)
        StretchRows8(Dc, p.DestX, p.DestY, p.DestWidth, p.DestHeight, Dib, p.SrcX, srcTop,
                     p.SrcWidth, p.SrcHeight);
    else
        StretchDibOnDevice(Dc, p.DestX, p.DestY, p.DestWidth, p.DestHeight, Dib, p.SrcX, p.SrcY,
                           p.SrcWidth, p.SrcHeight, Rop);
}
