// What a photo carries besides its pixels survives a save: EXIF (upright,
// without the stale thumbnail, with the new size), the colour profile, and
// the JPEG quality it was made at.
#include "TestSupport.h"

#include "imagora/DibWriter.h"
#include "imagora/Metadata.h"

#include <libexif/exif-data.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

ExifEntry* NewEntry(ExifData* data, ExifIfd ifd, ExifTag tag)
{
    ExifEntry* e = exif_entry_new();
    exif_content_add_entry(data->ifd[ifd], e);
    exif_entry_initialize(e, tag);
    exif_entry_unref(e);
    return e;
}

// An EXIF block as a camera writes it: turned a quarter, with a thumbnail
// and the stored size.
Bytes CameraExif(int orientation, int width, int height)
{
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_MOTOROLA);
    exif_set_short(NewEntry(data, EXIF_IFD_0, EXIF_TAG_ORIENTATION)->data, EXIF_BYTE_ORDER_MOTOROLA,
                   ExifShort(orientation));
    ExifEntry* make = exif_entry_new();
    make->tag = EXIF_TAG_MAKE;
    make->format = EXIF_FORMAT_ASCII;
    make->components = make->size = 8;
    make->data = static_cast<unsigned char*>(std::malloc(8));
    std::memcpy(make->data, "TestCam", 8);
    exif_content_add_entry(data->ifd[EXIF_IFD_0], make);
    exif_entry_unref(make);
    exif_set_long(NewEntry(data, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION)->data,
                  EXIF_BYTE_ORDER_MOTOROLA, ExifLong(width));
    exif_set_long(NewEntry(data, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION)->data,
                  EXIF_BYTE_ORDER_MOTOROLA, ExifLong(height));
    static const unsigned char thumbnail[] = {0xFF, 0xD8, 0xFF, 0xD9};
    data->data = static_cast<unsigned char*>(std::malloc(sizeof thumbnail));
    std::memcpy(data->data, thumbnail, sizeof thumbnail);
    data->size = sizeof thumbnail;
    unsigned char* bytes = nullptr;
    unsigned size = 0;
    exif_data_save_data(data, &bytes, &size);
    Bytes block(bytes, bytes + size);
    std::free(bytes);
    exif_data_unref(data);
    return block;
}

// A JPEG file with extra marker segments right after its start.
Bytes WithSegments(Bytes jpeg, const std::vector<std::pair<int, Bytes>>& segments)
{
    Bytes inserted;
    for (const auto& [marker, payload] : segments) {
        const std::size_t n = payload.size() + 2;
        inserted.insert(inserted.end(),
                        {0xFF, std::uint8_t(marker), std::uint8_t(n >> 8), std::uint8_t(n)});
        inserted.insert(inserted.end(), payload.begin(), payload.end());
    }
    jpeg.insert(jpeg.begin() + 2, inserted.begin(), inserted.end());
    return jpeg;
}

Bytes IccSegment(const Bytes& profile)
{
    Bytes s = {'I', 'C', 'C', '_', 'P', 'R', 'O', 'F', 'I', 'L', 'E', 0, 1, 1};
    s.insert(s.end(), profile.begin(), profile.end());
    return s;
}

// Not a real profile, but bytes that must arrive unchanged.
Bytes FakeProfile()
{
    Bytes p(700);
    for (std::size_t i = 0; i < p.size(); ++i)
        p[i] = std::uint8_t(i * 7 + 3);
    return p;
}

int ImageMagickQuality(const std::string& path)
{
    const std::string command = "identify -format %Q '" + path + "' 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    int quality = -1;
    if (pipe) {
        if (std::fscanf(pipe, "%d", &quality) != 1)
            quality = -1;
        pclose(pipe);
    }
    return quality;
}

class Metadata : public LeakCheckedTest {
protected:
    void SetUp() override
    {
        LeakCheckedTest::SetUp();
        dir = MakeTempDir();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        LeakCheckedTest::TearDown();
    }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // A plain JPEG of width x height written by the library at quality.
    Bytes PlainJpeg(int width, int height, int quality)
    {
        DibGuard d(MakeDib(width, height, 24,
                           [](int x, int y) { return RGB(x * 9 % 256, y * 5 % 256, 128); }));
        EXPECT_TRUE(WriteDibFile(d.dib, Path("plain.jpg"), nullptr, quality));
        return ReadBytes(Path("plain.jpg"));
    }

