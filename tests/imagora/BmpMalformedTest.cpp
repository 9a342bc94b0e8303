// Broken bitmap files, each named after its fault. None may crash, read past
// the buffer (the sanitizer build checks), leak, or allocate for pixels the
// file cannot hold; all yield a record without pixels.
#include "BmpBuilder.h"
#include "TestSupport.h"

#include "imagora/Decoders.h"

namespace {

class BmpMalformed : public LeakCheckedTest {};

bool Decodes(const Bytes& file)
{
    ExactBuffer exact(file);
    TDibRecord d;
    const bool ok = DecodeBmp(exact.data.get(), exact.size, &d);
    EXPECT_EQ(ok, d.Bits != nullptr);
    deldib(d);
    return ok;
}

BmpSpec Good24(int width = 4, int height = 3)
{
    BmpSpec s;
    s.width = width;
    s.height = height;
    s.pixels.assign(std::size_t(DibLineBytes(width, 24) * height), 0x55);
    return s;
}

BmpSpec Good8()
{
    BmpSpec s;
    s.width = 5;
    s.height = 2;
    s.bits = 8;
    s.table.assign(256, RGBQUAD{1, 2, 3, 0});
    s.pixels.assign(16, 7);
    return s;
}

template <typename Change> Bytes Broken(BmpSpec s, Change change)
{
    change(s);
    return MakeBmp(s);
}

Bytes Patched(Bytes file, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        file[at + i] = std::uint8_t(value >> (8 * i));
    return file;
}

TEST_F(BmpMalformed, GoodFilesOfTheCorpusDecode)
{
    EXPECT_TRUE(Decodes(MakeBmp(Good24())));
    EXPECT_TRUE(Decodes(MakeBmp(Good8())));
}

TEST_F(BmpMalformed, EveryNamedFaultYieldsNoPixels)
{
    constexpr std::size_t kInfo = 14; // where the info header starts
    const struct {
        const char* fault;
        Bytes file;
    } corpus[] = {
        {"empty file", {}},
        {"truncated file header", Bytes{'B', 'M', 0, 0, 0, 0, 0}},
        {"truncated info header",
         [] {
             Bytes f = MakeBmp(Good24());
             f.resize(30);
             return f;
         }()},
        {"header size below the smallest", Patched(MakeBmp(Good24()), kInfo, 8)},
        {"header size between OS/2 1.x and 2.x", Patched(MakeBmp(Good24()), kInfo, 14)},
        {"header size past the end of the file", Patched(MakeBmp(Good24()), kInfo, 100000)},
        {"wrong signature",
         [] {
             Bytes f = MakeBmp(Good24());
             f[1] = 'A';
             return f;
         }()},
        {"zero width", Broken(Good24(), [](BmpSpec& s) { s.width = 0; })},
        {"zero height", Broken(Good24(), [](BmpSpec& s) { s.height = 0; })},
        {"negative width", Broken(Good24(), [](BmpSpec& s) { s.width = -4; })},
        {"smallest negative height", Broken(Good24(), [](BmpSpec& s) { s.height = INT32_MIN; })},
        {"width past the data", Broken(Good24(), [](BmpSpec& s) { s.width = 1000; })},
        {"height past the data", Broken(Good24(), [](BmpSpec& s) { s.height = 4; })},
        {"last pixel byte missing", Broken(Good24(), [](BmpSpec& s) { s.pixels.pop_back(); })},
        {"huge dimensions", Broken(Good24(),
                                   [](BmpSpec& s) {
                                       s.width = INT32_MAX;
                                       s.height = INT32_MAX;
                                   })},
        {"huge top-down dimensions", Broken(Good8(),
                                            [](BmpSpec& s) {
                                                s.width = 1 << 30;
                                                s.height = -(1 << 30);
                                            })},
        {"huge RLE dimensions", Broken(Good8(),
                                       [](BmpSpec& s) {
                                           s.compression = BI_RLE8;
                                           s.width = 1 << 20;
                                           s.height = 1 << 20;
                                           s.pixels = {0x00, 0x01};
                                       })},
        {"colour table past the end",
         [] {
             Bytes f = MakeBmp(Good8());
             f.resize(14 + 40 + 100);
             return f;
         }()},
        {"data offset past the end", Broken(Good24(), [](BmpSpec& s) { s.dataOffset = 100000; })},
        {"negative data offset", Broken(Good24(), [](BmpSpec& s) { s.dataOffset = 0xFFFFFFF0; })},
        {"data offset inside the header", Broken(Good24(), [](BmpSpec& s) { s.dataOffset = 20; })},
        {"unknown compression", Broken(Good24(), [](BmpSpec& s) { s.compression = 7; })},
        {"embedded JPEG", Broken(Good24(), [](BmpSpec& s) { s.compression = 4; })},
        {"bit count 2", Broken(Good8(), [](BmpSpec& s) { s.bits = 2; })},
        {"bit count 0", Broken(Good8(), [](BmpSpec& s) { s.bits = 0; })},
        {"bit count 64", Broken(Good24(), [](BmpSpec& s) { s.bits = 64; })},
        {"bit fields at 8 bits", Broken(Good8(),
                                        [](BmpSpec& s) {
                                            s.compression = BI_BITFIELDS;
                                            s.masks = {0xE0, 0x1C, 0x03};
                                        })},
        {"bit-field masks past the end",
         [] {
             BmpSpec s;
             s.bits = 16;
             s.compression = BI_BITFIELDS;
             Bytes f = MakeBmp(s);
             f.resize(14 + 40 + 6);
             return f;
         }()},
        {"RLE8 at 4 bits", Broken(Good8(),
                                  [](BmpSpec& s) {
                                      s.compression = BI_RLE8;
                                      s.bits = 4;
                                  })},
        {"RLE4 at 8 bits", Broken(Good8(), [](BmpSpec& s) { s.compression = BI_RLE4; })},
        {"top-down RLE", Broken(Good8(),
                                [](BmpSpec& s) {
                                    s.compression = BI_RLE8;
                                    s.height = -2;
                                })},
        {"OS/2 Huffman coding", Broken(Good24(),
                                       [](BmpSpec& s) {
                                           s.headerBytes = 64;
                                           s.bits = 1;
                                           s.compression = 3;
                                       })},
        {"OS/2 RLE24", Broken(Good24(),
                              [](BmpSpec& s) {
                                  s.headerBytes = 64;
                                  s.compression = 4;
                              })},
    };
    for (const auto& c : corpus)
        EXPECT_FALSE(Decodes(c.file)) << c.fault;
}

// Every cut of a good file short of its last pixel is refused (the last
// row's padding may be missing); RLE files decode what arrived. Nothing reads
// past the cut.
TEST_F(BmpMalformed, TruncatedAtEveryOffset)
{
    BmpSpec fields = Good24(3, 2);
    fields.bits = 32;
    fields.headerBytes = 124;
    fields.compression = BI_BITFIELDS;
    fields.masks = {0xFF0000, 0xFF00, 0xFF};
    fields.pixels.assign(24, 0x33);
    const struct {
        Bytes file;
        std::size_t lastRowPadding;
    } files[] = {{MakeBmp(Good24()), 0}, {MakeBmp(Good8()), 3}, {MakeBmp(fields), 0}};
    for (const auto& f : files) {
        const std::size_t complete = f.file.size() - f.lastRowPadding;
        for (std::size_t cut = 0; cut <= f.file.size(); ++cut)
            EXPECT_EQ(Decodes(Bytes(f.file.begin(), f.file.begin() + cut)), cut >= complete)
                << "cut at " << cut << " of " << f.file.size();
    }

    const Bytes rle = MakeBmp([] {
        BmpSpec s = Good8();
        s.compression = BI_RLE8;
        s.pixels = {0x03, 0x04, 0x00, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x01};
        return s;
    }());
    const std::size_t rleData = rle.size() - 12;
    for (std::size_t cut = 0; cut <= rle.size(); ++cut)
        EXPECT_EQ(Decodes(Bytes(rle.begin(), rle.begin() + cut)), cut >= rleData) << cut;
}

TEST_F(BmpMalformed, RleHeaderBeyondTheAllocationLimitIsRefused)
{
    AllocationLimit limit(1 << 20);
    BmpSpec s = Good8();
    s.compression = BI_RLE8;
    s.width = 2048;
    s.height = 1024;
    s.pixels = {0x00, 0x01};
    EXPECT_FALSE(Decodes(MakeBmp(s)));
    s.height = 512;
    EXPECT_TRUE(Decodes(MakeBmp(s)));
}

TEST_F(BmpMalformed, NullBufferIsRefused)
{
    TDibRecord d;
    EXPECT_FALSE(DecodeBmp(nullptr, 0, &d));
    EXPECT_EQ(d.Bits, nullptr);
}

} // namespace
