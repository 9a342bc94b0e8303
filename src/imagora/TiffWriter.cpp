// TIFF files, LZW-compressed: palette pictures as palette TIFFs of their own
// depth, everything else as 8-bit RGB.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"
#include "imagora/Metadata.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// libtiff writes through these callbacks into memory; it seeks back to patch
// offsets, so the buffer acts as a file.
struct MemoryFile {
    ByteBuffer* out;
    std::size_t start; // where the TIFF begins in out
    std::uint64_t pos = 0;
    std::string message;
};

MemoryFile& FileOf(thandle_t h)
{
    return *static_cast<MemoryFile*>(h);
}

tmsize_t OnRead(thandle_t h, void* buffer, tmsize_t size)
{
    MemoryFile& f = FileOf(h);
    const std::uint64_t length = f.out->size() - f.start;
    const std::uint64_t n =
        f.pos < length ? std::min<std::uint64_t>(std::uint64_t(size), length - f.pos) : 0;
    std::memcpy(buffer, f.out->data() + f.start + f.pos, std::size_t(n));
    f.pos += n;
    return tmsize_t(n);
}

tmsize_t OnWrite(thandle_t h, void* buffer, tmsize_t size)
{
    MemoryFile& f = FileOf(h);
    try {
        const std::size_t end = f.start + std::size_t(f.pos + std::uint64_t(size));
        if (end > f.out->size())
            f.out->resize(end);
    } catch (const std::bad_alloc&) {
        f.message = "kein Speicher";
        return -1;
    }
    std::memcpy(f.out->data() + f.start + f.pos, buffer, std::size_t(size));
    f.pos += std::uint64_t(size);
    return size;
}

toff_t OnSeek(thandle_t h, toff_t offset, int whence)
{
    MemoryFile& f = FileOf(h);
    const std::uint64_t base = whence == SEEK_CUR   ? f.pos
                               : whence == SEEK_END ? f.out->size() - f.start
                                                    : 0;
    f.pos = base + offset;
    return f.pos;
}

int OnClose(thandle_t)
{
    return 0;
}
toff_t OnSize(thandle_t h)
{
    return FileOf(h).out->size() - FileOf(h).start;
}
int OnMap(thandle_t, void**, toff_t*)
{
    return 0;
}
void OnUnmap(thandle_t, void*, toff_t) {}

int OnError(TIFF*, void* user, const char*, const char* format, va_list args)
{
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    auto* f = static_cast<MemoryFile*>(user);
    if (f->message.empty())
        f->message = text;
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

// The profile and the descriptive tags; the orientation is always top-left.
bool WriteMetadata(TIFF* tif, const PictureMetadata& meta)
{
    bool ok = meta.icc.empty() || TIFFSetField(tif, TIFFTAG_ICCPROFILE,
                                               std::uint32_t(meta.icc.size()), meta.icc.data());
    for (const ExifText& t : ExifTextTags(meta.exif))
        ok = ok && TIFFSetField(tif, ttag_t(t.tag), t.text.c_str());
    return ok;
}

bool WriteFields(TIFF* tif, const TDibRecord& dib, const PictureMetadata* meta)
{
    const int bits = DibBitCount(dib);
    const bool palette = bits <= 8;
    bool ok =
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, std::uint32_t(DibWidth(dib))) &&
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, std::uint32_t(DibHeight(dib))) &&
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, palette ? bits : 8) &&
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, palette ? 1 : 3) &&
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, palette ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_RGB) &&
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
        TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT) &&
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW) &&
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    if (ok && palette) {
        // The colour map is 16 bits per channel.
        std::uint16_t red[256], green[256], blue[256];
        for (int i = 0; i < (1 << bits); ++i) {
            const RGBQUAD& q = dib.Info->bmiColors[i];
            red[i] = std::uint16_t(q.rgbRed * 257);
            green[i] = std::uint16_t(q.rgbGreen * 257);
            blue[i] = std::uint16_t(q.rgbBlue * 257);
        }
        ok = TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
    }
    return ok && (!meta || WriteMetadata(tif, *meta));
}

bool WriteRows(TIFF* tif, const TDibRecord& dib, ByteBuffer& row)
{
    const bool palette = DibBitCount(dib) <= 8;
    const std::size_t paletteBytes = (std::size_t(DibWidth(dib)) * DibBitCount(dib) + 7) / 8;
    for (int y = 0; y < DibHeight(dib); ++y) {
        // A copy: codecs may change the row they are given.
        if (palette)
            std::memcpy(row.data(), DibRowFromTop(dib, y), paletteBytes);
        else
            DibRowToRgb(dib, y, row.data());
        if (TIFFWriteScanline(tif, row.data(), std::uint32_t(y), 0) < 0)
            return false;
    }
    return TIFFFlush(tif) == 1;
}

} // namespace

bool EncodeTiff(const TDibRecord& dib, const EncodeOptions& encode, ByteBuffer& out,
                std::string& reason)
{
    ByteBuffer row(std::size_t(DibWidth(dib)) * 3);
    MemoryFile file{&out, out.size(), 0, {}};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, nullptr);
    TIFF* tif = TIFFClientOpenExt("picture", "w", &file, OnRead, OnWrite, OnSeek, OnClose, OnSize,
                                  OnMap, OnUnmap, options);
    TIFFOpenOptionsFree(options);
    const bool ok = tif && WriteFields(tif, dib, encode.metadata) && WriteRows(tif, dib, row);
    if (tif)
        TIFFClose(tif);
    if (!ok)
        reason = "Fehler beim Kodieren als TIFF (" + file.message + ").";
    return ok;
}
