// TIFF through libtiff, first page only. Simple palette and grey files (one
// sample of at most 8 bits, or 16-bit grey, in strips) keep their palette or
// become grey pictures; everything else goes through libtiff's RGBA reader
// and becomes 24 bits, or grey when the file is grey. The orientation tag is
// applied.
#include "imagora/Decoders.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Imagora.h"
#include "imagora/Orientation.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct TiffSource {
    const std::uint8_t* data;
    std::uint64_t size;
    std::uint64_t pos;
    bool failed; // libtiff reported an error or a truncated directory
};

TiffSource& SourceOf(thandle_t h)
{
    return *static_cast<TiffSource*>(h);
}

tmsize_t ReadProc(thandle_t h, void* out, tmsize_t count)
{
    TiffSource& s = SourceOf(h);
    if (count <= 0 || s.pos >= s.size)
        return 0;
    const std::uint64_t n = std::min<std::uint64_t>(std::uint64_t(count), s.size - s.pos);
    std::memcpy(out, s.data + s.pos, std::size_t(n));
    s.pos += n;
    return tmsize_t(n);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t)
{
    return 0;
}

toff_t SeekProc(thandle_t h, toff_t offset, int whence)
{
    TiffSource& s = SourceOf(h);
    const std::uint64_t base = whence == SEEK_CUR ? s.pos : whence == SEEK_END ? s.size : 0;
    if (offset > UINT64_MAX - base)
        return toff_t(-1);
    s.pos = base + offset;
    return s.pos;
}

int CloseProc(thandle_t)
{
    return 0;
}
toff_t SizeProc(thandle_t h)
{
    return SourceOf(h).size;
}

// The file is in memory already: let libtiff read strips in place.
int MapProc(thandle_t h, void** base, toff_t* size)
{
    *base = const_cast<std::uint8_t*>(SourceOf(h).data);
    *size = SourceOf(h).size;
    return 1;
}

void UnmapProc(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char*, va_list)
{
    static_cast<TiffSource*>(user)->failed = true;
    return 1;
}

// Warnings are silent, but libtiff's "IO error during reading of <tag>; tag
// ignored" means the file ends inside its directory: the picture read on
// without the tag (a palette file without its colour map reads as grey) would
// not be the file's picture.
int OnWarning(TIFF*, void* user, const char*, const char* format, va_list)
{
    if (format && std::strstr(format, "IO error"))
        static_cast<TiffSource*>(user)->failed = true;
    return 1;
}

struct TiffCloser {
    TIFF* tif;
    ~TiffCloser()
    {
        if (tif)
            TIFFClose(tif);
    }
};

struct Layout {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 1, samples = 1, format = SAMPLEFORMAT_UINT, photometric = 0;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
};

bool IsGrey(const Layout& l)
{
    return l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE;
}

// A scanline of `bits`-bit samples (most significant bits first) through a
// table of what each sample value becomes, one byte a pixel.
template <int kBits>
void UnpackRow(const std::uint8_t* line, int width, const std::uint8_t* level, std::uint8_t* out)
{
    constexpr unsigned kMask = (1u << kBits) - 1;
    for (int x = 0; x < width; ++x) {
        const std::size_t bit = std::size_t(x) * kBits; // past 2^31 in wide rows
        out[x] = level[(line[bit >> 3] >> (8 - kBits - (bit & 7))) & kMask];
    }
}

void UnpackRow(const std::uint8_t* line, int width, int bits, const std::uint8_t* level,
               std::uint8_t* out)
{
    switch (bits) {
    case 2:
        UnpackRow<2>(line, width, level, out);
        break;
    case 4:
        UnpackRow<4>(line, width, level, out);
        break;
    case 8:
        UnpackRow<8>(line, width, level, out);
        break;
    default: // 16: libtiff hands the samples in our byte order
        for (int x = 0; x < width; ++x) {
            std::uint16_t v;
            std::memcpy(&v, line + 2 * std::size_t(x), 2);
            out[x] = level[v];
        }
        break;
    }
}

