// The one reader of the open and save filter texts.
#include "imagora/DibWriter.h"
#include "imagora/FileFilter.h"
#include "imagora/Imagora.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(FileFilter, EntriesKeepTheirMasksAndNameTheirExtensionsInLowerCase)
{
    const std::vector<FilterEntry> entries =
        ParseFileFilter("Bilder (*.PNG;*.jpg)|*.PNG;*.jpg|Alle Dateien (*.*)|*.*|ohne Masken");
    ASSERT_EQ(entries.size(), 2u) << "a description without masks is no entry";
    EXPECT_EQ(entries[0].description, "Bilder (*.PNG;*.jpg)");
    EXPECT_EQ(entries[0].masks, "*.PNG;*.jpg");
    EXPECT_EQ(entries[0].extensions, (std::vector<std::string>{"png", "jpg"}));
    EXPECT_TRUE(entries[1].extensions.empty()) << "*.* names no extension";
    EXPECT_TRUE(ParseFileFilter("").empty());
}

TEST(FileFilter, NamesMatchByTheirLastExtensionInAnyCase)
{
    const char* filter = "PNG (*.png)|*.png|TIFF (*.tif;*.tiff)|*.tif;*.tiff";
    const struct {
        const char* name;
        bool matches;
    } cases[] = {{"a.png", true},       {"A.PnG", true},    {"dir/b.tiff", true},
                 {"b.tiff.bak", false}, {"png", false},     {"dir.png/file", false},
                 {".png", true},        {"a.jpg", false}};
    for (const auto& c : cases)
        EXPECT_EQ(FilterMatches(filter, c.name), c.matches) << c.name;
    EXPECT_EQ(FilterExtensions(filter), (std::vector<std::string>{"png", "tif", "tiff"}));
}

TEST(FileFilter, EveryFormatWrittenIsOneThatIsRead)
{
    const std::vector<std::string> read = FilterExtensions(GetDIBOpenFilter());
    for (const std::string& e : FilterExtensions(GetDIBSaveFilter()))
        EXPECT_NE(std::find(read.begin(), read.end(), e), read.end()) << e;
    // the first entry of the open filter is all of the others together
    const std::vector<FilterEntry> entries = ParseFileFilter(GetDIBOpenFilter());
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries[0].extensions, read);
}

} // namespace
