// The JPEG reader and writer hand libjpeg the picture's own rows, several at
// a time, and a picture still being read is saved as its rows arrive; a plain
// libjpeg loop of one converted row a call must give the very same pixels and
// file bytes.
#include "BandSupport.h"
#include "DecoderTestSupport.h"

#include "imagora/Decoders.h"
#include "imagora/DibEncoders.h"
#include "imagora/DibWriter.h"
#include "imagora/Imagora.h"
#include "imagora/OpenDibStreamed.h"
#include "imagora/RowFeed.h"

#include <cstdio>
#include <jpeglib.h>

namespace {

class JpegRows : public LeakCheckedTest {};

struct Variant {
    const char* name;
    std::vector<int> depths; // 0: the grey ramp
    int quality;
    int hSample, vSample; // of the first component, the others 1 x 1; 0: libjpeg's
    bool progressive;
    int restartRows; // restart markers every this many coding unit rows
};

// The picture as a JPEG the plain way: one row a call, converted to red,
// green, blue (or to grey levels for a grey table).
Bytes PlainJpeg(const TDibRecord& dib, const Variant& v)
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
    jpeg_set_quality(&c, v.quality, TRUE);
    if (v.hSample > 0) {
        c.comp_info[0].h_samp_factor = v.hSample;
        c.comp_info[0].v_samp_factor = v.vSample;
    }
    if (v.progressive)
        jpeg_simple_progression(&c);
    c.restart_in_rows = v.restartRows;
    jpeg_start_compress(&c, TRUE);
    Bytes row(std::size_t(DibWidth(dib)) * 3);
    for (JSAMPROW p = row.data(); c.next_scanline < c.image_height;) {
        const int y = int(c.next_scanline);
        grey ? DibRowToGrey(dib, y, levels, p) : DibRowToRgb(dib, y, p);
        jpeg_write_scanlines(&c, &p, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes file(data, data + size);
    std::free(data);
    return file;
}

// A file decoded the plain way: one red, green, blue row a call.
Bytes PlainDecode(const Bytes& file)
{
    jpeg_decompress_struct c{};
    jpeg_error_mgr errors{};
    c.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&c);
    jpeg_mem_src(&c, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&c, TRUE);
    c.out_color_space = JCS_RGB;
    jpeg_start_decompress(&c);
    Bytes rgb(std::size_t(c.output_width) * 3 * c.output_height);
    for (JSAMPROW p = rgb.data(); c.output_scanline < c.output_height; p += c.output_width * 3)
        jpeg_read_scanlines(&c, &p, 1);
    jpeg_finish_decompress(&c);
    jpeg_destroy_decompress(&c);
    return rgb;
}

// Noise at a depth, or over the grey ramp that goes to libjpeg directly.
TDibRecord Noise(int width, int height, int bits)
{
    TDibRecord d = NoisePicture(width, height, bits ? bits : 8);
    for (int i = 0; i < 256 && !bits; ++i)
        d.Info->bmiColors[i] = RGBQUAD{std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
    return d;
}

// The file opened with its rows still arriving and saved as they come, as
// JPEG and as PNG: the pixels and files of the file opened whole; or, for a
// file that breaks off, no picture, no save and a message saying why.
void ExpectStreamedLikeWhole(const Bytes& file, bool complete = true)
{
    TempFolder folder;
    const std::string in = folder.File("in.jpg");
    WriteBytes(in, file);
    for (const std::string extension : {".jpg", ".png"}) {
        SCOPED_TRACE(extension);
        DibGuard whole, streamed;
        RowFeed feed;
        OpenDib(&whole.dib, in.c_str(), 0, nullptr);
        OpenDibStreamed(&streamed.dib, in.c_str(), feed);
        ASSERT_TRUE(streamed.dib.Bits); // the header is good
        const std::string out = folder.File("streamed" + extension),
                          plain = folder.File("whole" + extension);
        std::string error;
        EXPECT_EQ(WriteDibFile(streamed.dib, out, &error, 80, nullptr, &feed), complete) << error;
        EXPECT_EQ(feed.Finish(), complete);
        EXPECT_EQ(bool(whole.dib.Bits), complete);
        if (complete) {
            EXPECT_EQ(DibBytes(streamed.dib), DibBytes(whole.dib));
            ASSERT_TRUE(WriteDibFile(whole.dib, plain, nullptr, 80));
        } else {
            EXPECT_NE(error.find("nicht vollständig gelesen"), std::string::npos) << error;
        }
        EXPECT_TRUE(ReadBytes(out) == ReadBytes(plain)); // a broken file: neither exists
    }
}

TEST_F(JpegRows, WrittenDecodedAndStreamedAreThoseOfThePlainWay)
{
    // The writer's own files, from depths that go in directly (24, 32, the grey
    // ramp) and converted ones, and files it never makes.
    const std::vector<int> all = {1, 4, 8, 16, 24, 32, 0}, both = {24, 0};
    const Variant variants[] = {
        {"quality 90", all, 90, 0, 0, false, 0},
        {"quality 35", all, 35, 0, 0, false, 0},
        {"4:4:4", both, 80, 1, 1, false, 0},
        {"4:2:2", both, 80, 2, 1, false, 0},
        {"progressive", both, 80, 2, 2, true, 0},
        {"restart markers", both, 80, 2, 2, false, 1},
        {"progressive with restarts", both, 80, 1, 1, true, 2},
    };
    TempFolder folder;
    const std::string written = folder.File("written.jpg");
    for (const Variant& v : variants)
        for (const int bits : v.depths)
            for (const auto& [width, height] : kOddSizes) {
                SCOPED_TRACE(std::string(v.name) + ", " + std::to_string(bits) + " bits, " +
                             std::to_string(width) + "x" + std::to_string(height));
                DibGuard source(Noise(width, height, bits));
                const Bytes file = PlainJpeg(source.dib, v);
                if (v.hSample == 0) {
                    ASSERT_TRUE(WriteDibFile(source.dib, written, nullptr, v.quality));
                    EXPECT_TRUE(ReadBytes(written) == file);
                }
                DibGuard decoded;
                ASSERT_TRUE(DecodeJpeg(file.data(), file.size(), &decoded.dib));
                EXPECT_EQ(DibBitCount(decoded.dib), bits ? 24 : 8);
                EXPECT_TRUE(DibRgb(decoded.dib) == PlainDecode(file));
                ExpectStreamedLikeWhole(file);
            }
}

TEST_F(JpegRows, TurnedCmykAndBrokenFilesStreamLikeWhole)
{
    // Turned upright after the last row: decoded whole before the open returns.
    ExpectStreamedLikeWhole(ReadBytes(DataFile("jpeg/video-001.exif-canon.jpeg")));
    ExpectStreamedLikeWhole(ReadBytes(DataFile("jpeg/video-001.cmyk.jpeg")));
    // Cut, or a marker where data should be: the rest would be invented.
    DibGuard colour(NoisePicture(67, 131, 24));
    const Bytes good = PlainJpeg(colour.dib, {"", {}, 90, 0, 0, false, 0});
    Bytes marker = good;
    marker[good.size() / 2] = 0xFF;
    marker[good.size() / 2 + 1] = 0xD9;
    ExpectStreamedLikeWhole(Bytes(good.begin(), good.begin() + std::ptrdiff_t(good.size() * 3 / 5)),
                            false);
    ExpectStreamedLikeWhole(marker, false);
}

} // namespace
