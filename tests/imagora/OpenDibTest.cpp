#include "BmpBuilder.h"
#include "TestSupport.h"

#include "imagora/DibWriter.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

class OpenDibTest : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        std::filesystem::remove_all(dir);
        LeakCheckedTest::TearDown();
    }

    std::string Write(const std::string& name, const Bytes& bytes)
    {
        const std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return path;
    }

    std::string dir = MakeTempDir();
};

TDibRecord Open(const std::string& path)
{
    TDibRecord d;
    d.Bits = reinterpret_cast<std::uint8_t*>(&d); // OpenDib must overwrite whatever was there
    OpenDib(&d, path.c_str(), 0, nullptr);
    return d;
}

std::vector<std::string> Split(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, '|');)
        items.push_back(item);
    return items;
}

TEST_F(OpenDibTest, TheContentDecidesTheFormatNotTheName)
{
    BmpSpec bmp;
    bmp.width = 2;
    bmp.pixels = {1, 2, 3, 4, 5, 6, 0, 0};
    DibGuard a(Open(Write("really-a-bitmap.png", MakeBmp(bmp))));
    ASSERT_NE(a->Bits, nullptr);
    EXPECT_EQ(getpixel(a.dib, 1, 0), RGB(6, 5, 4));

    const std::string pgm = "P2 1 1 255 200";
    DibGuard b(Open(Write("grey.jpg", Bytes(pgm.begin(), pgm.end()))));
    ASSERT_NE(b->Bits, nullptr);
    EXPECT_EQ(getpixel(b.dib, 0, 0), 200u);
}

// Every format the writers make reaches its decoder under a neutral name.
TEST_F(OpenDibTest, EveryWrittenFormatOpensBySignature)
{
    DibGuard source(MakeDib(5, 4, 24, [](int x, int y) { return RGB(x * 60, y * 80, 100); }));
    for (const char* ext : {"bmp", "png", "jpg", "tif", "ppm"}) {
        SCOPED_TRACE(ext);
        const std::string written = dir + "/picture." + ext;
        ASSERT_TRUE(WriteDibFile(source.dib, written));
        const std::string neutral = dir + "/picture.data";
        std::filesystem::rename(written, neutral);
        DibGuard d(Open(neutral));
        ASSERT_NE(d->Bits, nullptr);
        EXPECT_EQ(DibWidth(d.dib), 5);
        EXPECT_EQ(DibHeight(d.dib), 4);
    }
}

TEST_F(OpenDibTest, WhatIsNoPictureOpensEmpty)
{
    const std::string text = "just some text, not a picture";
    const std::string bm = "BM and then nothing of a bitmap";
    const std::string pam = "P7\nWIDTH 1\n";
    const std::string paths[] = {
        Write("text.bmp", Bytes(text.begin(), text.end())),
        Write("broken.bmp", Bytes(bm.begin(), bm.end())),
        Write("arbitrary.pam", Bytes(pam.begin(), pam.end())),
        Write("empty.png", {}),
        dir + "/missing.bmp",
        dir, // a folder
    };
    for (const std::string& p : paths) {
        DibGuard d(Open(p));
        EXPECT_EQ(d->Bits, nullptr) << p;
        EXPECT_EQ(d->Info, nullptr) << p;
    }
    TDibRecord d;
    OpenDib(&d, nullptr, 0, nullptr);
    EXPECT_EQ(d.Bits, nullptr);
}

TEST_F(OpenDibTest, FilesBeyondTwoGibibytesAreNotRead)
{
    const std::string path = Write("huge.bmp", MakeBmp(BmpSpec{}));
    std::filesystem::resize_file(path, (std::uintmax_t(2) << 30) + 1); // sparse: costs no disk
    DibGuard d(Open(path));
    EXPECT_EQ(d->Bits, nullptr);
}

TEST_F(OpenDibTest, FilterListsEveryFormatAndAllOfThemFirst)
{
    const std::vector<std::string> items = Split(GetDIBOpenFilter());
    ASSERT_EQ(items.size() % 2, 0u) << "description and mask pairs";
    ASSERT_GE(items.size(), 14u);
    EXPECT_EQ(items[0].rfind("Alle Bilddateien (", 0), 0u);

    std::set<std::string> all, each;
    std::stringstream masks(items[1]);
    for (std::string m; std::getline(masks, m, ';');)
        all.insert(m);
    for (std::size_t i = 2; i < items.size(); i += 2) {
        EXPECT_NE(items[i].find("(" + items[i + 1] + ")"), std::string::npos)
            << "a description names its masks: " << items[i];
        std::stringstream in(items[i + 1]);
        for (std::string m; std::getline(in, m, ';');)
            each.insert(m);
    }
    EXPECT_EQ(all, each);
    for (const char* mask : {"*.bmp", "*.dib", "*.png", "*.jpg", "*.jpeg", "*.gif", "*.tif",
                             "*.tiff", "*.webp", "*.pbm", "*.pgm", "*.ppm", "*.pnm"})
        EXPECT_TRUE(all.count(mask)) << mask;
    for (const std::string& m : all)
        for (char c : m)
            EXPECT_FALSE(c >= 'A' && c <= 'Z') << m;
    EXPECT_EQ(GetDIBOpenFilter(), GetDIBOpenFilter()) << "one static text";
}

} // namespace
