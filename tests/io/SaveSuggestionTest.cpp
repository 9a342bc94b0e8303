// The name and format the save dialog offers never cost a picture what it
// holds: the opened file's format when it can be written, PNG otherwise, and
// among the Netpbm kinds the one that keeps the picture whole.
#include "PictureSupport.h"

#include "io/SaveSuggestion.h"

namespace {

TEST(SaveSuggestion, TonesFollowTheColourTable)
{
    const std::tuple<int, std::vector<Rgb>, PictureTones> cases[] = {
        {1, {{0, 0, 0}, {255, 255, 255}}, PictureTones::BlackAndWhite},
        {1, {{255, 255, 255}, {0, 0, 0}}, PictureTones::BlackAndWhite},
        {1, {{40, 40, 40}, {200, 200, 200}}, PictureTones::Grey},
        {1, {{255, 0, 0}, {0, 0, 255}}, PictureTones::Colour},
        {4, {{0, 0, 0}, {17, 17, 17}, {255, 255, 255}}, PictureTones::Grey},
        {8, {{0, 0, 0}, {9, 9, 10}}, PictureTones::Colour},
    };
    for (const auto& [bits, table, tones] : cases) {
        DibGuard d(PalettePicture(bits, table));
        EXPECT_EQ(TonesOf(d.dib), tones) << bits << " bits, " << table[1];
    }
    DibGuard photo(TrueColourRow({{10, 10, 10}}));
    EXPECT_EQ(TonesOf(photo.dib), PictureTones::Colour) << "24 bits";
}

TEST(SaveSuggestion, TheOfferKeepsThePictureWhole)
{
    using enum PictureTones;
    struct Case {
        const char* opened;
        PictureTones tones;
        const char* offered;
        const char* type; // the offered type's first extension, which choosing it gives
    };
    const Case cases[] = {
        {"/fotos/haus.ppm", Colour, "/fotos/haus.ppm", "ppm"},
        {"/fotos/haus.pbm", Colour, "/fotos/haus.ppm", "ppm"},
        {"/fotos/haus.ppm", Grey, "/fotos/haus.pgm", "pgm"},
        {"/fotos/haus.PGM", BlackAndWhite, "/fotos/haus.pbm", "pbm"},
        {"/fotos/haus.pnm", Colour, "/fotos/haus.pnm", "ppm"},
        {"/fotos/Haus.JPEG", Colour, "/fotos/Haus.JPEG", "jpg"},
        {"/fotos/haus.tiff", Grey, "/fotos/haus.tiff", "tif"},
        {"/fotos/haus.gif", Colour, "/fotos/haus.png", "png"},
        {"/fotos/haus.webp", BlackAndWhite, "/fotos/haus.png", "png"},
        {"/fotos/v1.2/haus", Colour, "/fotos/v1.2/haus.png", "png"},
        {"/fotos/.haus", Colour, "/fotos/.haus.png", "png"},
        {"", Colour, "Bild.png", "png"},
    };
    for (const Case& c : cases) {
        const SaveSuggestion s = SuggestSave(c.opened, c.tones);
        const std::vector<SaveFormat> formats = SaveFormatsFor(c.tones);
        EXPECT_EQ(s.path, c.offered) << c.opened;
        ASSERT_LT(s.format, formats.size());
        EXPECT_EQ(formats[s.format].extensions.front(), c.type) << c.opened;
        EXPECT_EQ(formats.size(), 5u);
    }
}

} // namespace
