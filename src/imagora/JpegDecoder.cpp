// JPEG through libjpeg-turbo: grey files become grey pictures, colour files
// 24 bits (CMYK and YCCK converted, Adobe's inverted CMYK included), and the
// EXIF orientation is applied so that photos open upright.
#include "imagora/Decoders.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Imagora.h"
#include "imagora/MappedFile.h"
#include "imagora/Orientation.h"
#include "imagora/RowFeed.h"

#include <cstdio> // jpeglib.h needs FILE
#include <jerror.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr char kExifHeader[] = "Exif\0"; // six bytes with the terminator

// libjpeg's error manager with what our handlers need beside it; its first
// member is the manager, so the library's pointer to it leads here.
struct JpegErrors {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    bool ranOut;      // the file ended before its end marker
    bool missingData; // the decoder needed compressed data that was not there
};

JpegErrors& ErrorsOf(j_common_ptr c)
{
    return *reinterpret_cast<JpegErrors*>(c->err);
}

[[noreturn]] void OnError(j_common_ptr c)
{
    std::longjmp(ErrorsOf(c).jump, 1);
}

// Warnings are silent; the two that mean missing data are remembered.
void OnMessage(j_common_ptr c, int level)
{
    if (level >= 0)
        return;
    if (c->err->msg_code == JWRN_JPEG_EOF)
        ErrorsOf(c).ranOut = true;
    else if (c->err->msg_code == JWRN_HIT_MARKER)
        ErrorsOf(c).missingData = true;
}

void Silent(j_common_ptr) {}

// Everything the decoder owns lives here, on the heap: libjpeg leaves by
// longjmp, which must not skip destructors or find locals stale.
struct JpegReader {
    jpeg_decompress_struct cinfo{};
    JpegErrors errors{};
    bool created = false;
    bool cmyk = false;
    std::vector<std::uint8_t> cmykRow;

    ~JpegReader()
    {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

// The orientation value of the EXIF block, 1 when there is none.
int ExifOrientation(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
        if (m->marker != kExifMarker || m->data_length < sizeof kExifHeader ||
            std::memcmp(m->data, kExifHeader, sizeof kExifHeader) != 0)
            continue;
        ExifData* exif = exif_data_new_from_data(m->data, m->data_length);
        if (!exif)
            return 1;
        int orientation = 1;
        ExifEntry* e = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
        if (e && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->size >= 2)
            orientation = exif_get_short(e->data, exif_data_get_byte_order(exif));
        exif_data_unref(exif);
        return orientation;
    }
    return 1;
}

// One row of CMYK samples into blue, green, red. Adobe's files store the
// samples inverted (255 = no ink), which is what the saw_Adobe_marker flag says.
void CmykToBgr(std::uint8_t* bgr, const std::uint8_t* cmyk, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, bgr += 3, cmyk += 4) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        bgr[0] = std::uint8_t((y * k + 127) / 255);
        bgr[1] = std::uint8_t((m * k + 127) / 255);
        bgr[2] = std::uint8_t((c * k + 127) / 255);
    }
}

// A box the picture is to fill when fitted into it upright; 0 x 0: the
// picture at its own size.
struct Box {
    int width = 0;
    int height = 0;
};

// Picks the smallest of libjpeg's reduced sizes whose picture fills box:
// the box's width when the picture is relatively wider, else its height.
// False when only the picture's own size does.
bool ScaleToFill(jpeg_decompress_struct& cinfo, Box box)
{
    if (ExifOrientation(cinfo) >= 5) // turned a quarter when upright
        std::swap(box.width, box.height);
    const bool wider = std::uint64_t(cinfo.image_width) * std::uint64_t(box.height) >=
                       std::uint64_t(cinfo.image_height) * std::uint64_t(box.width);
    cinfo.scale_num = 1;
    for (const unsigned denominator : {8u, 4u, 2u}) {
        cinfo.scale_denom = denominator;
        jpeg_calc_output_dimensions(&cinfo);
        if (wider ? int(cinfo.output_width) >= box.width : int(cinfo.output_height) >= box.height)
            return true;
    }
    cinfo.scale_denom = 1;
    return false;
}

// Reads the header and makes the picture, ready for its rows; libjpeg errors
// longjmp out of here and ReadRows instead.
bool StartJpeg(JpegReader& r, const std::uint8_t* data, std::size_t size, TDibRecord* out,
               Box box)
{
    jpeg_decompress_struct& cinfo = r.cinfo;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&cinfo, kExifMarker, 0xFFFF);
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK)
        return false;

    const bool grey = cinfo.jpeg_color_space == JCS_GRAYSCALE;
    r.cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = grey ? JCS_GRAYSCALE : r.cmyk ? JCS_CMYK : JCS_EXT_BGR;
    if (box.width > 0 && box.height > 0 && !ScaleToFill(cinfo, box))
        return false;
    jpeg_calc_output_dimensions(&cinfo);
    const int width = int(cinfo.output_width);
    const int height = int(cinfo.output_height);
    const bool made = grey ? NewGreyDib(out, width, height) : NewTrueColourDib(out, width, height);
    DecodeBudget budget;
    if (!made || !budget.TakePicture(*out) || !budget.Take(r.cmyk ? std::uint64_t(width) * 4 : 0))
        return false;
    if (r.cmyk)
        r.cmykRow.resize(std::size_t(width) * 4);
    // What is left is libjpeg's, whose largest need is a progressive file's
    // coefficients, several bytes a pixel (0 would mean no limit at all).
    cinfo.mem->max_memory_to_use = long(std::max<std::uint64_t>(budget.Left(), 1));

    jpeg_start_decompress(&cinfo);
    return !r.errors.ranOut && int(cinfo.output_width) == width &&
           int(cinfo.output_height) == height;
}

