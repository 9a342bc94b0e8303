// The name and format the save dialog offers never cost a picture what it
// holds: the opened file's format when it can be written, PNG otherwise, and
// among the Netpbm kinds the one that keeps the picture whole.
#include "PictureSupport.h"

#include "io/SaveSuggestion.h"

namespace {

TEST(SaveSuggestion, TonesFollowTheColourTable)
{
    struct Case {
        int bits;
        std::vector<Rgb> table;
        PictureTones tones;
    };
    const Case cases[] = {
        {1, {{0, 0, 0}, {255, 255, 255}}, PictureTones::BlackAndWhite},
        {1, {{255, 255, 255}, {0, 0, 0}}, PictureTones::BlackAndWhite},
        {1, {{40, 40, 40}, {200, 200, 200}}, PictureTones::Grey},
        {1, {{255, 0, 0}, {0, 0, 255}}, PictureTones::Colour},
        {4, {{0, 0, 0}, {17, 17, 17}, {255, 255, 255}}, PictureTones::Grey},
        {8, {{0, 0, 0}, {9, 9, 10}}, PictureTones::Colour},
    };
    for (const Case& c : cases) {
        DibGuard d(PalettePicture(c.bits, c.table));
        EXPECT_EQ(TonesOf(d.dib), c.tones) << c.bits << " bits, " << c.table[1];
    }
    DibGuard photo(TrueColourRow({{10, 10, 10}}));
    EXPECT_EQ(TonesOf(photo.dib), PictureTones::Colour) << "24 bits: colours";
}

TEST(SaveSuggestion, TheOfferKeepsThePictureWhole)
{
    using enum PictureTones;
    struct Case {
        const char* opened;
        PictureTones tones;
        const char* offered;
        const char* format;
    };
    const Case cases[] = {
        {"/fotos/haus.ppm", Colour, "/fotos/haus.ppm", "Portable Anymap"},
        {"/fotos/haus.pbm", Colour, "/fotos/haus.ppm", "Portable Anymap"},
        {"/fotos/haus.ppm", Grey, "/fotos/haus.pgm", "Portable Anymap"},
        {"/fotos/haus.PGM", BlackAndWhite, "/fotos/haus.pbm", "Portable Anymap"},
        {"/fotos/haus.pnm", Colour, "/fotos/haus.pnm", "Portable Anymap"},
        {"/fotos/Haus.JPEG", Colour, "/fotos/Haus.JPEG", "JPEG-Bild"},
        {"/fotos/haus.tiff", Grey, "/fotos/haus.tiff", "TIFF-Bild"},
        {"/fotos/haus.gif", Colour, "/fotos/haus.png", "PNG-Bild"},
        {"/fotos/haus.webp", BlackAndWhite, "/fotos/haus.png", "PNG-Bild"},
        {"/fotos/v1.2/haus", Colour, "/fotos/v1.2/haus.png", "PNG-Bild"},
        {"/fotos/.haus", Colour, "/fotos/.haus.png", "PNG-Bild"},
        {"", Colour, "Bild.png", "PNG-Bild"},
    };
    for (const Case& c : cases) {
        const SaveSuggestion s = SuggestSave(c.opened, c.tones);
        const std::vector<SaveFormat> formats = SaveFormatsFor(c.tones);
        EXPECT_EQ(s.path, c.offered) << c.opened;
        ASSERT_LT(s.format, formats.size());
        EXPECT_EQ(formats[s.format].description, c.format) << c.opened;
    }
}

TEST(SaveSuggestion, ChoosingNetpbmOffersTheKindThatHoldsThePicture)
{
    for (const auto& [tones, first] :
         {std::pair{PictureTones::BlackAndWhite, "pbm"}, std::pair{PictureTones::Grey, "pgm"},
          std::pair{PictureTones::Colour, "ppm"}}) {
        for (const SaveFormat& f : SaveFormatsFor(tones)) {
            if (!f.netpbm)
                continue;
            EXPECT_EQ(f.extensions.front(), first);
            EXPECT_EQ(f.extensions.size(), 4u) << "every kind stays on offer";
        }
    }
}

} // namespace
