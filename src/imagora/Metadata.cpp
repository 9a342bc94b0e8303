#include "imagora/Metadata.h"

#include "imagora/MappedFile.h"
#include "imagora/TiffDirectory.h"

#include <libexif/exif-data.h>
#include <tiff.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <memory>

namespace {

constexpr std::uint8_t kExifLead[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr char kIccLead[] = "ICC_PROFILE"; // twelve bytes with the terminator
constexpr std::size_t kMaxMarkerPayload = 65533;
// Larger than any real colour profile: a broken length ends here.
constexpr std::size_t kMaxProfile = std::size_t(64) << 20;

// The standard tables of the JPEG standard's annex K in natural order, which
// libjpeg scales for its quality setting.
constexpr std::array<int, 64> kStdLuminance = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
    14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
    18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
constexpr std::array<int, 64> kStdChrominance = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Position in natural order of the i-th value of a table in a file.
constexpr std::array<int, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// How far a file's table lies from the standard one scaled as libjpeg does
// for a baseline file of that quality.
long TableDistance(const std::uint16_t* table, const std::array<int, 64>& standard, int quality)
{
    const long scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    long distance = 0;
    for (int i = 0; i < 64; ++i) {
        const long scaled = std::clamp(
            (standard[std::size_t(kZigzag[std::size_t(i)])] * scale + 50) / 100, 1L, 255L);
        distance += std::labs(long(table[i]) - scaled);
    }
    return distance;
}

using ExifPtr = std::unique_ptr<ExifData, decltype(&exif_data_unref)>;

// The block as libexif reads it, without the corrections it would make to
// follow the standard and with the tags it does not know: a save keeps what
// the camera wrote.
ExifPtr LoadExif(const std::vector<std::uint8_t>& exif)
{
    ExifPtr data(exif_data_new(), exif_data_unref);
    if (!data || exif.size() < sizeof kExifLead)
        return ExifPtr(nullptr, exif_data_unref);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_load_data(data.get(), exif.data(), unsigned(exif.size()));
    return data;
}

std::vector<std::uint8_t> SaveExif(ExifData* data)
{
    unsigned char* bytes = nullptr;
    unsigned size = 0;
    exif_data_save_data(data, &bytes, &size);
    std::vector<std::uint8_t> block;
    if (bytes)
        block.assign(bytes, bytes + size);
    std::free(bytes);
    return block;
}

// Puts value into a SHORT or LONG entry of content, replacing what was there.
void SetNumber(ExifContent* content, ExifTag tag, std::uint32_t value, ExifByteOrder order,
               bool create)
{
    ExifEntry* old = exif_content_get_entry(content, tag);
    if (!old && !create)
        return;
    const bool asShort = old && old->format == EXIF_FORMAT_SHORT && value <= 0xFFFF;
    if (old)
        exif_content_remove_entry(content, old);
    ExifMem* mem = exif_mem_new_default();
    ExifEntry* e = exif_entry_new_mem(mem);
    e->tag = tag;
    e->format = asShort ? EXIF_FORMAT_SHORT : EXIF_FORMAT_LONG;
    e->components = 1;
    e->size = asShort ? 2 : 4;
    e->data = static_cast<unsigned char*>(exif_mem_alloc(mem, e->size));
    if (e->data) {
        if (asShort)
            exif_set_short(e->data, order, ExifShort(value));
        else
            exif_set_long(e->data, order, value);
        exif_content_add_entry(content, e);
    }
    exif_entry_unref(e);
    exif_mem_unref(mem);
}

// Adds a TIFF entry with its values as stored; the block has the byte order
// of the file they come from.
void AddEntry(ExifContent* content, const TiffEntry& entry)
{
    ExifMem* mem = exif_mem_new_default();
    ExifEntry* e = exif_entry_new_mem(mem);
    e->tag = ExifTag(entry.tag);
    e->format = ExifFormat(entry.type);
    e->components = entry.count;
    e->size = unsigned(entry.size);
    e->data = static_cast<unsigned char*>(exif_mem_alloc(mem, e->size));
    if (e->data) {
        std::memcpy(e->data, entry.value, e->size);
        exif_content_add_entry(content, e);
    }
    exif_entry_unref(e);
    exif_mem_unref(mem);
}

constexpr ExifTag kTextTags[] = {EXIF_TAG_IMAGE_DESCRIPTION, EXIF_TAG_MAKE,      EXIF_TAG_MODEL,
                                 EXIF_TAG_SOFTWARE,          EXIF_TAG_DATE_TIME, EXIF_TAG_ARTIST,
                                 EXIF_TAG_COPYRIGHT};

bool IsTextTag(int tag)
{
    return std::find(std::begin(kTextTags), std::end(kTextTags), ExifTag(tag)) !=
           std::end(kTextTags);
}

// --- JPEG

std::uint16_t BigEndian16(const std::uint8_t* p)
{
    return std::uint16_t((p[0] << 8) | p[1]);
}

// The start-of-frame markers of every coding process.
bool IsFrameMarker(int marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

struct JpegScan {
    PictureMetadata meta;
    std::map<int, std::vector<std::uint8_t>> iccChunks; // by sequence number
    int iccCount = 0;
    std::uint16_t tables[4][64] = {};
    bool haveTable[4] = {};

    void Segment(int marker, const std::uint8_t* p, std::size_t n)
    {
        if (IsFrameMarker(marker))
            Frame(p, n);
        else if (marker == 0xE1 && meta.exif.empty() && n >= sizeof kExifLead &&
                 std::memcmp(p, kExifLead, sizeof kExifLead) == 0)
            meta.exif.assign(p, p + n);
        else if (marker == 0xE2 && n > sizeof kIccLead + 2 &&
                 std::memcmp(p, kIccLead, sizeof kIccLead) == 0) {
            iccCount = p[sizeof kIccLead + 1];
            iccChunks[p[sizeof kIccLead]].assign(p + sizeof kIccLead + 2, p + n);
        } else if (marker == 0xDB)
            QuantTables(p, n);
    }

    // Precision, height, width, the component count, then each component's
    // id, sampling factors and table.
    void Frame(const std::uint8_t* p, std::size_t n)
    {
        if (n < 6 + 3 * 3 || p[5] != 3 || meta.jpegSampling[0].horizontal != 0)
            return;
        for (std::size_t i = 0; i < 3; ++i)
            meta.jpegSampling[i] = {p[7 + 3 * i] >> 4, p[7 + 3 * i] & 15};
    }

    void QuantTables(const std::uint8_t* p, std::size_t n)
    {
        while (n >= 65) {
            const int precision = p[0] >> 4, id = p[0] & 3;
            const std::size_t bytes = precision ? 128 : 64;
            if (n < bytes + 1)
                return;
            for (int i = 0; i < 64; ++i)
                tables[id][i] = precision ? BigEndian16(p + 1 + 2 * i) : p[1 + i];
            haveTable[id] = true;
            p += bytes + 1;
            n -= bytes + 1;
        }
    }

    void Finish()
    {
        // A profile counts only when every chunk of it is there.
        if (iccCount > 0 && int(iccChunks.size()) == iccCount && iccChunks.begin()->first == 1 &&
            iccChunks.rbegin()->first == iccCount)
            for (const auto& [sequence, chunk] : iccChunks)
                meta.icc.insert(meta.icc.end(), chunk.begin(), chunk.end());
        if (haveTable[0])
            meta.jpegQuality = EstimateJpegQuality(tables[0], haveTable[1] ? tables[1] : nullptr);
    }
};

// Walks the markers before the first scan; read(n) hands the next n bytes or
// fewer at the end, skip(n) passes over n bytes.
template <typename Read, typename Skip> PictureMetadata ScanJpeg(Read read, Skip skip)
{
    JpegScan scan;
    std::uint8_t head[4];
    if (read(head, 2) != 2 || head[0] != 0xFF || head[1] != 0xD8)
        return {};
    std::vector<std::uint8_t> payload;
    for (;;) {
        if (read(head, 2) != 2 || head[0] != 0xFF)
            break;
        int marker = head[1];
        while (marker == 0xFF) { // fill bytes
            if (read(head, 1) != 1)
                return {};
            marker = head[0];
        }
        if (marker == 0xD9 || marker == 0xDA)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // stand-alone markers
        if (read(head, 2) != 2)
            break;
        const std::size_t length = BigEndian16(head);
        if (length < 2)
            break;
        const std::size_t n = length - 2;
        const bool wanted =
            marker == 0xE1 || marker == 0xE2 || marker == 0xDB || IsFrameMarker(marker);
        if (!wanted) {
            if (!skip(n))
                break;
            continue;
        }
        payload.resize(n);
        if (read(payload.data(), n) != n)
            break;
        scan.Segment(marker, payload.data(), n);
    }
    scan.Finish();
    return scan.meta;
}

// --- TIFF

// The entries of the TIFF directory at offset into ifd; the EXIF directory's
// pointer to its interoperability directory is followed.
void CopyDirectory(const TiffBytes& tiff, std::uint64_t offset, ExifData* exif, ExifIfd ifd)
{
    for (const TiffEntry& t : tiff.Directory(offset)) {
        if (t.tag == EXIF_TAG_INTEROPERABILITY_IFD_POINTER) {
            if (ifd == EXIF_IFD_EXIF)
                CopyDirectory(tiff, tiff.Number(t), exif, EXIF_IFD_INTEROPERABILITY);
        } else if (t.tag != EXIF_TAG_EXIF_IFD_POINTER && t.tag != EXIF_TAG_GPS_INFO_IFD_POINTER &&
                   exif_format_get_size(ExifFormat(t.type)) != 0 && t.size <= kMaxMarkerPayload) {
            AddEntry(exif->ifd[ifd], t);
        }
    }
}

} // namespace

int EstimateJpegQuality(const std::uint16_t* luminance, const std::uint16_t* chrominance)
{
    int best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    // From the top, so that of several qualities making the same tables the
    // highest is kept.
    for (int q = 100; q >= 1; --q) {
        long d = TableDistance(luminance, kStdLuminance, q);
        if (chrominance)
            d += TableDistance(chrominance, kStdChrominance, q);
        if (d < bestDistance) {
            bestDistance = d;
            best = q;
        }
    }
    return best;
}

int SaveJpegQuality(const PictureMetadata* metadata, int userQuality)
{
    if (userQuality >= 1 && userQuality <= 100)
        return userQuality;
    if (metadata && metadata->jpegQuality >= 1)
        return metadata->jpegQuality;
    return 90;
}

PictureMetadata JpegMetadata(const std::uint8_t* data, std::size_t size)
{
    std::size_t pos = 0;
    return ScanJpeg(
        [&](std::uint8_t* to, std::size_t n) {
            n = std::min(n, size - pos);
            if (n > 0) // data may be null when size is 0
                std::memcpy(to, data + pos, n);
            pos += n;
            return n;
        },
        [&](std::size_t n) {
            if (n > size - pos)
                return false;
            pos += n;
            return true;
        });
}

// A TIFF keeps its profile, orientation and descriptive tags in its first
// directory and points from there to the camera's EXIF and GPS directories;
// together they become an EXIF block, so that any writer can carry them.
PictureMetadata TiffMetadata(const std::uint8_t* data, std::size_t size)
{
    const TiffBytes tiff(data, size);
    if (!tiff.Valid())
        return {};
    PictureMetadata meta;
    ExifPtr exif(exif_data_new(), exif_data_unref);
    if (!exif)
        return meta;
    exif_data_set_byte_order(exif.get(),
                             tiff.BigEndian() ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL);
    const TiffEntry* orientation = nullptr;
    const std::vector<TiffEntry> first = tiff.Directory(tiff.FirstDirectory());
    for (const TiffEntry& t : first) {
        if (t.tag == TIFFTAG_ICCPROFILE && t.size <= kMaxProfile)
            meta.icc.assign(t.value, t.value + t.size);
        else if (t.tag == EXIF_TAG_EXIF_IFD_POINTER)
            CopyDirectory(tiff, tiff.Number(t), exif.get(), EXIF_IFD_EXIF);
        else if (t.tag == EXIF_TAG_GPS_INFO_IFD_POINTER)
            CopyDirectory(tiff, tiff.Number(t), exif.get(), EXIF_IFD_GPS);
        else if (IsTextTag(t.tag) && t.type == EXIF_FORMAT_ASCII && t.size <= kMaxMarkerPayload)
            AddEntry(exif->ifd[EXIF_IFD_0], t);
        else if (t.tag == EXIF_TAG_ORIENTATION && t.type == EXIF_FORMAT_SHORT && t.count == 1)
            orientation = &t;
    }
    // Every TIFF has an orientation; alone it makes no block.
    if (exif->ifd[EXIF_IFD_0]->count + exif->ifd[EXIF_IFD_EXIF]->count +
            exif->ifd[EXIF_IFD_GPS]->count ==
        0)
        return meta;
    if (orientation)
        AddEntry(exif->ifd[EXIF_IFD_0], *orientation);
    meta.exif = SaveExif(exif.get());
    return meta;
}

PictureMetadata ReadPictureMetadata(const std::string& path)
{
    // Mapped as the decoders map it: the file has just been decoded, its
    // pages are at hand.
    const MappedFile file(path.c_str(), std::numeric_limits<std::int64_t>::max());
    const std::uint8_t* data = file.Data();
    const std::size_t size = file.Size();
    if (size < 4)
        return {};
    PictureMetadata meta;
    if (data[0] == 0xFF && data[1] == 0xD8)
        meta = JpegMetadata(data, size);
    else if (data[0] == 0x89 && data[1] == 'P')
        meta = PngMetadata(data, size);
    else if (data[0] == data[1] && (data[0] == 'I' || data[0] == 'M'))
        meta = TiffMetadata(data, size);
    // What a file cut short meanwhile yielded is not the file's.
    return file.Shrank() ? PictureMetadata{} : meta;
}

std::vector<std::uint8_t> ExifForSavedPicture(const std::vector<std::uint8_t>& exif, int width,
                                              int height)
{
    const ExifPtr data = LoadExif(exif);
    if (!data || data->ifd[EXIF_IFD_0]->count + data->ifd[EXIF_IFD_EXIF]->count == 0)
        return {}; // nothing readable, or nothing but a thumbnail
    const ExifByteOrder order = exif_data_get_byte_order(data.get());
    ExifContent* ifd0 = data->ifd[EXIF_IFD_0];
    if (ExifEntry* e = exif_content_get_entry(ifd0, EXIF_TAG_ORIENTATION);
        e && e->format == EXIF_FORMAT_SHORT && e->size >= 2)
        exif_set_short(e->data, order, 1);
    SetNumber(ifd0, EXIF_TAG_IMAGE_WIDTH, std::uint32_t(width), order, false);
    SetNumber(ifd0, EXIF_TAG_IMAGE_LENGTH, std::uint32_t(height), order, false);
    ExifContent* sub = data->ifd[EXIF_IFD_EXIF];
    const bool hasSub = sub->count > 0;
    SetNumber(sub, EXIF_TAG_PIXEL_X_DIMENSION, std::uint32_t(width), order, hasSub);
    SetNumber(sub, EXIF_TAG_PIXEL_Y_DIMENSION, std::uint32_t(height), order, hasSub);

    // The thumbnail and its directory go.
    std::free(data->data); // libexif's default allocator is malloc's
    data->data = nullptr;
    data->size = 0;
    ExifContent* ifd1 = data->ifd[EXIF_IFD_1];
    while (ifd1->count > 0)
        exif_content_remove_entry(ifd1, ifd1->entries[0]);

    std::vector<std::uint8_t> out = SaveExif(data.get());
    if (out.size() > kMaxMarkerPayload)
        out.clear();
    return out;
}

std::vector<ExifText> ExifTextTags(const std::vector<std::uint8_t>& exif)
{
    std::vector<ExifText> tags;
    const ExifPtr data = LoadExif(exif);
    if (!data)
        return tags;
    for (ExifTag tag : kTextTags) {
        const ExifEntry* e = exif_content_get_entry(data->ifd[EXIF_IFD_0], tag);
        if (e && e->format == EXIF_FORMAT_ASCII && e->size > 0) {
            std::string text(reinterpret_cast<const char*>(e->data), e->size);
            text.resize(std::strlen(text.c_str()));
            if (!text.empty())
                tags.push_back({int(tag), text});
        }
    }
    return tags;
}