    std::string dir;
};

TEST_F(Metadata, ExifSurvivesASaveUprightWithoutThumbnailAtTheNewSize)
{
    WriteBytes(Path("camera.jpg"),
               WithSegments(PlainJpeg(60, 40, 85), {{0xE1, CameraExif(6, 60, 40)}}));
    DibGuard opened;
    OpenDib(&opened.dib, Path("camera.jpg").c_str(), 0, nullptr);
    ASSERT_EQ(DibWidth(opened.dib), 40) << "opened upright";
    const PictureMetadata meta = ReadPictureMetadata(Path("camera.jpg"));
    ASSERT_FALSE(meta.exif.empty());
    EXPECT_EQ(meta.jpegQuality, 85);

    std::string error;
    ASSERT_TRUE(WriteDibFile(opened.dib, Path("saved.jpg"), &error, 85, &meta)) << error;
    const Bytes saved = ReadBytes(Path("saved.jpg"));
    const PictureMetadata back = JpegMetadata(saved.data(), saved.size());
    ExifData* exif = exif_data_new_from_data(back.exif.data(), unsigned(back.exif.size()));
    ASSERT_NE(exif, nullptr);
    const ExifByteOrder order = exif_data_get_byte_order(exif);
    const auto number = [&](ExifIfd ifd, ExifTag tag) -> long {
        ExifEntry* e = exif_content_get_entry(exif->ifd[ifd], tag);
        if (!e)
            return -1;
        return e->format == EXIF_FORMAT_SHORT ? exif_get_short(e->data, order)
                                              : long(exif_get_long(e->data, order));
    };
    EXPECT_EQ(number(EXIF_IFD_0, EXIF_TAG_ORIENTATION), 1);
    EXPECT_EQ(number(EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION), 40);
    EXPECT_EQ(number(EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION), 60);
    EXPECT_EQ(exif->size, 0u) << "the thumbnail of the turned picture is gone";
    EXPECT_EQ(exif->ifd[EXIF_IFD_1]->count, 0u);
    char make[32] = {};
    exif_entry_get_value(exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_MAKE), make,
                         sizeof make);
    EXPECT_STREQ(make, "TestCam");
    exif_data_unref(exif);

    DibGuard reopened;
    OpenDib(&reopened.dib, Path("saved.jpg").c_str(), 0, nullptr);
    EXPECT_EQ(DibWidth(reopened.dib), 40) << "not turned a second time";
}

TEST_F(Metadata, AJpegIsSavedAtTheQualityItWasMadeAt)
{
    for (int quality : {23, 50, 73, 97}) {
        WriteBytes(Path("source.jpg"), PlainJpeg(48, 32, quality));
        const PictureMetadata meta = ReadPictureMetadata(Path("source.jpg"));
        DibGuard d;
        OpenDib(&d.dib, Path("source.jpg").c_str(), 0, nullptr);
        ASSERT_TRUE(
            WriteDibFile(d.dib, Path("saved.jpg"), nullptr, SaveJpegQuality(&meta, 0), &meta));
        const int source = ImageMagickQuality(Path("source.jpg"));
        if (source < 0)
            GTEST_SKIP() << "ImageMagick's identify is not installed";
        EXPECT_EQ(source, quality);
        EXPECT_EQ(ImageMagickQuality(Path("saved.jpg")), quality);
    }
    const PictureMetadata given = JpegMetadata(nullptr, 0);
    EXPECT_EQ(SaveJpegQuality(&given, 0), 90) << "not a JPEG: the default";
    EXPECT_EQ(SaveJpegQuality(&given, 40), 40) << "the user's word counts";
}

TEST_F(Metadata, QualityOfAForeignFileIsEstimated)
{
    // made by another encoder at quality 50
    const PictureMetadata meta =
        ReadPictureMetadata(KELVORA_TEST_DATA "/jpeg/video-001.q50.420.jpeg");
    EXPECT_EQ(meta.jpegQuality, 50);
}