// The colour map as 8-bit colours. Some writers store 8-bit values in the
// 16-bit entries; libtiff's own reader treats a map without any value above
// 255 that way, and so do we.
bool PaletteTable(TIFF* tif, int count, RGBQUAD* table)
{
    std::uint16_t *red = nullptr, *green = nullptr, *blue = nullptr;
    if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
        return false;
    bool wide = false;
    for (int i = 0; i < count; ++i)
        wide = wide || red[i] > 255 || green[i] > 255 || blue[i] > 255;
    const auto eight = [wide](std::uint16_t v) {
        return std::uint8_t(wide ? (unsigned(v) + 128) / 257 : v);
    };
    for (int i = 0; i < count; ++i)
        table[i] = RGBQUAD{eight(blue[i]), eight(green[i]), eight(red[i]), 0};
    return true;
}

bool IsSimple(TIFF* tif, const Layout& l)
{
    if (TIFFIsTiled(tif) || l.samples != 1 || l.format != SAMPLEFORMAT_UINT)
        return false;
    if (l.photometric == PHOTOMETRIC_PALETTE)
        return l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8;
    return IsGrey(l) && (l.bits == 1 || l.bits == 2 || l.bits == 4 || l.bits == 8 || l.bits == 16);
}

// Palette and grey files read line by line into a palette or grey picture.
bool ReadSimple(TIFF* tif, const Layout& l, DecodeBudget& budget, TDibRecord* out)
{
    const int width = int(l.width);
    const int height = int(l.height);
    const bool whiteIsZero = l.photometric == PHOTOMETRIC_MINISWHITE;
    bool made = false;
    if (l.photometric == PHOTOMETRIC_PALETTE) {
        RGBQUAD table[256];
        made = PaletteTable(tif, 1 << l.bits, table) &&
               NewPaletteDib(out, width, height, table, 1 << l.bits);
    } else if (l.bits == 1) {
        const RGBQUAD black{0, 0, 0, 0}, white{255, 255, 255, 0};
        const RGBQUAD table[2] = {whiteIsZero ? white : black, whiteIsZero ? black : white};
        made = NewPaletteDib(out, width, height, table, 2);
    } else {
        made = NewGreyDib(out, width, height);
    }
    if (!made || !budget.TakePicture(*out))
        return false;

    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    if (lineBytes <= 0 || std::uint64_t(lineBytes) * 8 < std::uint64_t(width) * l.bits)
        return false;
    // Rows whose samples are the picture's indices, packed alike, are read
    // straight into it: no copy, and no buffer that a wide 1-bit file could
    // make eight times the picture's size.
    const bool asStored = (l.photometric == PHOTOMETRIC_PALETTE && l.bits != 2) || l.bits == 1 ||
                          (l.photometric == PHOTOMETRIC_MINISBLACK && l.bits == 8);
    if (asStored && lineBytes <= out->LineBytes) {
        const unsigned spareBits = unsigned(8 * lineBytes - std::int64_t(width) * l.bits);
        for (int y = 0; y < height; ++y) {
            std::uint8_t* row = DibRowFromTop(*out, y);
            if (TIFFReadScanline(tif, row, std::uint32_t(y), 0) < 0)
                return false;
            row[lineBytes - 1] &= std::uint8_t(0xFF << spareBits); // bits past the last pixel
        }
        return true;
    }
    // Grey samples become the grey picture's bytes in place; only 2-bit
    // palette indices need a row of their own to be packed from.
    const bool palette = l.photometric == PHOTOMETRIC_PALETTE;
    if (!budget.Take(std::uint64_t(lineBytes) + (palette ? std::uint64_t(width) : 0)))
        return false;
    // Not cleared: libtiff fills each line, and a 2 GB row costs nothing
    // until it does.
    const std::unique_ptr<std::uint8_t[]> line(new std::uint8_t[std::size_t(lineBytes)]);
    std::vector<std::uint8_t> indices(palette ? static_cast<std::size_t>(width) : 0);
    // Palette indices stay; grey samples are stretched to 0..255 (rounded)
    // and white-is-zero flipped.
    const unsigned top = (1u << l.bits) - 1;
    std::vector<std::uint8_t> level(top + 1);
    for (unsigned v = 0; v <= top; ++v) {
        const unsigned grey = palette ? v : (v * 255 + top / 2) / top;
        level[v] = std::uint8_t(palette || !whiteIsZero ? grey : 255 - grey);
    }
    for (int y = 0; y < height; ++y) {
        if (TIFFReadScanline(tif, line.get(), std::uint32_t(y), 0) < 0)
            return false;
        UnpackRow(line.get(), width, l.bits, level.data(),
                  palette ? indices.data() : DibRowFromTop(*out, y));
        if (palette)
            StoreIndexRow(*out, y, indices.data(), 256);
    }
    return true;
}

