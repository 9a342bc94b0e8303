// The JPEG reader and writer hand libjpeg the picture's own rows, several at
// a time; a plain libjpeg loop of one converted row a call must give the very
// same pixels and file bytes.
#include "BandSupport.h"
#include "DecoderTestSupport.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Decoders.h"
#include "imagora/DibEncoders.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "imagora/OpenDibStreamed.h"
#include "imagora/RowFeed.h"

#include <cstdio>
#include <fstream>
#include <jpeglib.h>

namespace {

class JpegRows : public LeakCheckedTest {};

struct Variant {
    const char* name;
    int hSample; // of the first component; the others 1 x 1
    int vSample;
    bool progressive;
    unsigned restartRows; // restart markers every this many coding unit rows
};

// The picture as a JPEG the plain way: every row converted to red, green,
// blue (or to grey levels for a grey table), one a call.
Bytes PlainJpeg(const TDibRecord& dib, int quality, const Variant& v = {})
{
    std::uint8_t levels[256];
    const bool grey = DibGreyLevels(dib, levels);
    jpeg_compress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &data, &size);
    c.image_width = JDIMENSION(DibWidth(dib));
    c.image_height = JDIMENSION(DibHeight(dib));
    c.input_components = grey ? 1 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    if (v.hSample > 0) {
        c.comp_info[0].h_samp_factor = v.hSample;
        c.comp_info[0].v_samp_factor = v.vSample;
    }
    if (v.progressive)
        jpeg_simple_progression(&c);
    c.restart_in_rows = int(v.restartRows);
    jpeg_start_compress(&c, TRUE);
    Bytes row(std::size_t(DibWidth(dib)) * 3);
    for (int y = 0; y < DibHeight(dib); ++y) {
        if (grey)
            DibRowToGrey(dib, y, levels, row.data());
        else
            DibRowToRgb(dib, y, row.data());
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes file(data, data + size);
    std::free(data);
    return file;
}

// A file decoded the plain way: one red, green, blue (or grey) row a call.
Bytes PlainDecode(const Bytes& file, bool grey)
{
    jpeg_decompress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&c, TRUE);
    c.out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(&c);
    Bytes row(std::size_t(c.output_width) * std::size_t(c.output_components)), rgb;
    while (c.output_scanline < c.output_height) {
        JSAMPROW p = row.data();
        jpeg_read_scanlines(&c, &p, 1);
        for (std::size_t x = 0; x < c.output_width; ++x)
            for (int k = 0; k < 3; ++k)
                rgb.push_back(row[grey ? x : 3 * x + std::size_t(k)]);
    }
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return rgb;
}

// A grey picture of noise over the full ramp.
TDibRecord GreyNoise(int width, int height)
{
    TDibRecord d;
    NewGreyDib(&d, width, height);
    std::uint32_t seed = 5;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            DibRowFromTop(d, y)[x] = std::uint8_t((seed = seed * 1664525u + 1013904223u) >> 24);
    return d;
}

TEST_F(JpegRows, WrittenFilesAreThoseOfThePlainLoop)
{
    TempFolder folder;
    const std::string path = folder.File("out.jpg");
    // Depths that go in directly (24, 32, the grey ramp) and converted ones.
    for (const int bits : {1, 4, 8, 16, 24, 32, 0})
        for (const auto& [width, height] : kOddSizes) {
            SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(width) + "x" +
                         std::to_string(height));
            DibGuard dib(bits ? NoisePicture(width, height, bits) : GreyNoise(width, height));
            for (const int quality : {90, 35}) {
                std::string error;
                ASSERT_TRUE(WriteDibFile(dib.dib, path, &error, quality, nullptr)) << error;
                EXPECT_TRUE(ReadBytes(path) == PlainJpeg(dib.dib, quality))
                    << "quality " << quality;
            }
        }
}

// The same file opened whole and with its rows still arriving.
struct Opened {
    DibGuard whole, streamed;
    RowFeed feed;
    Opened(const std::string& path)
    {
        OpenDib(&whole.dib, path.c_str(), 0, nullptr);
        OpenDibStreamed(&streamed.dib, path.c_str(), feed);
    }
};

