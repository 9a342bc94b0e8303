// What the corrections share: which depths they treat, their progress
// reports, how palette pictures keep Palette, colour table and palette object
// in step, and the order and extent of the pixel pass.
#include "PictureSupport.h"

#include "correct/Corrections.h"
#include "base/Palette.h"

#include <cstring>
#include <functional>
#include <string>

namespace {

struct NamedOperation {
    const char* name;
    std::function<void(TDibRecord&, ProgressSink&)> run;
};

// Each operator with arguments that change every test colour used below.
const std::vector<NamedOperation>& AllSix()
{
    static const std::vector<NamedOperation> ops = {
        {"Helligkeit", [](TDibRecord& d, ProgressSink& p) { Helligkeit(d, 20, p); }},
        {"Kontrast", [](TDibRecord& d, ProgressSink& p) { Kontrast(d, 150, p); }},
        {"Saettigung", [](TDibRecord& d, ProgressSink& p) { Saettigung(d, 50, p); }},
        {"Gamma", [](TDibRecord& d, ProgressSink& p) { Gamma(d, 2.5, p); }},
        {"HighMidShadow", [](TDibRecord& d, ProgressSink& p) { HighMidShadow(d, 250, 150, 5, p); }},
        {"RedGreenBlue", [](TDibRecord& d, ProgressSink& p) { RedGreenBlue(d, 30, -30, 20, p); }},
    };
    return ops;
}

bool TreatsOneBit(const NamedOperation& op)
{
    return std::string(op.name) == "Helligkeit" || std::string(op.name) == "Kontrast";
}

std::vector<Rgb> MidColours(int n)
{
    std::vector<Rgb> c;
    for (int i = 0; i < n; ++i)
        c.push_back(Rgb{60 + i % 100, 90 + i % 70, 70 + i % 120});
    return c;
}

std::vector<std::uint8_t> PixelBytes(const TDibRecord& d)
{
    return std::vector<std::uint8_t>(d.Bits, d.Bits + d.Info->bmiHeader.biSizeImage);
}

class CorrectionFrame : public LeakCheckedTest {};

TEST_F(CorrectionFrame, SixteenColoursReportEveryEntry)
{
    const std::vector<int> expected = {0,  0,  6,  13, 20, 26, 33, 40,  46,
                                       53, 60, 66, 73, 80, 86, 93, 100, 0};
    for (const NamedOperation& op : AllSix()) {
        DibGuard pic(PalettePicture(4, MidColours(16)));
        RecordingProgress progress;
        op.run(pic.dib, progress);
        EXPECT_EQ(progress.values, expected) << op.name;
    }
}

TEST_F(CorrectionFrame, TwoHundredFiftySixColoursCountTo100)
{
    DibGuard pic(PalettePicture(8, MidColours(256)));
    RecordingProgress progress;
    Saettigung(pic.dib, 40, progress);
    ASSERT_EQ(progress.values.size(), 258u);
    EXPECT_EQ(progress.values[3], 0) << "entry 2: 200 div 255";
    EXPECT_EQ(progress.values[4], 1) << "entry 3: 300 div 255";
    EXPECT_EQ(progress.values[129], 50) << "entry 128";
    EXPECT_EQ(progress.values[256], 100);
    EXPECT_EQ(progress.values[257], 0);
}

TEST_F(CorrectionFrame, RowsReportFromZeroTo100AndOneRowReportsZero)
{
    for (const NamedOperation& op : AllSix()) {
        DibGuard three(MakeDib(2, 3, 24, [](int, int) { return RGB(90, 100, 110); }));
        RecordingProgress p3;
        op.run(three.dib, p3);
        EXPECT_EQ(p3.values, (std::vector{0, 0, 50, 100, 0})) << op.name;

        DibGuard one(MakeDib(5, 1, 24, [](int, int) { return RGB(90, 100, 110); }));
        RecordingProgress p1;
        op.run(one.dib, p1);
        EXPECT_EQ(p1.values, (std::vector{0, 0, 0})) << op.name;
    }
}

TEST_F(CorrectionFrame, OneBitPicturesOnlyChangeForBrightnessAndContrast)
{
    for (const NamedOperation& op : AllSix()) {
        DibGuard pic(PalettePicture(1, {Rgb{10, 20, 30}, Rgb{200, 180, 160}}));
        const HPALETTE before = pic->PaletteHandle;
        RecordingProgress progress;
        op.run(pic.dib, progress);
        if (TreatsOneBit(op)) {
            EXPECT_EQ(progress.values, (std::vector{0, 0, 100, 0})) << op.name;
            EXPECT_NE(PaletteColour(pic.dib, 0), (Rgb{10, 20, 30})) << op.name;
            EXPECT_NE(PaletteColour(pic.dib, 1), (Rgb{200, 180, 160})) << op.name;
        } else {
            EXPECT_EQ(progress.values, (std::vector{0, 0})) << op.name;
            EXPECT_EQ(PaletteColour(pic.dib, 0), (Rgb{10, 20, 30})) << op.name;
            EXPECT_EQ(PaletteColour(pic.dib, 1), (Rgb{200, 180, 160})) << op.name;
            EXPECT_EQ(pic->PaletteHandle, before) << op.name << ": no new palette object";
        }
    }
}

TEST_F(CorrectionFrame, SixteenAndThirtyTwoBitPicturesAreLeftAlone)
{
    for (int bits : {16, 32}) {
        for (const NamedOperation& op : AllSix()) {
            DibGuard pic;
            newdib(&pic.dib, 5, 3, bits, nullptr, 0);
            ASSERT_NE(pic->Bits, nullptr);
            for (std::uint32_t i = 0; i < pic->Info->bmiHeader.biSizeImage; ++i)
                pic->Bits[i] = std::uint8_t(i * 29 + 7);
            const auto before = PixelBytes(pic.dib);
            RecordingProgress progress;
            op.run(pic.dib, progress);
            EXPECT_EQ(PixelBytes(pic.dib), before) << op.name << " at " << bits << " bits";
            EXPECT_EQ(progress.values, (std::vector{0, 0})) << op.name;
        }
    }
}

TEST_F(CorrectionFrame, EmptyRecordsChangeNothing)
{
    for (const NamedOperation& op : AllSix()) {
        TDibRecord empty;
        RecordingProgress progress;
        op.run(empty, progress);
        EXPECT_EQ(empty.Bits, nullptr) << op.name;
        EXPECT_EQ(empty.PaletteHandle, nullptr) << op.name;
        EXPECT_EQ(progress.values, (std::vector{0, 0})) << op.name;
    }
}

TEST_F(CorrectionFrame, PaletteChangesRenewThePaletteObjectAndKeepIndicesAndFlags)
{
    for (const NamedOperation& op : AllSix()) {
        for (int bits : {4, 8}) {
            const int n = 1 << bits;
            DibGuard pic(PalettePicture(bits, MidColours(n)));
            for (int i = 0; i < n; ++i) {
                pic->Palette.palPalEntry[i].peFlags = std::uint8_t(i + 1);
                pic->Info->bmiColors[i].rgbReserved = std::uint8_t(i + 2);
            }
            const auto indices = PixelBytes(pic.dib);
            const int palettes = LivePaletteCount();
            NullProgress progress;
            op.run(pic.dib, progress);

            EXPECT_EQ(LivePaletteCount(), palettes) << op.name << ": the old object is deleted";
            ASSERT_NE(pic->PaletteHandle, nullptr);
            ASSERT_EQ(pic->PaletteHandle->entries.size(), std::size_t(n));
            int changed = 0;
            for (int i = 0; i < n; ++i) {
                const PALETTEENTRY& e = pic->Palette.palPalEntry[i];
                const PALETTEENTRY& h = pic->PaletteHandle->entries[std::size_t(i)];
                EXPECT_EQ(std::memcmp(&e, &h, sizeof e), 0) << op.name << " entry " << i;
                EXPECT_EQ(e.peFlags, std::uint8_t(i + 1)) << op.name;
                EXPECT_EQ(pic->Info->bmiColors[i].rgbReserved, std::uint8_t(i + 2)) << op.name;
                changed += PaletteColour(pic.dib, i) != MidColours(n)[std::size_t(i)];
            }
            EXPECT_EQ(changed, n) << op.name << " at " << bits << " bits";
            EXPECT_EQ(PixelBytes(pic.dib), indices) << op.name << ": indices stay";
        }
    }
}

// Reports, at every progress call, which rows of the picture (from the top)
// have been corrected already.
class RowWatcher final : public ProgressSink {
public:
    RowWatcher(const TDibRecord& d, Rgb original) : dib_(d), original_(original) {}
    void SetProStatus(int) override
    {
        std::string rows;
        for (int y = 0; y < DibHeight(dib_); ++y)
            rows += PixelColour(dib_, 0, y) == original_ ? '.' : '#';
        seen.push_back(rows);
    }
    std::vector<std::string> seen;

private:
    const TDibRecord& dib_;
    Rgb original_;
};

TEST_F(CorrectionFrame, PixelsAreCorrectedRowByRowFromTheTop)
{
    for (const NamedOperation& op : AllSix()) {
        DibGuard pic(MakeDib(3, 4, 24, [](int, int) { return RGB(90, 100, 110); }));
        RowWatcher watcher(pic.dib, Rgb{90, 100, 110});
        op.run(pic.dib, watcher);
        EXPECT_EQ(watcher.seen,
                  (std::vector<std::string>{"....", "....", "#...", "##..", "###.", "####"}))
            << op.name;
    }
}

TEST_F(CorrectionFrame, PixelPassStopsAtTheRowsEndAndLeavesPaletteFieldsAlone)
{
    for (const NamedOperation& op : AllSix()) {
        // Width 3: nine pixel bytes and three bytes of padding per row.
        DibGuard pic(MakeDib(3, 2, 24, [](int x, int y) {
            return RGB(std::uint8_t(80 + x), std::uint8_t(100 + y), 120);
        }));
        ASSERT_EQ(pic->LineBytes, 12);
        for (int row = 0; row < 2; ++row)
            std::memset(pic->Bits + row * 12 + 9, 0xAB, 3);
        NullProgress progress;
        op.run(pic.dib, progress);
        for (int row = 0; row < 2; ++row)
            for (int i = 9; i < 12; ++i)
                EXPECT_EQ(pic->Bits[row * 12 + i], 0xAB) << op.name;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_NE(PixelColour(pic.dib, x, y), (Rgb{80 + x, 100 + y, 120})) << op.name;
        EXPECT_EQ(pic->PaletteHandle, nullptr) << op.name;
    }
}

TEST_F(CorrectionFrame, LargePicturesGiveTheColoursOfSmallOnes)
{
    // Over 2 MB of pixels, which large-picture shortcuts may treat
    // differently; every row is compared with the same row corrected as a
    // picture of its own. 1001 pixels leave a remainder after any grouping
    // of 2, 4 or 8 pixels.
    constexpr int w = 1001, h = 700;
    std::uint32_t seed = 1;
    const auto noise = [&](int, int) {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8 & 0xFFFFFF;
    };
    for (const NamedOperation& op : AllSix()) {
        seed = 1;
        DibGuard big(MakeDib(w, h, 24, noise));
        std::vector<DibGuard> rows(h);
        for (int y = 0; y < h; ++y) {
            newdib(&rows[std::size_t(y)].dib, w, 1, 24, nullptr, 0);
            std::memcpy(rows[std::size_t(y)]->Bits, DibRowFromTop(big.dib, y), 3 * w);
        }
        NullProgress progress;
        op.run(big.dib, progress);
        int differentRows = 0;
        for (int y = 0; y < h; ++y) {
            op.run(rows[std::size_t(y)].dib, progress);
            differentRows +=
                std::memcmp(rows[std::size_t(y)]->Bits, DibRowFromTop(big.dib, y), 3 * w) != 0;
        }
        EXPECT_EQ(differentRows, 0) << op.name;
    }
}

} // namespace
