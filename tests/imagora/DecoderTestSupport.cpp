#include "DecoderTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include <fstream>
#include <iterator>
#include <sys/resource.h>

std::string DataFile(const std::string& relative)
{
    return std::string(KELVORA_TEST_DATA) + "/" + relative;
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

Bytes DibRgb(const TDibRecord& dib)
{
    Bytes rgb;
    const int bits = DibBitCount(dib);
    for (int y = 0; y < DibHeight(dib); ++y)
        for (int x = 0; x < DibWidth(dib); ++x) {
            const std::uint32_t v = getpixel(dib, x, y);
            if (bits <= 8) {
                const RGBQUAD& q = dib.Info->bmiColors[v];
                rgb.insert(rgb.end(), {q.rgbRed, q.rgbGreen, q.rgbBlue});
            } else {
                rgb.insert(rgb.end(), {GetRValue(v), GetGValue(v), GetBValue(v)});
            }
        }
    return rgb;
}

int MaxDifference(const Bytes& a, const Bytes& b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

long PeakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TempFolder::~TempFolder()
{
    std::filesystem::remove_all(path);
}

bool HaveMagick()
{
    static const bool have = std::system("convert -version >/dev/null 2>&1") == 0;
    return have;
}

bool Magick(const std::string& args)
{
    return std::system(("convert " + args + " 2>/dev/null").c_str()) == 0;
}

Bytes MagickRgb(const std::string& path, const std::string& options)
{
    TempFolder folder;
    const std::string raw = folder.File("magick.rgb");
    if (!Magick("'" + path + "[0]' " + options +
                " -background white -alpha remove -alpha off -depth 8 rgb:'" + raw + "'"))
        return {};
    return ReadBytes(raw);
}

void ExpectLikeMagick(Decoder decode, const std::string& path, int bits, int tolerance,
                      const std::string& options)
{
    SCOPED_TRACE(path);
    const Bytes file = ReadBytes(path);
    ASSERT_FALSE(file.empty());
    DibGuard dib;
    ASSERT_TRUE(decode(file.data(), file.size(), &dib.dib));
    ASSERT_NE(dib->Bits, nullptr);
    EXPECT_EQ(DibBitCount(dib.dib), bits);
    EXPECT_LE(MaxDifference(DibRgb(dib.dib), MagickRgb(path, options)), tolerance);
}

namespace {

// Every pixel of a decoded record is read, so a record that lies about its
// own size shows under the address sanitizer.
void ExpectConsistent(const TDibRecord& d)
{
    if (!d.Bits)
        return;
    EXPECT_EQ(d.Info->bmiHeader.biSizeImage, std::uint32_t(d.LineBytes * DibHeight(d)));
    std::uint32_t sum = 0;
    for (int y = 0; y < DibHeight(d); ++y)
        for (int x = 0; x < DibWidth(d); ++x)
            sum += getpixel(d, x, y);
    (void)sum;
}

} // namespace

void ExpectSurvivesDamage(Decoder decode, const Bytes& good, std::size_t tail)
{
    DibGuard full;
    ASSERT_TRUE(decode(good.data(), good.size(), &full.dib));
    const Bytes expected = DibRgb(full.dib);

    // Cut lengths: every one near both ends, a spread between.
    std::vector<std::size_t> cuts;
    for (std::size_t n = 0; n < good.size(); n += (n < 64 || n + 64 > good.size()) ? 1 : 37)
        cuts.push_back(n);
    for (std::size_t n : cuts) {
        // A copy of exactly n bytes, so the sanitizer sees any read past the end.
        const Bytes cut(good.begin(), good.begin() + std::ptrdiff_t(n));
        DibGuard d;
        const bool ok = decode(cut.data(), n, &d.dib);
        EXPECT_EQ(ok, d->Bits != nullptr) << "cut at " << n;
        if (n + tail < good.size()) {
            EXPECT_EQ(d->Bits, nullptr) << "cut at " << n << " of " << good.size();
        } else if (d->Bits) {
            EXPECT_EQ(DibRgb(d.dib), expected) << "cut at " << n << " gave another picture";
        }
    }

    const std::size_t header = std::min<std::size_t>(good.size(), 160);
    for (std::size_t i = 0; i < header; ++i)
        for (std::uint8_t value :
             {std::uint8_t(0x00), std::uint8_t(0xFF), std::uint8_t(good[i] ^ 0x80)}) {
            Bytes bad = good;
            bad[i] = value;
            DibGuard d;
            const bool ok = decode(bad.data(), bad.size(), &d.dib);
            EXPECT_EQ(ok, d->Bits != nullptr) << "byte " << i;
            ExpectConsistent(d.dib);
        }
}