TEST_F(JpegRows, DecodedPixelsAndStreamedSavesAreThoseOfThePlainWay)
{
    TempFolder folder;
    const std::string in = folder.File("in.jpg"), whole = folder.File("whole"),
                      streamed = folder.File("streamed");
    const Variant variants[] = {
        {"4:2:0", 2, 2, false, 0},           {"4:4:4", 1, 1, false, 0},
        {"4:2:2", 2, 1, false, 0},           {"progressive", 2, 2, true, 0},
        {"restart markers", 2, 2, false, 1}, {"progressive with restarts", 1, 1, true, 2},
    };
    std::vector<std::pair<std::string, Bytes>> files = {
        // Turned upright after the last row: decoded whole before the open returns.
        {"EXIF orientation", ReadBytes(DataFile("jpeg/video-001.exif-canon.jpeg"))},
        {"CMYK", ReadBytes(DataFile("jpeg/video-001.cmyk.jpeg"))},
    };
    for (const Variant& v : variants)
        for (const bool grey : {false, true})
            for (const auto& [width, height] : kOddSizes) {
                const std::string name = std::string(v.name) + (grey ? " grey " : " colour ") +
                                         std::to_string(width) + "x" + std::to_string(height);
                DibGuard source(grey ? GreyNoise(width, height) : NoisePicture(width, height, 24));
                files.emplace_back(name, PlainJpeg(source.dib, 80, v));
                const Bytes& file = files.back().second;
                DibGuard decoded;
                ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), &decoded.dib)) << name;
                EXPECT_EQ(DibBitCount(decoded.dib), grey ? 8 : 24) << name;
                EXPECT_TRUE(DibRgb(decoded.dib) == PlainDecode(file, grey)) << name;
            }
    for (const auto& [name, file] : files)
        for (const char* extension : {".jpg", ".png"}) {
            SCOPED_TRACE(name + extension);
            WriteBytes(in, file);
            Opened o(in);
            ASSERT_TRUE(o.streamed.dib.Bits);
            std::string error;
            EXPECT_TRUE(
                WriteDibFile(o.streamed.dib, streamed + extension, &error, 80, nullptr, &o.feed))
                << error;
            EXPECT_TRUE(o.feed.Finish());
            EXPECT_EQ(DibBytes(o.streamed.dib), DibBytes(o.whole.dib));
            ASSERT_TRUE(WriteDibFile(o.whole.dib, whole + extension, nullptr, 80));
            EXPECT_TRUE(ReadBytes(streamed + extension) == ReadBytes(whole + extension));
        }
}

TEST_F(JpegRows, AFileBrokenHalfwayGivesNoSaveWhenStreamed)
{
    TempFolder folder;
    const std::string in = folder.File("in.jpg");
    DibGuard colour(NoisePicture(67, 131, 24));
    const Bytes good = PlainJpeg(colour.dib, 90);
    Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(good.size() * 3 / 5));
    Bytes marker = good; // a marker where data should be: the rest would be invented
    marker[good.size() / 2] = 0xFF;
    marker[good.size() / 2 + 1] = 0xD9;
    for (const Bytes& file : {cut, marker})
        for (const char* extension : {".jpg", ".bmp"}) {
            SCOPED_TRACE(std::to_string(file.size()) + extension);
            WriteBytes(in, file);
            Opened o(in);
            EXPECT_FALSE(o.whole.dib.Bits);
            ASSERT_TRUE(o.streamed.dib.Bits); // the header was good
            std::string error;
            const std::string out = folder.File(std::string("out") + extension);
            EXPECT_FALSE(WriteDibFile(o.streamed.dib, out, &error, 90, nullptr, &o.feed));
            EXPECT_NE(error.find("nicht vollständig gelesen"), std::string::npos) << error;
            EXPECT_FALSE(o.feed.Finish());
            EXPECT_FALSE(std::ifstream(out).good());
        }
}

} // namespace
