#include "TestSupport.h"

#include "imagora/DibWriter.h"

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

class DibWriter : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        fs::remove_all(dir);
        LeakCheckedTest::TearDown();
    }

    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // Names in the folder, so that tests see any temporary left behind.
    std::set<std::string> Listing() const
    {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.insert(e.path().filename().string());
        return names;
    }

    std::string dir = MakeTempDir();
};

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

TDibRecord Open(const std::string& path)
{
    TDibRecord d;
    OpenDib(&d, path.c_str(), 0, nullptr);
    return d;
}

// A palette picture whose table is colourful and distinct, with a pattern
// that uses every index.
TDibRecord PalettePicture(int width, int height, int bits)
{
    const int colours = 1 << bits;
    BITMAPINFO table{};
    for (int i = 0; i < colours; ++i)
        table.bmiColors[i] =
            RGBQUAD{std::uint8_t(i * 3), std::uint8_t(255 - i), std::uint8_t(i * 7 + 1), 0};
    TDibRecord d;
    newdib(&d, width, height, bits, &table, colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, std::uint32_t((x * 7 + y * 3) % colours));
    return d;
}

TDibRecord TrueColourPicture(int width, int height, int bits = 24)
{
    return MakeDib(width, height, bits, [bits](int x, int y) {
        if (bits == 16)
            return std::uint32_t((x * 5 + y * 3) & 0x7FFF);
        return RGB(std::uint8_t(x * 17), std::uint8_t(y * 29), std::uint8_t(x * y)) |
               (bits == 32 ? 0x7F000000u : 0u);
    });
}

// Smooth, as photos are, so that JPEG's error stays small.
TDibRecord Gradient(int width, int height)
{
    return MakeDib(width, height, 24, [](int x, int y) {
        return RGB(std::uint8_t(x * 4), std::uint8_t(y * 4), std::uint8_t(128 + x - y));
    });
}

COLORREF ColourAt(const TDibRecord& d, int x, int y)
{
    const std::uint32_t v = getpixel(d, x, y);
    const int bits = DibBitCount(d);
    if (bits <= 8) {
        const RGBQUAD& q = d.Info->bmiColors[v];
        return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
    }
    if (bits == 16) {
        auto widen = [](unsigned c) { return std::uint8_t((c * 255 + 15) / 31); };
        return RGB(widen((v >> 10) & 31), widen((v >> 5) & 31), widen(v & 31));
    }
    return v & 0xFFFFFF;
}

// The largest difference of any channel of any pixel.
int LargestError(const TDibRecord& a, const TDibRecord& b)
{
    EXPECT_EQ(DibWidth(a), DibWidth(b));
    EXPECT_EQ(DibHeight(a), DibHeight(b));
    int worst = 0;
    for (int y = 0; y < DibHeight(a); ++y) {
        for (int x = 0; x < DibWidth(a); ++x) {
            const COLORREF p = ColourAt(a, x, y), q = ColourAt(b, x, y);
            for (int shift : {0, 8, 16})
                worst =
                    std::max(worst, std::abs(int((p >> shift) & 255) - int((q >> shift) & 255)));
        }
    }
    return worst;
}

void ExpectSameIndices(const TDibRecord& a, const TDibRecord& b)
{
    ASSERT_EQ(DibBitCount(a), DibBitCount(b));
    for (int y = 0; y < DibHeight(a); ++y)
        for (int x = 0; x < DibWidth(a); ++x)
            ASSERT_EQ(getpixel(a, x, y), getpixel(b, x, y)) << x << ", " << y;
}

TEST_F(DibWriter, BitmapsKeepDepthColourTableAndPixels)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        DibGuard source(bits <= 8 ? PalettePicture(13, 5, bits) : TrueColourPicture(13, 5));
        ASSERT_TRUE(WriteDibFile(source.dib, Path("a.bmp")));
        const Bytes file = ReadBytes(Path("a.bmp"));
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(file[28], bits) << "biBitCount";
        EXPECT_EQ(file[30], 0) << "BI_RGB";
        EXPECT_EQ(file[25], 0) << "bottom-up: positive height";
        DibGuard back(Open(Path("a.bmp")));
        ExpectSameIndices(source.dib, back.dib);
        for (int i = 0; i < (bits <= 8 ? 1 << bits : 0); ++i)
            EXPECT_EQ(std::memcmp(&source->Info->bmiColors[i], &back->Info->bmiColors[i], 3), 0)
                << "table entry " << i;
    }
}