// Decodes the rows from the top, several a call straight into the picture
// (CMYK through a row), telling feed each finished count.
bool ReadRows(JpegReader& r, const TDibRecord& out, RowFeed* feed)
{
    jpeg_decompress_struct& cinfo = r.cinfo;
    const int height = int(cinfo.output_height);
    constexpr int kRowsPerCall = 16;
    JSAMPROW rows[kRowsPerCall];
    while (int(cinfo.output_scanline) < height) {
        // Once the data has run out the rest would be invented: a file of a
        // few kilobytes that claims a gigapixel stops here, not at its end.
        if (r.errors.missingData)
            return false;
        const int y = int(cinfo.output_scanline);
        const int count = r.cmyk ? 1 : std::min(kRowsPerCall, height - y);
        for (int i = 0; i < count; ++i)
            rows[i] = r.cmyk ? r.cmykRow.data() : DibRowFromTop(out, y + i);
        if (jpeg_read_scanlines(&cinfo, rows, JDIMENSION(count)) < 1)
            return false;
        if (r.cmyk)
            CmykToBgr(DibRowFromTop(out, y), r.cmykRow.data(), int(cinfo.output_width),
                      cinfo.saw_Adobe_marker);
        // A row is told only once the data behind it is known to be there.
        if (feed && !r.errors.missingData)
            feed->Publish(int(cinfo.output_scanline));
    }
    // A file that lacks only its end marker is complete; one whose compressed
    // data ran short is not.
    return !r.errors.missingData;
}

// Fresh picture memory is cleared by the system at its first touch, which
// costs about as much as decoding into it. The rows decoded last (the bottom
// half, first in memory) are touched here while the worker decodes the top
// ones, so both cores share the clearing. Advice only: without it the decoder
// touches them itself.
void TouchBottomHalf(const TDibRecord& dib)
{
    const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const auto bits = reinterpret_cast<std::uintptr_t>(dib.Bits);
    const std::uintptr_t start = (bits + page - 1) & ~(page - 1);
    const std::uintptr_t end = (bits + dib.Info->bmiHeader.biSizeImage / 2) & ~(page - 1);
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}

std::unique_ptr<JpegReader> NewReader()
{
    auto reader = std::make_unique<JpegReader>();
    reader->cinfo.err = jpeg_std_error(&reader->errors.mgr);
    reader->errors.mgr.error_exit = OnError;
    reader->errors.mgr.emit_message = OnMessage;
    reader->errors.mgr.output_message = Silent;
    return reader;
}

// The header and the picture; false (and no picture) on any fault.
bool Start(JpegReader& r, const std::uint8_t* data, std::size_t size, TDibRecord* out,
           Box box = {})
{
    if (setjmp(r.errors.jump))
        return false;
    jpeg_create_decompress(&r.cinfo);
    r.created = true;
    return StartJpeg(r, data, size, out, box);
}

bool Rows(JpegReader& r, const TDibRecord& out, RowFeed* feed)
{
    if (setjmp(r.errors.jump))
        return false;
    return ReadRows(r, out, feed);
}

bool Fail(TDibRecord* out)
{
    deldib(*out);
    *out = TDibRecord{};
    return false;
}

} // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    return DecodeJpegReduced(data, size, 0, 0, out);
}

bool DecodeJpegReduced(const std::uint8_t* data, std::size_t size, int boxWidth, int boxHeight,
                       TDibRecord* out)
{
    *out = TDibRecord{};
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    const std::unique_ptr<JpegReader> reader = NewReader();
    if (!Start(*reader, data, size, out, Box{boxWidth, boxHeight}) ||
        !Rows(*reader, *out, nullptr))
        return Fail(out);
    ApplyOrientation(out, ExifOrientation(reader->cinfo));
    return true;
}

bool DecodeJpegStreamed(std::shared_ptr<const MappedFile> file, TDibRecord* out, RowFeed& feed)
{
    *out = TDibRecord{};
    const std::uint8_t* data = file->Data();
    const std::size_t size = file->Size();
    if (size < 3 || data[0] != 0xFF || data[1] != 0xD8)
        return false;
    std::shared_ptr<JpegReader> reader = NewReader();
    if (!Start(*reader, data, size, out))
        return Fail(out);
    // A photo to be turned upright has no final rows before its last.
    if (ExifOrientation(reader->cinfo) != 1) {
        if (!Rows(*reader, *out, nullptr) || file->Shrank())
            return Fail(out);
        ApplyOrientation(out, ExifOrientation(reader->cinfo));
        feed.Complete(true);
        return true;
    }
    const TDibRecord picture = *out;
    feed.Start([file, reader, picture](RowFeed& f) {
        return Rows(*reader, picture, &f) && !file->Shrank();
    });
    TouchBottomHalf(picture);
    return true;
}