TEST_F(Metadata, TheColourProfileTravelsToJpegAndTiff)
{
    const Bytes profile = FakeProfile();
    WriteBytes(Path("profiled.jpg"),
               WithSegments(PlainJpeg(20, 10, 90), {{0xE2, IccSegment(profile)}}));
    const PictureMetadata meta = ReadPictureMetadata(Path("profiled.jpg"));
    EXPECT_EQ(meta.icc, profile);
    DibGuard d(MakeDib(20, 10, 24, [](int, int) { return 0x336699u; }));
    ASSERT_TRUE(WriteDibFile(d.dib, Path("out.jpg"), nullptr, 90, &meta));
    ASSERT_TRUE(WriteDibFile(d.dib, Path("out.tif"), nullptr, 90, &meta));
    EXPECT_EQ(ReadPictureMetadata(Path("out.jpg")).icc, profile);
    EXPECT_EQ(ReadPictureMetadata(Path("out.tif")).icc, profile);
}

TEST_F(Metadata, TiffKeepsTheDescriptiveTagsBothWays)
{
    PictureMetadata meta;
    meta.exif = CameraExif(1, 20, 10);
    DibGuard d(MakeDib(20, 10, 8, [](int x, int) { return std::uint32_t(x); }));
    ASSERT_TRUE(WriteDibFile(d.dib, Path("tagged.tif"), nullptr, 90, &meta));
    const PictureMetadata fromTiff = ReadPictureMetadata(Path("tagged.tif"));
    ASSERT_EQ(ExifTextTags(fromTiff.exif).size(), 1u);
    EXPECT_EQ(ExifTextTags(fromTiff.exif)[0].text, "TestCam");
    // and on into a JPEG
    ASSERT_TRUE(WriteDibFile(d.dib, Path("tagged.jpg"), nullptr, 90, &fromTiff));
    EXPECT_EQ(ExifTextTags(ReadPictureMetadata(Path("tagged.jpg")).exif)[0].text, "TestCam");
}

TEST_F(Metadata, BrokenOrMissingMetadataIsNoneAtAll)
{
    Bytes jpeg = PlainJpeg(20, 10, 90);
    // a marker whose length runs past the file's end
    Bytes truncated(jpeg.begin(), jpeg.begin() + 2);
    truncated.insert(truncated.end(), {0xFF, 0xE1, 0xFF, 0xF0, 'E', 'x', 'i', 'f', 0, 0});
    const PictureMetadata broken = JpegMetadata(truncated.data(), truncated.size());
    EXPECT_TRUE(broken.exif.empty());
    // an EXIF block of garbage is dropped on save, not written
    Bytes garbage = {'E', 'x', 'i', 'f', 0, 0, 1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_TRUE(ExifForSavedPicture(garbage, 10, 10).empty());
    EXPECT_TRUE(ExifForSavedPicture({}, 10, 10).empty());
    EXPECT_TRUE(ReadPictureMetadata(Path("missing.jpg")).exif.empty());
    // half a profile is no profile
    Bytes half = IccSegment(FakeProfile());
    half[13] = 2; // says two chunks, holds one
    jpeg = WithSegments(jpeg, {{0xE2, half}});
    EXPECT_TRUE(JpegMetadata(jpeg.data(), jpeg.size()).icc.empty());
}

} // namespace

