// JPEG files: true-colour pictures as YCbCr JPEGs, palette pictures expanded
// through their colour table, or as greyscale JPEGs when the table holds only
// greys. A photo keeps the chroma subsampling it came with: a 4:4:4 source
// re-encoded 4:2:0 would lose half its colour resolution at every save.
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"
#include "imagora/Metadata.h"
#include "imagora/RowFeed.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<JpegErrors*>(cinfo->err);
    cinfo->err->format_message(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

// A destination that writes to the file through a fixed chunk.
struct JpegTarget {
    jpeg_destination_mgr manager;
    OutputFile* out;
    JOCTET chunk[16384];
};

JpegTarget* TargetOf(j_compress_ptr cinfo)
{
    return reinterpret_cast<JpegTarget*>(cinfo->dest);
}

void Flush(j_compress_ptr cinfo, std::size_t bytes)
{
    JpegTarget* t = TargetOf(cinfo);
    if (!t->out->Write(t->chunk, bytes))
        ERREXIT(cinfo, JERR_FILE_WRITE);
    t->manager.next_output_byte = t->chunk;
    t->manager.free_in_buffer = sizeof t->chunk;
}

void OnInit(j_compress_ptr cinfo)
{
    Flush(cinfo, 0);
}

boolean OnChunkFull(j_compress_ptr cinfo)
{
    Flush(cinfo, sizeof TargetOf(cinfo)->chunk);
    return TRUE;
}

void OnTerm(j_compress_ptr cinfo)
{
    Flush(cinfo, sizeof TargetOf(cinfo)->chunk - TargetOf(cinfo)->manager.free_in_buffer);
}

// Whether libjpeg can encode with these factors: 1 to 4 each, each dividing
// the largest, at most ten blocks in a coding unit.
bool Encodable(const std::array<SamplingFactors, 3>& factors)
{
    int widest = 0, tallest = 0, blocks = 0;
    for (const SamplingFactors& f : factors) {
        if (f.horizontal < 1 || f.horizontal > 4 || f.vertical < 1 || f.vertical > 4)
            return false;
        widest = std::max(widest, f.horizontal);
        tallest = std::max(tallest, f.vertical);
        blocks += f.horizontal * f.vertical;
    }
    for (const SamplingFactors& f : factors)
        if (widest % f.horizontal != 0 || tallest % f.vertical != 0)
            return false;
    return blocks <= C_MAX_BLOCKS_IN_MCU;
}

// Rows handed to libjpeg in one call: the tallest coding unit.
constexpr int kRowsPerCall = 16;

// How the picture's rows reach libjpeg. 24- and 32-bit rows and those of an
// 8-bit grey ramp go in as they lie in memory (libjpeg reads blue, green, red
// itself, with the same arithmetic as for red, green, blue); the other depths
// through a converted row.
struct JpegInput {
    bool grey;
    bool direct;
    J_COLOR_SPACE space;
    int components;
    std::uint8_t levels[256];
};

JpegInput InputFor(const TDibRecord& dib)
{
    JpegInput in{};
    const int bits = DibBitCount(dib);
    in.grey = DibGreyLevels(dib, in.levels);
    if (in.grey) {
        in.direct = bits == 8;
        for (int i = 0; i < 256 && in.direct; ++i)
            in.direct = in.levels[i] == i;
        in.space = JCS_GRAYSCALE;
        in.components = 1;
    } else {
        in.direct = bits == 24 || bits == 32;
        in.space = bits == 24 ? JCS_EXT_BGR : bits == 32 ? JCS_EXT_BGRX : JCS_RGB;
        in.components = bits == 32 ? 4 : 3;
    }
    return in;
}

// Kept apart from EncodeJpeg so that the long jump out of libjpeg crosses no
// C++ object with a destructor. buffer is room for kRowsPerCall converted rows
// of 3 x width bytes, unused when the rows go in directly. Rows still
// arriving through a feed are waited for; false with *starved when they never
// come.
bool WriteJpeg(jpeg_compress_struct& cinfo, JpegErrors& errors, JpegTarget& target,
               const TDibRecord& dib, const JpegInput& in, int quality, std::uint8_t* buffer,
               const std::vector<std::uint8_t>& exif, const EncodeOptions& options, bool* starved)
{
    const PictureMetadata* meta = options.metadata;
    if (setjmp(errors.jump))
        return false;
    jpeg_create_compress(&cinfo);
    cinfo.dest = &target.manager;

    cinfo.image_width = JDIMENSION(DibWidth(dib));
    cinfo.image_height = JDIMENSION(DibHeight(dib));
    cinfo.input_components = in.components;
    cinfo.in_color_space = in.space;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (!in.grey && meta && Encodable(meta->jpegSampling)) {
        for (std::size_t i = 0; i < 3; ++i) {
            cinfo.comp_info[i].h_samp_factor = meta->jpegSampling[i].horizontal;
            cinfo.comp_info[i].v_samp_factor = meta->jpegSampling[i].vertical;
        }
    }
    jpeg_start_compress(&cinfo, TRUE);
    if (!exif.empty())
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, exif.data(), unsigned(exif.size()));
    if (meta && !meta->icc.empty())
        jpeg_write_icc_profile(&cinfo, meta->icc.data(), unsigned(meta->icc.size()));
    const std::size_t stride = std::size_t(DibWidth(dib)) * 3;
    JSAMPROW rows[kRowsPerCall];
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = int(cinfo.next_scanline);
        const int count = std::min(kRowsPerCall, int(cinfo.image_height) - y);
        if (options.rows && !options.rows->WaitFor(y + count)) {
            *starved = true;
            return false;
        }
        for (int i = 0; i < count; ++i) {
            if (in.direct) {
                rows[i] = DibRowFromTop(dib, y + i);
                continue;
            }
            rows[i] = buffer + std::size_t(i) * stride;
            if (in.grey)
                DibRowToGrey(dib, y + i, in.levels, rows[i]);
            else
                DibRowToRgb(dib, y + i, rows[i]);
        }
        jpeg_write_scanlines(&cinfo, rows, JDIMENSION(count));
    }
    jpeg_finish_compress(&cinfo);
    return true;
}

} // namespace