struct RgbaImage {
    TIFFRGBAImage img{};
    bool begun = false;
    ~RgbaImage()
    {
        if (begun)
            TIFFRGBAImageEnd(&img);
    }
};

// Everything else through libtiff's RGBA reader, a strip or tile row at a time.
bool ReadRgba(TIFF* tif, const Layout& l, DecodeBudget& budget, TDibRecord* out)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        return false;
    const int width = int(l.width);
    const int height = int(l.height);
    const bool grey = IsGrey(l);
    const bool made = grey ? NewGreyDib(out, width, height) : NewTrueColourDib(out, width, height);
    if (!made || !budget.TakePicture(*out))
        return false;

    std::uint32_t band = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &band);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &band);
    band = std::clamp<std::uint32_t>(band, 1, l.height);
    // Our band of RGBA rows, and the strip or tile libtiff decodes into.
    const std::uint64_t libtiffBuffer =
        TIFFIsTiled(tif) ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
    if (!budget.Take(std::uint64_t(l.width) * band * 4) || !budget.Take(libtiffBuffer))
        return false;

    RgbaImage rgba;
    if (!TIFFRGBAImageBegin(&rgba.img, tif, 1, message))
        return false;
    rgba.begun = true;
    // Rows as stored, top first; the orientation is applied afterwards for
    // all eight cases alike.
    rgba.img.orientation = ORIENTATION_TOPLEFT;
    rgba.img.req_orientation = ORIENTATION_TOPLEFT;

    // The raster's colours come premultiplied by their alpha (over white
    // adds 255 - a), except grey with unassociated alpha, which libtiff
    // passes on as stored.
    const bool straight = grey && rgba.img.alpha == EXTRASAMPLE_UNASSALPHA;
    const auto over = [straight](unsigned c, unsigned a) {
        return straight ? OverWhite(c, a) : std::uint8_t(std::min(c + 255 - a, 255u));
    };
    const std::unique_ptr<std::uint32_t[]> raster(new std::uint32_t[std::size_t(l.width) * band]);
    for (std::uint32_t top = 0; top < l.height; top += band) {
        const std::uint32_t rows = std::min(band, l.height - top);
        rgba.img.row_offset = int(top);
        rgba.img.col_offset = 0;
        if (!TIFFRGBAImageGet(&rgba.img, raster.get(), l.width, rows))
            return false;
        for (std::uint32_t r = 0; r < rows; ++r) {
            const std::uint32_t* p = raster.get() + std::size_t(r) * l.width;
            std::uint8_t* d = DibRowFromTop(*out, int(top + r));
            for (int x = 0; x < width; ++x, ++p) {
                const unsigned a = TIFFGetA(*p);
                if (grey) {
                    *d++ = over(TIFFGetR(*p), a);
                } else {
                    *d++ = over(TIFFGetB(*p), a);
                    *d++ = over(TIFFGetG(*p), a);
                    *d++ = over(TIFFGetR(*p), a);
                }
            }
        }
    }
    return true;
}

bool ReadTiff(TIFF* tif, const TiffSource& source, TDibRecord* out)
{
    Layout l;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height) || l.width == 0 || l.height == 0 ||
        l.width > 0x7FFFFFFF || l.height > 0x7FFFFFFF)
        return false;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &l.orientation);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    DecodeBudget budget;
    const bool ok =
        IsSimple(tif, l) ? ReadSimple(tif, l, budget, out) : ReadRgba(tif, l, budget, out);
    if (!ok || source.failed)
        return false;
    ApplyOrientation(out, l.orientation);
    return true;
}

} // namespace

bool DecodeTiff(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    *out = TDibRecord{};
    if (size < 8 || !(std::memcmp(data, "II", 2) == 0 || std::memcmp(data, "MM", 2) == 0))
        return false;
    TiffSource source{data, size, 0, false};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return false;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(DibAllocationLimit()));
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, &source);
    // "c": no strip chopping, whose tables follow what a strip claims, not
    // what the file holds.
    TiffCloser closer{TIFFClientOpenExt("memory", "rc", &source, ReadProc, WriteProc, SeekProc,
                                        CloseProc, SizeProc, MapProc, UnmapProc, options)};
    TIFFOpenOptionsFree(options);
    if (!closer.tif || !ReadTiff(closer.tif, source, out)) {
        deldib(*out);
        *out = TDibRecord{};
        return false;
    }
    return true;
}