namespace {

// --- Round trips through every format that carries metadata

Bytes BigEndianBytes(std::initializer_list<std::uint32_t> values, int width)
{
    Bytes b;
    for (std::uint32_t v : values)
        for (int i = width - 1; i >= 0; --i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    return b;
}

Bytes Text(const char* text)
{
    return Bytes(text, text + std::strlen(text) + 1);
}

struct CameraTag {
    ExifIfd ifd;
    int tag;
    ExifFormat format;
    Bytes value; // in Motorola order
};

// What a camera writes besides the picture: text, rationals, its own maker
// note, a tag newer than libexif, the interoperability and GPS directories.
const std::vector<CameraTag>& CameraTags()
{
    static const std::vector<CameraTag> tags = {
        {EXIF_IFD_0, EXIF_TAG_MAKE, EXIF_FORMAT_ASCII, Text("TestCam")},
        {EXIF_IFD_0, EXIF_TAG_ORIENTATION, EXIF_FORMAT_SHORT, BigEndianBytes({1}, 2)},
        {EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME, EXIF_FORMAT_RATIONAL, BigEndianBytes({1, 125}, 4)},
        {EXIF_IFD_EXIF, EXIF_TAG_FNUMBER, EXIF_FORMAT_RATIONAL, BigEndianBytes({28, 10}, 4)},
        {EXIF_IFD_EXIF, EXIF_TAG_ISO_SPEED_RATINGS, EXIF_FORMAT_SHORT, BigEndianBytes({200}, 2)},
        {EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, EXIF_FORMAT_ASCII,
         Text("2024:05:06 07:08:09")},
        {EXIF_IFD_EXIF, EXIF_TAG_MAKER_NOTE, EXIF_FORMAT_UNDEFINED,
         BigEndianBytes({0x4B454C56, 0x01020304, 0xA0B0C0D0, 0x11223344, 0x55667788}, 4)},
        {EXIF_IFD_EXIF, 0x9FF0, EXIF_FORMAT_LONG, BigEndianBytes({0x01020304}, 4)},
        {EXIF_IFD_INTEROPERABILITY, EXIF_TAG_INTEROPERABILITY_INDEX, EXIF_FORMAT_ASCII,
         Text("R98")},
        {EXIF_IFD_GPS, EXIF_TAG_GPS_LATITUDE_REF, EXIF_FORMAT_ASCII, Text("N")},
        {EXIF_IFD_GPS, EXIF_TAG_GPS_LATITUDE, EXIF_FORMAT_RATIONAL,
         BigEndianBytes({48, 1, 8, 1, 3021, 100}, 4)},
    };
    return tags;
}

Bytes CameraBlock()
{
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_MOTOROLA);
    for (const CameraTag& t : CameraTags()) {
        ExifEntry* e = exif_entry_new();
        e->tag = ExifTag(t.tag);
        e->format = t.format;
        e->size = unsigned(t.value.size());
        e->components = e->size / exif_format_get_size(t.format);
        e->data = static_cast<unsigned char*>(std::malloc(e->size));
        std::memcpy(e->data, t.value.data(), e->size);
        exif_content_add_entry(data->ifd[t.ifd], e);
        exif_entry_unref(e);
    }
    unsigned char* bytes = nullptr;
    unsigned size = 0;
    exif_data_save_data(data, &bytes, &size);
    Bytes block(bytes, bytes + size);
    std::free(bytes);
    exif_data_unref(data);
    return block;
}

// Every entry of a block as "directory tag format count bytes", read as it
// stands, unknown tags included.
std::set<std::string> EntriesOf(const Bytes& block)
{
    std::set<std::string> entries;
    ExifData* data = exif_data_new();
    exif_data_unset_option(data, EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data, block.data(), unsigned(block.size()));
    EXPECT_EQ(exif_data_get_byte_order(data), EXIF_BYTE_ORDER_MOTOROLA);
    for (int ifd = 0; ifd < EXIF_IFD_COUNT; ++ifd) {
        for (unsigned i = 0; i < data->ifd[ifd]->count; ++i) {
            const ExifEntry* e = data->ifd[ifd]->entries[i];
            std::string text = std::to_string(ifd) + " " + std::to_string(e->tag) + " " +
                               std::to_string(e->format) + " " + std::to_string(e->components);
            for (unsigned b = 0; b < e->size; ++b)
                text += " " + std::to_string(e->data[b]);
            entries.insert(text);
        }
    }
    exif_data_unref(data);
    return entries;
}

std::set<std::string> CameraEntries()
{
    std::set<std::string> entries;
    for (const CameraTag& t : CameraTags()) {
        std::string text = std::to_string(t.ifd) + " " + std::to_string(t.tag) + " " +
                           std::to_string(t.format) + " " +
                           std::to_string(t.value.size() / exif_format_get_size(t.format));
        for (std::uint8_t b : t.value)
            text += " " + std::to_string(b);
        entries.insert(text);
    }
    return entries;
}

// The smallest profile libpng takes for a colour picture: a header with the
// D50 white point and an empty tag table.
Bytes RgbProfile()
{
    Bytes p(132, 0);
    const auto put = [&](std::size_t at, const Bytes& bytes) {
        std::copy(bytes.begin(), bytes.end(), p.begin() + std::ptrdiff_t(at));
    };
    put(0, BigEndianBytes({132, 0, 0x02100000}, 4));
    put(12, {'m', 'n', 't', 'r', 'R', 'G', 'B', ' ', 'X', 'Y', 'Z', ' '});
    put(36, {'a', 'c', 's', 'p'});
    put(68, BigEndianBytes({0xF6D6, 0x10000, 0xD32D}, 4));
    put(80, {'K', 'e', 'l', 'v'}); // the profile's creator
    return p;
}

// 8 x 8 blocks of one colour each, which JPEG keeps nearly exactly.
TDibRecord Blocks(int bits, bool colourTable)
{
    const int colours = bits <= 8 ? 1 << bits : 0;
    BITMAPINFO table{};
    for (int i = 0; i < colours; ++i) {
        const auto g = std::uint8_t(i * 255 / (colours - 1));
        table.bmiColors[i] = colourTable ? RGBQUAD{std::uint8_t(i * 73), std::uint8_t(200 - i * 9),
                                                   std::uint8_t(40 + i * 37), 0}
                                         : RGBQUAD{g, g, g, 0};
    }
    TDibRecord d;
    newdib(&d, 24, 16, bits, colours ? &table : nullptr, colours);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x) {
            const int block = x / 8 + y / 8 * 3;
            setpixel(d, x, y,
                     colours ? std::uint32_t(block % colours)
                             : RGB(std::uint8_t(block * 40), std::uint8_t(250 - block * 30),
                                   std::uint8_t(block * 17)));
        }
    return d;
}