bool EncodeJpeg(const TDibRecord& dib, const EncodeOptions& options, OutputFile& out,
                std::string& reason)
{
    if (DibWidth(dib) > JPEG_MAX_DIMENSION || DibHeight(dib) > JPEG_MAX_DIMENSION) {
        reason = "JPEG-Bilder sind höchstens " + std::to_string(JPEG_MAX_DIMENSION) +
                 " Pixel breit und hoch.";
        return false;
    }
    const JpegInput in = InputFor(dib);
    std::vector<std::uint8_t> buffer(in.direct ? 0 : std::size_t(DibWidth(dib)) * 3 * kRowsPerCall);
    jpeg_compress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = OnJpegError;
    errors.manager.output_message = OnJpegMessage;
    auto target = std::make_unique<JpegTarget>();
    target->manager.init_destination = OnInit;
    target->manager.empty_output_buffer = OnChunkFull;
    target->manager.term_destination = OnTerm;
    target->out = &out;

    const int quality = std::clamp(options.jpegQuality, 1, 100);
    const PictureMetadata* meta = options.metadata;
    const std::vector<std::uint8_t> exif =
        meta ? ExifForSavedPicture(meta->exif, DibWidth(dib), DibHeight(dib))
             : std::vector<std::uint8_t>();
    bool starved = false;
    const bool ok =
        WriteJpeg(cinfo, errors, *target, dib, in, quality, buffer.data(), exif, options, &starved);
    jpeg_destroy_compress(&cinfo);
    if (starved)
        reason = kRowsNeverCame;
    else if (!ok)
        reason = std::string("Fehler beim Kodieren als JPEG (") + errors.message + ").";
    return ok;
}
