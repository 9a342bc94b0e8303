// What a photo carries besides its pixels survives a save: EXIF (upright,
// without the stale thumbnail, with the new size), the colour profile, and
// the JPEG quality it was made at.
#include "TestSupport.h"

#include "imagora/DibWriter.h"
#include "imagora/Metadata.h"

#include <libexif/exif-data.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

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