COLORREF ColourOf(const TDibRecord& d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, y);
    if (DibBitCount(d) > 8)
        return v;
    const RGBQUAD& q = d.Info->bmiColors[v];
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

int LargestError(const TDibRecord& a, const TDibRecord& b)
{
    int worst = 0;
    for (int y = 0; y < DibHeight(a); ++y)
        for (int x = 0; x < DibWidth(a); ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((ColourOf(a, x, y) >> shift) & 255) -
                                                 int((ColourOf(b, x, y) >> shift) & 255)));
    return worst;
}

constexpr std::array<SamplingFactors, 3> k444 = {{{1, 1}, {1, 1}, {1, 1}}};
constexpr std::array<SamplingFactors, 3> k420 = {{{2, 2}, {1, 1}, {1, 1}}};
constexpr std::array<SamplingFactors, 3> kNone = {};

TEST_F(Metadata, SaveAndOpenKeepPixelsExifProfileAndSampling)
{
    struct Picture {
        const char* name;
        int bits;
        bool colourTable;
        bool grey; // what JPEG keeps of it
    };
    const Picture pictures[] = {
        {"1 bit black and white", 1, false, true},
        {"4 bit palette", 4, true, false},
        {"8 bit grey", 8, false, true},
        {"8 bit palette", 8, true, false},
        {"24 bit", 24, false, false},
    };
    PictureMetadata meta;
    meta.exif = CameraBlock();
    meta.icc = RgbProfile();
    meta.jpegSampling = k444;
    for (const char* extension : {".jpg", ".png", ".tif"}) {
        for (const Picture& p : pictures) {
            SCOPED_TRACE(std::string(p.name) + extension);
            const std::string path = Path(std::string("saved") + extension);
            DibGuard source(Blocks(p.bits, p.colourTable));
            std::string error;
            ASSERT_TRUE(WriteDibFile(source.dib, path, &error, 95, &meta)) << error;
            DibGuard back;
            OpenDib(&back.dib, path.c_str(), 0, nullptr);
            ASSERT_NE(back->Bits, nullptr);
            const PictureMetadata kept = ReadPictureMetadata(path);

            const std::set<std::string> entries = EntriesOf(kept.exif);
            for (const std::string& entry : CameraEntries())
                EXPECT_EQ(entries.count(entry), 1u) << entry;
            EXPECT_EQ(kept.icc, meta.icc);
            if (std::string(extension) == ".jpg") {
                EXPECT_LE(LargestError(source.dib, back.dib), 6);
                EXPECT_EQ(DibBitCount(back.dib), p.grey ? 8 : 24) << "grey stays grey";
                EXPECT_EQ(kept.jpegSampling, p.grey ? kNone : k444);
            } else {
                EXPECT_EQ(LargestError(source.dib, back.dib), 0);
                EXPECT_EQ(DibBitCount(back.dib), p.bits);
            }
        }
    }
}