TEST_F(DibWriter, SixteenAndThirtyTwoBitBitmapsReadBackAsTheirColours)
{
    for (int bits : {16, 32}) {
        SCOPED_TRACE(bits);
        DibGuard source(TrueColourPicture(7, 3, bits));
        ASSERT_TRUE(WriteDibFile(source.dib, Path("a.bmp")));
        EXPECT_EQ(ReadBytes(Path("a.bmp"))[28], bits);
        DibGuard back(Open(Path("a.bmp")));
        EXPECT_EQ(LargestError(source.dib, back.dib), 0);
    }
}

TEST_F(DibWriter, PngKeepsPaletteDepthsAndTrueColour)
{
    for (int bits : {1, 4, 8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        DibGuard source(bits <= 8 ? PalettePicture(11, 6, bits) : TrueColourPicture(11, 6, bits));
        ASSERT_TRUE(WriteDibFile(source.dib, Path("a.png")));
        const Bytes file = ReadBytes(Path("a.png"));
        ASSERT_GE(file.size(), 26u);
        EXPECT_EQ(file[24], bits <= 8 ? bits : 8) << "IHDR bit depth";
        EXPECT_EQ(file[25], bits <= 8 ? 3 : 2) << "IHDR colour type: palette or RGB";
        DibGuard back(Open(Path("a.png")));
        ASSERT_NE(back->Bits, nullptr);
        EXPECT_EQ(LargestError(source.dib, back.dib), 0);
        if (bits <= 8) {
            EXPECT_EQ(DibBitCount(back.dib), bits);
        }
    }
}

TEST_F(DibWriter, TiffKeepsPaletteDepthsAndTrueColour)
{
    for (int bits : {1, 4, 8, 24}) {
        SCOPED_TRACE(bits);
        DibGuard source(bits <= 8 ? PalettePicture(9, 7, bits) : TrueColourPicture(9, 7));
        ASSERT_TRUE(WriteDibFile(source.dib, Path("a.tif")));
        DibGuard back(Open(Path("a.tif")));
        ASSERT_NE(back->Bits, nullptr);
        EXPECT_EQ(LargestError(source.dib, back.dib), 0);
        EXPECT_EQ(DibBitCount(back.dib), bits);
    }
}

// Where a JPEG's frame header says how many components it has.
int JpegComponents(const Bytes& file)
{
    for (std::size_t i = 2; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] >= 0xC0 && file[i + 1] <= 0xC2)
            return file[i + 9];
    return 0;
}

TEST_F(DibWriter, JpegStaysCloseAndGreyTablesGiveGreyJpegs)
{
    DibGuard photo(Gradient(48, 40));
    ASSERT_TRUE(WriteDibFile(photo.dib, Path("a.jpg"), nullptr, 95));
    EXPECT_EQ(JpegComponents(ReadBytes(Path("a.jpg"))), 3);
    DibGuard back(Open(Path("a.jpg")));
    ASSERT_NE(back->Bits, nullptr);
    EXPECT_LE(LargestError(photo.dib, back.dib), 12);

    DibGuard grey(MakeDib(32, 32, 8, [](int x, int y) { return std::uint32_t(x * 4 + y * 3); }));
    ASSERT_TRUE(WriteDibFile(grey.dib, Path("g.jpeg"), nullptr, 95));
    EXPECT_EQ(JpegComponents(ReadBytes(Path("g.jpeg"))), 1);
    DibGuard greyBack(Open(Path("g.jpeg")));
    EXPECT_LE(LargestError(grey.dib, greyBack.dib), 6);

    // A palette of colours is expanded through the table.
    DibGuard palette(PalettePicture(16, 16, 4));
    ASSERT_TRUE(WriteDibFile(palette.dib, Path("p.jpg"), nullptr, 100));
    EXPECT_EQ(JpegComponents(ReadBytes(Path("p.jpg"))), 3);
    DibGuard paletteBack(Open(Path("p.jpg")));
    EXPECT_EQ(DibBitCount(paletteBack.dib), 24);
}

TEST_F(DibWriter, JpegQualitySetsTheSize)
{
    DibGuard photo(TrueColourPicture(64, 64));
    ASSERT_TRUE(WriteDibFile(photo.dib, Path("low.jpg"), nullptr, 10));
    ASSERT_TRUE(WriteDibFile(photo.dib, Path("high.jpg"), nullptr, 98));
    ASSERT_TRUE(WriteDibFile(photo.dib, Path("clamped.jpg"), nullptr, 5000));
    EXPECT_LT(ReadBytes(Path("low.jpg")).size() * 2, ReadBytes(Path("high.jpg")).size());
    EXPECT_GE(ReadBytes(Path("clamped.jpg")).size(), ReadBytes(Path("high.jpg")).size());
}

