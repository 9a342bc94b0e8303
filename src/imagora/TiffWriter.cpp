// TIFF files, LZW-compressed: palette pictures as palette TIFFs of their own
// depth, everything else as 8-bit RGB. A photo's EXIF block is itself TIFF
// structured; it becomes the start of the file, in the block's byte order,
// so that every offset in it (the EXIF and GPS directories, a maker note's
// own) holds unchanged. libtiff then appends the pixels and the picture's
// directory and points the header there; the block's first directory stays
// behind unused, its descriptive tags copied into the picture's.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"
#include "imagora/Metadata.h"
#include "imagora/TiffDirectory.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// libtiff writes through these callbacks into the file; it seeks back to
// patch offsets.
struct TiffTarget {
    OutputFile* out;
    std::string message;
};

OutputFile& FileOf(thandle_t h)
{
    return *static_cast<TiffTarget*>(h)->out;
}

tmsize_t OnRead(thandle_t h, void* buffer, tmsize_t size)
{
    OutputFile& f = FileOf(h);
    const std::size_t n = f.ReadAt(f.Position(), buffer, std::size_t(size));
    f.Seek(f.Position() + n);
    return tmsize_t(n);
}

tmsize_t OnWrite(thandle_t h, void* buffer, tmsize_t size)
{
    return FileOf(h).Write(buffer, std::size_t(size)) ? size : -1;
}

toff_t OnSeek(thandle_t h, toff_t offset, int whence)
{
    OutputFile& f = FileOf(h);
    const std::uint64_t base = whence == SEEK_CUR   ? f.Position()
                               : whence == SEEK_END ? f.Size()
                                                    : 0;
    return f.Seek(base + offset) ? f.Position() : toff_t(-1);
}

int OnClose(thandle_t)
{
    return 0;
}
toff_t OnSize(thandle_t h)
{
    return FileOf(h).Size();
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
    auto* f = static_cast<TiffTarget*>(user);
    if (f->message.empty())
        f->message = text;
    return 1;
}

int OnWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

constexpr std::uint32_t kHeaderBytes = 8;
constexpr std::size_t kExifLeadBytes = 6; // "Exif\0\0" before the TIFF structure

struct CameraStart {
    std::vector<std::uint8_t> bytes; // header and all, as the file's first bytes
    bool bigEndian = false;
    std::uint64_t exifOffset = 0, gpsOffset = 0;
};

// The saved picture's EXIF block as the start of the file; none when it has
// neither an EXIF nor a GPS directory.
CameraStart CameraDirectories(const PictureMetadata* meta, int width, int height)
{
    CameraStart start;
    if (!meta)
        return start;
    const std::vector<std::uint8_t> block = ExifForSavedPicture(meta->exif, width, height);
    if (block.size() <= kExifLeadBytes)
        return start;
    const TiffBytes tiff(block.data() + kExifLeadBytes, block.size() - kExifLeadBytes);
    for (const TiffEntry& e : tiff.Directory(tiff.FirstDirectory())) {
        if (e.tag == TIFFTAG_EXIFIFD)
            start.exifOffset = tiff.Number(e);
        else if (e.tag == TIFFTAG_GPSIFD)
            start.gpsOffset = tiff.Number(e);
    }
    if (start.exifOffset || start.gpsOffset) {
        start.bytes.assign(block.begin() + kExifLeadBytes, block.end());
        start.bigEndian = tiff.BigEndian();
    }
    return start;
}

// The profile, the descriptive tags and the pointers to the camera's
// directories; the orientation is always top-left.
bool WriteMetadata(TIFF* tif, const PictureMetadata& meta, const CameraStart& camera)
{
    bool ok = meta.icc.empty() || TIFFSetField(tif, TIFFTAG_ICCPROFILE,
                                               std::uint32_t(meta.icc.size()), meta.icc.data());
    for (const ExifText& t : ExifTextTags(meta.exif))
        ok = ok && TIFFSetField(tif, ttag_t(t.tag), t.text.c_str());
    if (camera.exifOffset)
        ok = ok && TIFFSetField(tif, TIFFTAG_EXIFIFD, camera.exifOffset);
    if (camera.gpsOffset)
        ok = ok && TIFFSetField(tif, TIFFTAG_GPSIFD, camera.gpsOffset);
    return ok;
}

bool WriteFields(TIFF* tif, const TDibRecord& dib, const PictureMetadata* meta,
                 const CameraStart& camera)
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
    return ok && (!meta || WriteMetadata(tif, *meta, camera));
}

bool WriteRows(TIFF* tif, const TDibRecord& dib, std::vector<std::uint8_t>& row)
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

bool EncodeTiff(const TDibRecord& dib, const EncodeOptions& encode, OutputFile& out,
                std::string& reason)
{
    std::vector<std::uint8_t> row(std::size_t(DibWidth(dib)) * 3);
    const PictureMetadata* meta = encode.metadata;
    const CameraStart camera = CameraDirectories(meta, DibWidth(dib), DibHeight(dib));
    TiffTarget file{&out, {}};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, OnError, &file);
    TIFFOpenOptionsSetWarningHandlerExtR(options, OnWarning, nullptr);
    TIFF* tif = TIFFClientOpenExt("picture", camera.bigEndian ? "wb" : "wl", &file, OnRead, OnWrite,
                                  OnSeek, OnClose, OnSize, OnMap, OnUnmap, options);
    TIFFOpenOptionsFree(options);
    // Over the header libtiff has just written, which is the block's but for
    // the first directory's offset; libtiff writes its own there at the end.
    const bool placed =
        camera.bytes.empty() || (out.Size() == kHeaderBytes && out.Seek(0) &&
                                 out.Write(camera.bytes.data(), camera.bytes.size()));
    const bool ok =
        tif && placed && WriteFields(tif, dib, meta, camera) && WriteRows(tif, dib, row);
    if (tif)
        TIFFClose(tif);
    if (!ok)
        reason = "Fehler beim Kodieren als TIFF (" + file.message + ").";
    return ok;
}