TEST_F(Metadata, JpegKeepsTheSourceSubsamplingWhereLibjpegCanMakeIt)
{
    struct Case {
        std::array<SamplingFactors, 3> source, saved;
    };
    const Case cases[] = {
        {k444, k444},
        {{{{2, 1}, {1, 1}, {1, 1}}}, {{{2, 1}, {1, 1}, {1, 1}}}}, // 4:2:2
        {k420, k420},
        {{{{1, 2}, {1, 1}, {1, 1}}}, {{{1, 2}, {1, 1}, {1, 1}}}}, // 4:4:0
        {{{{4, 2}, {1, 1}, {1, 1}}}, {{{4, 2}, {1, 1}, {1, 1}}}}, // ten blocks, the most
        {{{{3, 1}, {2, 1}, {1, 1}}}, k420},                       // 2 does not divide 3
        {{{{4, 4}, {1, 1}, {1, 1}}}, k420},                       // eighteen blocks
        {kNone, k420}, // no JPEG source: libjpeg's default
    };
    DibGuard photo(Blocks(24, false));
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.source[0].horizontal) + "x" +
                     ::testing::PrintToString(c.source[0].vertical));
        PictureMetadata meta;
        meta.jpegSampling = c.source;
        ASSERT_TRUE(WriteDibFile(photo.dib, Path("s.jpg"), nullptr, 90, &meta));
        EXPECT_EQ(ReadPictureMetadata(Path("s.jpg")).jpegSampling, c.saved);
    }

    // Read from other encoders' files; grey and CMYK files have none to keep.
    const std::pair<const char*, std::array<SamplingFactors, 3>> files[] = {
        {"video-001.q50.444.progressive.jpeg", k444},
        {"video-001.q50.410.jpeg", {{{4, 2}, {1, 1}, {1, 1}}}},
        {"video-001.q50.420.jpeg", k420},
        {"video-005.gray.q50.jpeg", kNone},
        {"video-001.cmyk.jpeg", kNone},
    };
    for (const auto& [name, sampling] : files)
        EXPECT_EQ(ReadPictureMetadata(std::string(KELVORA_TEST_DATA "/jpeg/") + name).jpegSampling,
                  sampling)
            << name;
}

std::size_t ChunkLength(const Bytes& png, std::size_t pos)
{
    return std::size_t(png[pos]) << 24 | std::size_t(png[pos + 1]) << 16 |
           std::size_t(png[pos + 2]) << 8 | png[pos + 3];
}

// The chunk types of a PNG in their order.
std::vector<std::string> Chunks(const Bytes& png)
{
    std::vector<std::string> types;
    for (std::size_t pos = 8; pos + 12 <= png.size(); pos += 12 + ChunkLength(png, pos))
        types.emplace_back(png.begin() + std::ptrdiff_t(pos + 4),
                           png.begin() + std::ptrdiff_t(pos + 8));
    return types;
}

// The body of the chunk of the given type, which is cut out of png.
Bytes TakeChunk(Bytes& png, const std::string& type)
{
    for (std::size_t pos = 8; pos + 12 <= png.size(); pos += 12 + ChunkLength(png, pos)) {
        const auto from = png.begin() + std::ptrdiff_t(pos);
        if (std::string(from + 4, from + 8) == type) {
            const Bytes body(from + 8, from + 8 + std::ptrdiff_t(ChunkLength(png, pos)));
            png.erase(from, from + 12 + std::ptrdiff_t(body.size()));
            return body;
        }
    }
    return {};
}

