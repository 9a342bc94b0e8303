// SANE's texts in German from its own catalogue, read without gettext, and
// the names scans are offered under.
#include "TestSupport.h"

#include "quorscan/MessageCatalog.h"
#include "quorscan/SaneGerman.h"
#include "quorscan/ScanFileName.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// A catalogue laid out as msgfmt writes one, in either byte order.
std::string Catalogue(const Entries& entries, bool bigEndian)
{
    std::string out;
    auto word = [&](std::uint32_t w) {
        for (int i = 0; i < 4; ++i)
            out.push_back(char(w >> (bigEndian ? 24 - 8 * i : 8 * i)));
    };
    const auto n = std::uint32_t(entries.size());
    for (std::uint32_t w : {0x950412deu, 0u, n, 28u, 28 + 8 * n, 0u, 28 + 16 * n})
        word(w);
    std::string strings;
    const std::uint32_t at = 28 + 16 * n;
    for (bool translated : {false, true})
        for (const auto& [original, translation] : entries) {
            const std::string& s = translated ? translation : original;
            word(std::uint32_t(s.size()));
            word(at + std::uint32_t(strings.size()));
            strings += s + '\0';
        }
    return out + strings;
}

TEST(MessageCatalog, ReadsEitherByteOrderAndRefusesBrokenFiles)
{
    const Entries entries = {{"", "Content-Type: text/plain; charset=UTF-8\n"},
                             {"Gray", "Graustufen"},
                             {std::string("%d line\0%d lines", 16), std::string("%d Zeile\0x", 10)},
                             {"Untranslated", ""}};
    for (bool big : {false, true}) {
        MessageCatalog c;
        ASSERT_TRUE(c.Parse(Catalogue(entries, big))) << big;
        EXPECT_EQ(c.Size(), 2u) << "neither the header nor an empty translation";
        EXPECT_EQ(*c.Find("Gray"), "Graustufen");
        EXPECT_EQ(*c.Find("%d line"), "%d Zeile") << "a plural's first form";
        EXPECT_EQ(c.Find("Untranslated"), nullptr);
    }
    const std::string good = Catalogue(entries, false);
    std::string badMagic = good, hugeCount = good;
    badMagic[0] ^= 1;
    hugeCount.replace(8, 4, "\xff\xff\xff\x0f");
    for (const std::string& broken : {std::string(), good.substr(0, 20), badMagic, hugeCount,
                                      good.substr(0, good.size() - 5)}) {
        MessageCatalog c;
        EXPECT_FALSE(c.Parse(broken)) << broken.size();
        EXPECT_EQ(c.Size(), 0u) << broken.size();
    }
    EXPECT_FALSE(MessageCatalog().Load("/no/such/catalogue.mo"));
}

TEST(SaneGerman, OptionTextsAndDeviceKindsInGerman)
{
    EXPECT_EQ(SaneGerman("Scan mode"), "Scanmodus");
    EXPECT_EQ(SaneGerman("No such text"), "No such text");
    EXPECT_EQ(SaneDeviceType("virtual device"), "virtuelles Gerät") << "not in the catalogue";
    EXPECT_EQ(SaneDeviceType("eSCL network scanner"), "eSCL network scanner");
}

TEST(ScanFileName, TheMomentOfTheScanAndAFreeCopyNumber)
{
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mday = 2;
    t.tm_hour = 3;
    t.tm_min = 4;
    t.tm_isdst = -1;
    const std::time_t when = std::mktime(&t);
    const std::string folder = MakeTempDir();
    // The copies the folder holds already, and the name offered.
    const std::vector<std::pair<std::vector<int>, std::string>> rows = {
        {{}, "Scan 2026-01-02 03-04.png"},
        {{1}, "Scan 2026-01-02 03-04 (2).png"},
        {{1, 2, 3}, "Scan 2026-01-02 03-04 (4).png"},
    };
    for (const auto& [taken, expected] : rows) {
        for (int copy : taken)
            std::ofstream(folder + "/" + ScanFileName(t, copy)) << "x";
        EXPECT_EQ(FreeScanPath(folder, when), folder + "/" + expected) << taken.size();
    }
    std::filesystem::remove_all(folder);
}

} // namespace