TEST_F(DibWriter, NetpbmPicksBitmapGreyMapOrPixelMap)
{
    BITMAPINFO whiteFirst{};
    whiteFirst.bmiColors[0] = RGBQUAD{255, 255, 255, 0};
    TDibRecord inverted;
    newdib(&inverted, 10, 3, 1, &whiteFirst, 2);
    setpixel(inverted, 3, 1, 1);
    const struct {
        const char* name;
        TDibRecord picture;
        const char* magic;
        bool sameIndices;
    } cases[] = {
        {"black and white", MakeDib(10, 3, 1, [](int x, int y) { return (x + y) % 3 == 0; }), "P4",
         true},
        {"white and black", inverted, "P4", false},
        {"grey table", MakeDib(6, 2, 8, [](int x, int y) { return std::uint32_t(x * 40 + y); }),
         "P5", true},
        {"16 greys", MakeDib(6, 2, 4, [](int x, int) { return std::uint32_t(x); }), "P5", false},
        {"16 colours", PalettePicture(6, 2, 4), "P6", false},
        {"true colour", TrueColourPicture(6, 2), "P6", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DibGuard source(c.picture);
        ASSERT_TRUE(WriteDibFile(source.dib, Path("a.pnm")));
        const Bytes file = ReadBytes(Path("a.pnm"));
        EXPECT_EQ(std::string(file.begin(), file.begin() + 2), c.magic);
        DibGuard back(Open(Path("a.pnm")));
        EXPECT_EQ(LargestError(source.dib, back.dib), 0);
        if (c.sameIndices) {
            ExpectSameIndices(source.dib, back.dib);
        }
    }
}

TEST_F(DibWriter, NetpbmExtensionsGetTheKindTheyPromise)
{
    // red, green, blue, grey 127 and 128, white: lumas 76, 150, 29, 127, 128, 255
    const COLORREF colours[] = {RGB(255, 0, 0),     RGB(0, 255, 0),     RGB(0, 0, 255),
                                RGB(127, 127, 127), RGB(128, 128, 128), RGB(255, 255, 255)};
    DibGuard colour(MakeDib(6, 1, 24, [&](int x, int) { return colours[x]; }));
    DibGuard grey(MakeDib(6, 1, 8, [](int x, int) { return std::uint32_t(x * 50); }));

    const auto text = [this](const std::string& name) {
        const Bytes b = ReadBytes(Path(name));
        return std::string(b.begin(), b.end());
    };
    ASSERT_TRUE(WriteDibFile(colour.dib, Path("c.pgm")));
    EXPECT_EQ(text("c.pgm"), std::string("P5\n6 1\n255\n") + "\x4C\x96\x1D\x7F\x80\xFF");
    ASSERT_TRUE(WriteDibFile(colour.dib, Path("c.pbm")));
    EXPECT_EQ(text("c.pbm"), "P4\n6 1\n\xB0") << "1 is black: a luma below 128";
    ASSERT_TRUE(WriteDibFile(grey.dib, Path("g.ppm")));
    EXPECT_EQ(text("g.ppm").substr(0, 2), "P6");
    DibGuard back(Open(Path("g.ppm")));
    EXPECT_EQ(DibBitCount(back.dib), 24);
    EXPECT_EQ(LargestError(grey.dib, back.dib), 0);
    ASSERT_TRUE(WriteDibFile(grey.dib, Path("G.PBM"))); // extensions in any case
    EXPECT_EQ(text("G.PBM"), "P4\n6 1\n\xE0") << "greys 0, 50, 100 below the middle";
}

bool HaveImageMagick()
{
    return std::system("command -v convert >/dev/null 2>&1") == 0;
}

// Files that only our own decoders could read would be of little use.
TEST_F(DibWriter, ImageMagickReadsWhatWeWrite)
{
    if (!HaveImageMagick())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    auto readByImageMagick = [this](const std::string& path) {
        const std::string command =
            "convert '" + path + "' -depth 8 'ppm:" + Path("im.ppm") + "' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return Open(Path("im.ppm"));
    };
    for (int bits : {1, 4, 8, 24}) {
        DibGuard source(bits <= 8 ? PalettePicture(12, 5, bits) : TrueColourPicture(12, 5));
        for (const char* ext : {"bmp", "png", "tif", "pnm"}) {
            SCOPED_TRACE(std::to_string(bits) + " bits as " + ext);
            const std::string path = Path(std::string("a.") + ext);
            ASSERT_TRUE(WriteDibFile(source.dib, path));
            DibGuard theirs(readByImageMagick(path));
            ASSERT_NE(theirs->Bits, nullptr);
            EXPECT_EQ(LargestError(source.dib, theirs.dib), 0);
        }
    }
    DibGuard photo(Gradient(40, 24));
    ASSERT_TRUE(WriteDibFile(photo.dib, Path("a.jpg"), nullptr, 95));
    DibGuard theirs(readByImageMagick(Path("a.jpg")));
    ASSERT_NE(theirs->Bits, nullptr);
    EXPECT_LE(LargestError(photo.dib, theirs.dib), 12);
}

TEST_F(DibWriter, ExtensionsAreMatchedWithoutRegardToCase)
{
    DibGuard source(TrueColourPicture(3, 3));
    ASSERT_TRUE(WriteDibFile(source.dib, Path("UPPER.PNG")));
    EXPECT_EQ(ReadBytes(Path("UPPER.PNG"))[1], 'P');
    ASSERT_TRUE(WriteDibFile(source.dib, Path("Mixed.Tiff")));
    EXPECT_EQ(ReadBytes(Path("Mixed.Tiff"))[0], 'I');
}

TEST_F(DibWriter, RefusalsSayWhyInGermanAndWriteNothing)
{
    DibGuard source(TrueColourPicture(3, 3));
    TDibRecord empty;
    fs::create_directory(Path("sub.d"));
    WriteText(Path("plain-file"), "x");
    const struct {
        const char* name;
        const TDibRecord* picture;
        std::string path;
        const char* reason;
    } cases[] = {
        {"no pixels", &empty, Path("a.png"), "Das Bild enthält keine Bildpunkte."},
        {"unknown extension", &source.dib, Path("a.xyz"), "(möglich sind .bmp, .dib, .png"},
        {"no extension", &source.dib, Path("picture"), "Dateiendung"},
        {"a dot only in the folder name", &source.dib, Path("sub.d/picture"), "Dateiendung"},
        {"missing folder", &source.dib, Path("none/a.png"), "Der Ordner existiert nicht."},
        {"a file as the folder", &source.dib, Path("plain-file/a.png"), "existiert nicht"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::set<std::string> before = Listing();
        std::string error;
        EXPECT_FALSE(WriteDibFile(*c.picture, c.path, &error));
        EXPECT_EQ(error.rfind("Die Datei „" + c.path + "“ konnte nicht geschrieben werden: ", 0),
                  0u)
            << error;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(Listing(), before);
        EXPECT_FALSE(WriteDibFile(*c.picture, c.path)) << "no error text wanted";
    }
}

TEST_F(DibWriter, AFolderInTheWayStaysAndNoTemporaryRemains)
{
    DibGuard source(TrueColourPicture(3, 3));
    fs::create_directory(Path("taken.png"));
    std::string error;
    EXPECT_FALSE(WriteDibFile(source.dib, Path("taken.png"), &error));
    EXPECT_NE(error.find("Ordner"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_directory(Path("taken.png")));
    EXPECT_EQ(Listing(), std::set<std::string>{"taken.png"});
}

// A write that fails half-way (here: the process's file size limit) leaves
// the existing file exactly as it was.
TEST_F(DibWriter, FailedWriteKeepsTheExistingFile)
{
    WriteText(Path("keep.bmp"), "the user's old picture");
    DibGuard big(TrueColourPicture(200, 200)); // 120 kB as a bitmap

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string error;
    const bool written = WriteDibFile(big.dib, Path("keep.bmp"), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_NE(error.find("zu groß"), std::string::npos) << error;
    const Bytes kept = ReadBytes(Path("keep.bmp"));
    EXPECT_EQ(std::string(kept.begin(), kept.end()), "the user's old picture");
    EXPECT_EQ(Listing(), std::set<std::string>{"keep.bmp"});
}

// A folder that exists but takes no new files answers "no such file" when a
// file is created in it; that must not read as a missing folder.
TEST_F(DibWriter, AFolderThatTakesNoFilesIsNotCalledMissing)
{
    DibGuard source(TrueColourPicture(3, 3));
    std::string error;
    EXPECT_FALSE(WriteDibFile(source.dib, "/proc/kelvora-test.bmp", &error));
    EXPECT_NE(error.find("In diesem Ordner lassen sich keine Dateien anlegen."), std::string::npos)
        << error;
    EXPECT_EQ(error.find("existiert nicht"), std::string::npos) << error;
}

// A link to a device is written through, never replaced by a file: a full
// device says it is full, and the device stays a device.
TEST_F(DibWriter, DevicesAreWrittenIntoNotReplaced)
{
    DibGuard source(TrueColourPicture(64, 64));
    fs::create_symlink("/dev/full", Path("full.bmp"));
    fs::create_symlink("/dev/null", Path("null.png"));
    std::string error;
    EXPECT_FALSE(WriteDibFile(source.dib, Path("full.bmp"), &error));
    EXPECT_NE(error.find("Auf dem Datenträger ist nicht genug Platz."), std::string::npos) << error;
    EXPECT_TRUE(WriteDibFile(source.dib, Path("null.png"), &error)) << error;
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(Listing(), (std::set<std::string>{"full.bmp", "null.png"}));
}

// Every format goes out through the same buffered file; a picture larger
// than the buffer must arrive whole in each.
TEST_F(DibWriter, PicturesLargerThanTheWriteBufferArriveWhole)
{
    DibGuard source(TrueColourPicture(701, 601)); // 1.2 MB of pixels, rows padded
    for (const char* name : {"big.bmp", "big.ppm", "big.png", "big.tif"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteDibFile(source.dib, Path(name)));
        DibGuard back(Open(Path(name)));
        ASSERT_NE(back->Bits, nullptr);
        ASSERT_EQ(DibWidth(back.dib), 701);
        for (int y = 0; y < 601; y += 7)
            for (int x = 0; x < 701; x += 3)
                ASSERT_EQ(getpixel(back.dib, x, y), getpixel(source.dib, x, y)) << x << "," << y;
    }
}

TEST_F(DibWriter, BitmapRowPaddingIsZeroWhateverThePictureHolds)
{
    DibGuard source(TrueColourPicture(5, 3)); // 15 bytes a row, one of padding
    for (int y = 0; y < 3; ++y)
        source->Bits[y * source->LineBytes + 15] = 0xAB;
    ASSERT_TRUE(WriteDibFile(source.dib, Path("padded.bmp")));
    const Bytes file = ReadBytes(Path("padded.bmp"));
    ASSERT_EQ(file.size(), 54u + 3 * 16);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(file[54 + y * 16 + 15], 0) << "row " << y;
        EXPECT_EQ(file[54 + y * 16 + 14], source->Bits[y * source->LineBytes + 14]);
    }
}

TEST_F(DibWriter, ReplacingKeepsPermissionsAndSymbolicLinks)
{
    DibGuard source(TrueColourPicture(4, 4));
    WriteText(Path("old.png"), "old");
    fs::permissions(Path("old.png"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteDibFile(source.dib, Path("old.png")));
    EXPECT_EQ(ReadBytes(Path("old.png"))[1], 'P');
    EXPECT_EQ(fs::status(Path("old.png")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    fs::create_symlink("old.png", Path("link.png"));
    ASSERT_TRUE(WriteDibFile(source.dib, Path("link.png")));
    EXPECT_TRUE(fs::is_symlink(Path("link.png")));
    EXPECT_EQ(Listing(), (std::set<std::string>{"link.png", "old.png"}));
}

TEST_F(DibWriter, NewFilesFollowTheUmask)
{
    DibGuard source(TrueColourPicture(2, 2));
    const mode_t saved = umask(027);
    const bool written = WriteDibFile(source.dib, Path("new.bmp"));
    umask(saved);
    ASSERT_TRUE(written);
    EXPECT_EQ(fs::status(Path("new.bmp")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(DibWriter, PicturesTooWideForJpegAreRefusedWithTheLimit)
{
    DibGuard wide(TrueColourPicture(65501, 1));
    std::string error;
    EXPECT_FALSE(WriteDibFile(wide.dib, Path("wide.jpg"), &error));
    EXPECT_NE(error.find("höchstens 65500 Pixel"), std::string::npos) << error;
    EXPECT_TRUE(Listing().empty());
}

TEST_F(DibWriter, SaveFilterListsTheWrittenFormats)
{
    const std::string filter = GetDIBSaveFilter();
    for (const char* item : {"Windows-Bitmap (*.bmp;*.dib)|*.bmp;*.dib", "|*.png", "|*.jpg;",
                             "|*.tif;*.tiff", "|*.pbm;*.pgm;*.ppm;*.pnm"})
        EXPECT_NE(filter.find(item), std::string::npos) << item;
    EXPECT_EQ(filter.find("gif"), std::string::npos) << "GIF is read, not written";
}

} // namespace