// A chunk with a checksum that nothing here reads.
Bytes PngChunk(const std::string& type, const Bytes& body)
{
    Bytes chunk = BigEndianBytes({std::uint32_t(body.size())}, 4);
    chunk.insert(chunk.end(), type.begin(), type.end());
    chunk.insert(chunk.end(), body.begin(), body.end());
    chunk.insert(chunk.end(), 4, 0);
    return chunk;
}

TEST_F(Metadata, PngCarriesExifAheadOfThePixelsAndFindsItAnywhere)
{
    PictureMetadata meta;
    meta.exif = CameraBlock();
    DibGuard d(Blocks(24, false));
    ASSERT_TRUE(WriteDibFile(d.dib, Path("a.png"), nullptr, 90, &meta));
    const Bytes png = ReadBytes(Path("a.png"));
    const std::vector<std::string> chunks = Chunks(png);
    const auto at = [&](const char* type) { return std::find(chunks.begin(), chunks.end(), type); };
    ASSERT_NE(at("eXIf"), chunks.end());
    EXPECT_LT(at("eXIf"), at("IDAT")) << "readers stop looking at the pixels";
    EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "eXIf"), 1);

    // Older writers put the chunk after the pixels; some keep JPEG's lead.
    Bytes after = png;
    const Bytes body = TakeChunk(after, "eXIf");
    Bytes withLead = after;
    const Bytes behind = PngChunk("eXIf", body);
    after.insert(after.end() - 12, behind.begin(), behind.end()); // before IEND
    Bytes leadBody = {'E', 'x', 'i', 'f', 0, 0};
    leadBody.insert(leadBody.end(), body.begin(), body.end());
    const Bytes lead = PngChunk("eXIf", leadBody);
    withLead.insert(withLead.begin() + 33, lead.begin(), lead.end()); // after IHDR

    const std::set<std::string> expected = EntriesOf(ExifForSavedPicture(meta.exif, 24, 16));
    EXPECT_EQ(expected.count(*CameraEntries().begin()), 1u);
    for (const Bytes* file : std::initializer_list<const Bytes*>{&png, &after, &withLead})
        EXPECT_EQ(EntriesOf(PngMetadata(file->data(), file->size()).exif), expected);
}

TEST_F(Metadata, AProfileAPngCannotCarryIsLeftOutNotTheSave)
{
    PictureMetadata meta;
    meta.icc = FakeProfile(); // no valid profile header
    DibGuard d(Blocks(24, false));
    std::string error;
    ASSERT_TRUE(WriteDibFile(d.dib, Path("a.png"), &error, 90, &meta)) << error;
    EXPECT_TRUE(ReadPictureMetadata(Path("a.png")).icc.empty());
    // A grey profile does not fit a colour PNG either.
    meta.icc = RgbProfile();
    std::memcpy(meta.icc.data() + 16, "GRAY", 4);
    ASSERT_TRUE(WriteDibFile(d.dib, Path("b.png"), &error, 90, &meta)) << error;
    EXPECT_TRUE(ReadPictureMetadata(Path("b.png")).icc.empty());
}

TEST_F(Metadata, FilesCutShortYieldWhatTheyHoldAndNeverReadPastTheirEnd)
{
    PictureMetadata meta;
    meta.exif = CameraBlock();
    meta.icc = RgbProfile();
    DibGuard d(Blocks(24, false));
    using Reader = PictureMetadata (*)(const std::uint8_t*, std::size_t);
    const std::pair<const char*, Reader> formats[] = {
        {".jpg", JpegMetadata}, {".png", PngMetadata}, {".tif", TiffMetadata}};
    for (const auto& [extension, read] : formats) {
        SCOPED_TRACE(extension);
        const std::string whole = Path(std::string("whole") + extension);
        ASSERT_TRUE(WriteDibFile(d.dib, whole, nullptr, 90, &meta));
        const Bytes file = ReadBytes(whole);
        EXPECT_EQ(read(file.data(), file.size()).icc, meta.icc);
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            // a copy of its own, so that the sanitizer sees any read past it
            const Bytes part(file.begin(), file.begin() + std::ptrdiff_t(cut));
            const PictureMetadata got = read(part.data(), part.size());
            EXPECT_TRUE(got.icc.empty() || got.icc == meta.icc) << cut;
        }
    }
}

} // namespace
