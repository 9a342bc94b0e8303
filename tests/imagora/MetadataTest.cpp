// What a photo carries besides its pixels survives a save: EXIF (upright,
// without the stale thumbnail, with the new size), the colour profile, and
// the JPEG quality it was made at.
#include "TestSupport.h"

#include "imagora/DibEncoders.h"
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

Bytes BigEndianBytes(std::initializer_list<std::uint32_t> values, int width)
{
    Bytes b;
    for (std::uint32_t v : values)
        for (int i = width - 1; i >= 0; --i)
            b.push_back(std::uint8_t(v >> (8 * i)));
    return b;
}

// An entry holding value (in Motorola order) as it stands.
void AddRaw(ExifData* data, ExifIfd ifd, int tag, ExifFormat format, const Bytes& value)
{
    ExifEntry* e = exif_entry_new();
    e->tag = ExifTag(tag);
    e->format = format;
    e->size = unsigned(value.size());
    e->components = e->size / exif_format_get_size(format);
    e->data = static_cast<unsigned char*>(std::malloc(e->size));
    std::memcpy(e->data, value.data(), e->size);
    exif_content_add_entry(data->ifd[ifd], e);
    exif_entry_unref(e);
}

// An EXIF block as a camera writes it: turned a quarter, with a thumbnail
// and the stored size; and what a save copies without knowing it: rationals,
// the maker's note, a tag newer than libexif, the interoperability and GPS
// directories.
Bytes CameraExif(int orientation, int width, int height)
{
    ExifData* data = exif_data_new();
    exif_data_set_byte_order(data, EXIF_BYTE_ORDER_MOTOROLA);
    exif_set_short(NewEntry(data, EXIF_IFD_0, EXIF_TAG_ORIENTATION)->data, EXIF_BYTE_ORDER_MOTOROLA,
                   ExifShort(orientation));
    AddRaw(data, EXIF_IFD_0, EXIF_TAG_MAKE, EXIF_FORMAT_ASCII,
           {'T', 'e', 's', 't', 'C', 'a', 'm', 0});
    exif_set_long(NewEntry(data, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_X_DIMENSION)->data,
                  EXIF_BYTE_ORDER_MOTOROLA, ExifLong(width));
    exif_set_long(NewEntry(data, EXIF_IFD_EXIF, EXIF_TAG_PIXEL_Y_DIMENSION)->data,
                  EXIF_BYTE_ORDER_MOTOROLA, ExifLong(height));
    AddRaw(data, EXIF_IFD_EXIF, EXIF_TAG_EXPOSURE_TIME, EXIF_FORMAT_RATIONAL,
           BigEndianBytes({1, 125}, 4));
    AddRaw(data, EXIF_IFD_EXIF, EXIF_TAG_MAKER_NOTE, EXIF_FORMAT_UNDEFINED,
           BigEndianBytes({1, 2, 3}, 4));
    AddRaw(data, EXIF_IFD_EXIF, 0x9FF0, EXIF_FORMAT_LONG, {1, 2, 3, 4});
    AddRaw(data, EXIF_IFD_INTEROPERABILITY, EXIF_TAG_INTEROPERABILITY_INDEX, EXIF_FORMAT_ASCII,
           {'R', '9', '8', 0});
    AddRaw(data, EXIF_IFD_GPS, EXIF_TAG_GPS_LATITUDE, EXIF_FORMAT_RATIONAL,
           BigEndianBytes({48, 1, 8, 1, 3021, 100}, 4));
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

// Every entry of a block as "directory tag format count bytes", read as it
// stands, unknown tags included; the thumbnail's directory aside.
std::set<std::string> EntriesOf(const Bytes& block)
{
    std::set<std::string> entries;
    ExifData* data = exif_data_new();
    exif_data_unset_option(data, EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_unset_option(data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data, block.data(), unsigned(block.size()));
    for (int ifd = 0; ifd < EXIF_IFD_COUNT; ++ifd) {
        for (unsigned i = 0; i < data->ifd[ifd]->count && ifd != EXIF_IFD_1; ++i) {
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

// Whether saved holds every entry of the camera's block for a 24 x 16
// picture as it was.
bool KeepsCameraEntries(const Bytes& saved)
{
    const std::set<std::string> camera = EntriesOf(CameraExif(1, 24, 16)), kept = EntriesOf(saved);
    return camera.size() == 9 &&
           std::includes(kept.begin(), kept.end(), camera.begin(), camera.end());
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
    put(68, BigEndianBytes({0xF6D6, 0x10000, 0xD32D, 0x4B454C56}, 4)); // and a creator
    return p;
}

// 8 x 8 blocks of one colour each, which JPEG keeps nearly exactly; palette
// pictures have a table of greys or of colours.
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

int LargestError(const TDibRecord& a, const TDibRecord& b)
{
    std::vector<std::uint8_t> p(std::size_t(DibWidth(a)) * 3), q(p.size());
    int worst = 0;
    for (int y = 0; y < DibHeight(a); ++y) {
        DibRowToRgb(a, y, p.data());
        DibRowToRgb(b, y, q.data());
        for (std::size_t i = 0; i < p.size(); ++i)
            worst = std::max(worst, std::abs(p[i] - q[i]));
    }
    return worst;
}

using Sampling = std::array<SamplingFactors, 3>;
constexpr Sampling k444 = {{{1, 1}, {1, 1}, {1, 1}}};
constexpr Sampling k420 = {{{2, 2}, {1, 1}, {1, 1}}};
constexpr Sampling kNone = {};

TEST_F(Metadata, SaveAndOpenKeepPixelsExifProfileAndSampling)
{
    struct Picture {
        int bits;
        bool colourTable;
        bool grey; // what JPEG keeps of it
    };
    const Picture pictures[] = {
        {1, false, true}, {4, true, false}, {8, false, true}, {8, true, false}, {24, false, false},
    };
    PictureMetadata meta;
    meta.exif = CameraExif(1, 24, 16);
    meta.icc = RgbProfile();
    meta.jpegSampling = k444;
    for (const std::string extension : {".jpg", ".png", ".tif"}) {
        for (const Picture& p : pictures) {
            SCOPED_TRACE(std::to_string(p.bits) + (p.grey ? " grey" : " colour") + extension);
            const std::string path = Path("saved" + extension);
            DibGuard source(Blocks(p.bits, p.colourTable));
            std::string error;
            ASSERT_TRUE(WriteDibFile(source.dib, path, &error, 95, &meta)) << error;
            DibGuard back;
            OpenDib(&back.dib, path.c_str(), 0, nullptr);
            ASSERT_NE(back->Bits, nullptr);
            const PictureMetadata kept = ReadPictureMetadata(path);
            EXPECT_TRUE(KeepsCameraEntries(kept.exif));
            EXPECT_EQ(kept.icc, meta.icc);
            const bool jpeg = extension == ".jpg";
            EXPECT_LE(LargestError(source.dib, back.dib), jpeg ? 6 : 0);
            EXPECT_EQ(DibBitCount(back.dib), !jpeg ? p.bits : p.grey ? 8 : 24) << "grey stays grey";
            EXPECT_EQ(kept.jpegSampling, !jpeg || p.grey ? kNone : k444);
        }
    }
}

TEST_F(Metadata, JpegKeepsTheSourceSubsamplingWhereLibjpegCanMakeIt)
{
    const std::pair<Sampling, Sampling> cases[] = {
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
    PictureMetadata meta;
    for (const auto& [source, saved] : cases) {
        meta.jpegSampling = source;
        ASSERT_TRUE(WriteDibFile(photo.dib, Path("s.jpg"), nullptr, 90, &meta));
        EXPECT_EQ(ReadPictureMetadata(Path("s.jpg")).jpegSampling, saved)
            << source[0].horizontal << "x" << source[0].vertical;
    }
    // Other encoders' files; grey and CMYK files have none to keep.
    const std::pair<const char*, Sampling> files[] = {
        {"video-001.q50.444.progressive.jpeg", k444},
        {"video-001.q50.410.jpeg", {{{4, 2}, {1, 1}, {1, 1}}}},
        {"video-005.gray.q50.jpeg", kNone},
        {"video-001.cmyk.jpeg", kNone},
    };
    for (const auto& [name, sampling] : files)
        EXPECT_EQ(ReadPictureMetadata(std::string(KELVORA_TEST_DATA "/jpeg/") + name).jpegSampling,
                  sampling)
            << name;
}

// A PNG chunk; nothing here reads its checksum.
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
    meta.exif = CameraExif(1, 24, 16);
    DibGuard d(Blocks(24, false));
    ASSERT_TRUE(WriteDibFile(d.dib, Path("a.png"), nullptr, 90, &meta));
    const Bytes png = ReadBytes(Path("a.png"));
    const auto at = [&](const char* type) {
        return std::search(png.begin(), png.end(), type, type + 4);
    };
    EXPECT_LT(at("eXIf"), at("IDAT")) << "readers stop looking at the pixels";
    EXPECT_TRUE(KeepsCameraEntries(PngMetadata(png.data(), png.size()).exif));

    // Older writers put the chunk after the pixels; some keep JPEG's lead.
    const Bytes signature(png.begin(), png.begin() + 8),
        tiff(meta.exif.begin() + 6, meta.exif.end());
    const auto file = [&](std::initializer_list<Bytes> chunks) {
        Bytes f = signature;
        for (const Bytes& c : chunks)
            f.insert(f.end(), c.begin(), c.end());
        return f;
    };
    for (const Bytes& f : {file({PngChunk("IDAT", {1, 2}), PngChunk("eXIf", tiff)}),
                           file({PngChunk("eXIf", meta.exif)})})
        EXPECT_TRUE(KeepsCameraEntries(PngMetadata(f.data(), f.size()).exif));
    const Bytes ended = file({PngChunk("IEND", {}), PngChunk("eXIf", tiff)});
    EXPECT_TRUE(PngMetadata(ended.data(), ended.size()).exif.empty()) << "nothing after the end";
}

TEST_F(Metadata, AProfileAPngCannotCarryIsLeftOutNotTheSave)
{
    Bytes grey = RgbProfile();
    std::memcpy(grey.data() + 16, "GRAY", 4); // does not fit a colour picture
    DibGuard d(Blocks(24, false));
    for (const Bytes& profile : {FakeProfile(), grey}) {
        PictureMetadata meta;
        meta.icc = profile;
        std::string error;
        ASSERT_TRUE(WriteDibFile(d.dib, Path("a.png"), &error, 90, &meta)) << error;
        EXPECT_TRUE(ReadPictureMetadata(Path("a.png")).icc.empty());
    }
}

TEST_F(Metadata, FilesCutShortYieldWhatTheyHoldAndNeverReadPastTheirEnd)
{
    PictureMetadata meta;
    meta.exif = CameraExif(1, 24, 16);
    meta.icc = RgbProfile();
    DibGuard d(Blocks(24, false));
    using Reader = PictureMetadata (*)(const std::uint8_t*, std::size_t);
    const std::pair<const char*, Reader> formats[] = {
        {".jpg", JpegMetadata}, {".png", PngMetadata}, {".tif", TiffMetadata}};
    for (const auto& [extension, read] : formats) {
        const std::string whole = Path(std::string("whole") + extension);
        ASSERT_TRUE(WriteDibFile(d.dib, whole, nullptr, 90, &meta));
        const Bytes file = ReadBytes(whole);
        EXPECT_EQ(read(file.data(), file.size()).icc, meta.icc) << extension;
        for (std::size_t cut = 0; cut < file.size(); ++cut) {
            // a copy of its own, so that the sanitizer sees any read past it
            const Bytes part(file.begin(), file.begin() + std::ptrdiff_t(cut));
            const PictureMetadata got = read(part.data(), part.size());
            EXPECT_TRUE(got.icc.empty() || got.icc == meta.icc) << extension << " " << cut;
        }
    }
}

} // namespace
