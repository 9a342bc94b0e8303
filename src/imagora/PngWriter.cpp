// PNG files: palette pictures as palette PNGs of their own depth (1, 4 or 8
// bits), everything else as 8-bit RGB. The photo's EXIF block goes into an
// eXIf chunk ahead of the pixels, where readers look for it, and its colour
// profile into iCCP.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"
#include "imagora/Metadata.h"

#include <png.h>

#include <csetjmp>
#include <vector>

namespace {

struct PngTarget {
    OutputFile* out;
    std::string message;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    static_cast<PngTarget*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* target = static_cast<PngTarget*>(png_get_io_ptr(png));
    if (!target->out->Write(data, length))
        png_error(png, "write failed");
}

void OnPngFlush(png_structp) {}

// eXIf holds the block without JPEG's lead.
constexpr std::size_t kExifLeadBytes = 6;

// Kept apart from EncodePng so that the long jump out of libpng crosses no
// C++ object with a destructor. rgb is room for one row of 3 x width bytes.
bool WritePng(png_structp png, png_infop info, const TDibRecord& dib, std::uint8_t* rgb,
              std::vector<std::uint8_t>& exif, const std::vector<std::uint8_t>* icc)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    const int width = DibWidth(dib);
    const int height = DibHeight(dib);
    const int bits = DibBitCount(dib);
    const bool palette = bits <= 8;
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), palette ? bits : 8,
                 palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (palette) {
        png_color colours[256];
        for (int i = 0; i < (1 << bits); ++i) {
            const RGBQUAD& q = dib.Info->bmiColors[i];
            colours[i] = png_color{q.rgbRed, q.rgbGreen, q.rgbBlue};
        }
        png_set_PLTE(png, info, colours, 1 << bits);
    }
    if (exif.size() > kExifLeadBytes)
        png_set_eXIf_1(png, info, png_uint_32(exif.size() - kExifLeadBytes),
                       exif.data() + kExifLeadBytes);
    // libpng checks the profile against the picture and leaves out, with a
    // warning, one that does not fit (a CMYK profile, a grey one on colour).
    if (icc && !icc->empty())
        png_set_iCCP(png, info, "ICC Profile", PNG_COMPRESSION_TYPE_BASE, icc->data(),
                     png_uint_32(icc->size()));
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) {
        if (palette) {
            // Indices are packed most significant first, as in the picture.
            png_write_row(png, DibRowFromTop(dib, y));
        } else {
            DibRowToRgb(dib, y, rgb);
            png_write_row(png, rgb);
        }
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool EncodePng(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
               std::string& reason)
{
    std::vector<std::uint8_t> rgb(std::size_t(DibWidth(dib)) * 3);
    const PictureMetadata* meta = options.metadata;
    std::vector<std::uint8_t> exif =
        meta ? ExifForSavedPicture(meta->exif, DibWidth(dib), DibHeight(dib))
             : std::vector<std::uint8_t>();
    PngTarget target{&out, {}};
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, &target, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info) {
        png_set_write_fn(png, &target, OnPngWrite, OnPngFlush);
        png_set_benign_errors(png, 1); // a profile libpng refuses is left out, not fatal
        ok = WritePng(png, info, dib, rgb.data(), exif, meta ? &meta->icc : nullptr);
    }
    png_destroy_write_struct(&png, &info);
    if (!ok)
        reason = "Fehler beim Kodieren als PNG (" +
                 (target.message.empty() ? std::string("kein Speicher") : target.message) + ").";
    return ok;
}
