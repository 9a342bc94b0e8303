#include "TestSupport.h"

#include "app/PictureFingerprint.h"
#include "app/WorkingImage.h"
#include "geometry/Mirror.h"

#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace {

class WorkingImageTest : public LeakCheckedTest {
protected:
    void TearDown() override
    {
        images.Release();
        LeakCheckedTest::TearDown();
    }
    WorkingImage images;
};

bool SamePixels(const TDibRecord& a, const TDibRecord& b)
{
    return a.Bits && b.Bits && DibWidth(a) == DibWidth(b) && DibHeight(a) == DibHeight(b) &&
           DibBitCount(a) == DibBitCount(b) &&
           a.Info->bmiHeader.biSizeImage == b.Info->bmiHeader.biSizeImage &&
           std::memcmp(a.Bits, b.Bits, a.Info->bmiHeader.biSizeImage) == 0;
}

TDibRecord Gradient(int bits)
{
    return MakeDib(7, 5, bits, [](int x, int y) { return x + 3 * y; });
}

TEST_F(WorkingImageTest, DeepCopyIsIndependentAtEveryDepth)
{
    for (int bits : {1, 4, 8, 24}) {
        DibGuard src(Gradient(bits));
        DibGuard copy;
        MakeDIBCopy(src.dib, copy.dib);
        ASSERT_TRUE(SamePixels(src.dib, copy.dib)) << bits;
        EXPECT_NE(copy->Bits, src->Bits);
        EXPECT_NE(copy->Info, src->Info);
        setpixel(copy.dib, 0, 0, 1);
        EXPECT_EQ(getpixel(src.dib, 0, 0), 0u) << "pixels shared at " << bits << " bits";
        if (bits <= 8) {
            EXPECT_NE(copy->PaletteHandle, src->PaletteHandle);
            EXPECT_EQ(
                std::memcmp(copy->Info->bmiColors, src->Info->bmiColors, sizeof(RGBQUAD) << bits),
                0)
                << "the whole table of " << (1 << bits) << " colours is taken over";
            copy->Info->bmiColors[1].rgbRed = 77;
            EXPECT_NE(src->Info->bmiColors[1].rgbRed, 77);
        }
    }
}

TEST_F(WorkingImageTest, CopyOntoItselfAndOfAnEmptyRecord)
{
    DibGuard d(Gradient(8));
    TDibRecord original = d.dib;
    MakeDIBCopy(d.dib, d.dib);
    EXPECT_TRUE(SamePixels(original, d.dib));
    deldib(original);

    MessageBoxRecorder boxes;
    TDibRecord empty;
    MakeDIBCopy(TDibRecord{}, empty);
    EXPECT_EQ(empty.Bits, nullptr);
    EXPECT_TRUE(boxes.shown.empty()) << "copying nothing is silent";
}

TEST_F(WorkingImageTest, FailedCopyReportsAndYieldsAnEmptyRecord)
{
    DibGuard src(Gradient(24));
    MessageBoxRecorder boxes;
    AllocationLimit limit(16);
    TDibRecord copy;
    MakeDIBCopy(src.dib, copy);
    EXPECT_EQ(copy.Bits, nullptr);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Fehler: nicht genug Speicher für diese Operation!");
    EXPECT_EQ(boxes.shown[0].flags & 0xF0, MB_ICONERROR);
}

TEST_F(WorkingImageTest, AtStartTheBlankPictureHasNothingToUndo)
{
    images.CreateStartPictures();
    for (const TDibRecord* d : {&images.WorkDib, &images.OrigDib}) {
        EXPECT_EQ(DibWidth(*d), 320);
        EXPECT_EQ(DibHeight(*d), 240);
        EXPECT_EQ(DibBitCount(*d), 24);
    }
    NullProgress quiet;
    EXPECT_FALSE(images.Undo(quiet));
    EXPECT_EQ(images.Steps().Count(), 1);
}

TEST_F(WorkingImageTest, OpeningSetsTheBeforePictureAndUndoRestoresTheOpenedPicture)
{
    images.CreateStartPictures();
    TDibRecord opened = Gradient(24);
    images.InstallOpened(opened, "/tmp/x.bmp");
    EXPECT_EQ(images.WorkDib.Bits, opened.Bits) << "the loaded record itself is the work";
    EXPECT_TRUE(SamePixels(images.OrigDib, opened));
    EXPECT_EQ(images.FileName, "/tmp/x.bmp");

    DibGuard reference;
    MakeDIBCopy(opened, reference.dib);
    NullProgress quiet;
    ASSERT_EQ(images.Apply(CorrectStep(kModeHelligkeit, 3, 8), quiet).Error, "");
    EXPECT_FALSE(SamePixels(images.WorkDib, reference.dib));
    EXPECT_TRUE(images.Undo(quiet));
    EXPECT_TRUE(SamePixels(images.WorkDib, reference.dib));
    EXPECT_FALSE(images.Undo(quiet)) << "nothing before the file was opened";
    EXPECT_TRUE(SamePixels(images.WorkDib, reference.dib));
    // Undone, the working image shares the before picture's pixels again.
    ASSERT_EQ(images.Apply(CorrectStep(kModeHelligkeit, 3, 8), quiet).Error, "");
    EXPECT_TRUE(SamePixels(images.OrigDib, reference.dib));
}

TEST_F(WorkingImageTest, AStepThenUndoSelectsTheWholePicture)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "a.bmp");
    DibGuard before;
    MakeDIBCopy(images.WorkDib, before.dib);
    NullProgress quiet;
    ASSERT_EQ(images.Apply(CropStep(RECT{1, 1, 4, 3}, 7, 5), quiet).Error, "");
    EXPECT_EQ(DibWidth(images.WorkDib), 3);
    EXPECT_EQ(images.CropRect, (RECT{0, 0, 3, 2})) << "a cut selects the new picture";
    images.CropRect = RECT{1, 0, 2, 1};
    EXPECT_TRUE(images.Undo(quiet));
    EXPECT_TRUE(SamePixels(images.WorkDib, before.dib));
    EXPECT_EQ(images.CropRect, (RECT{0, 0, 7, 5}));
}

TEST_F(WorkingImageTest, UndoBringsBackTheFileNameAndMetadataWithThePixels)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "/tmp/photo.jpg");
    images.InstallScanned(Gradient(8), "test:0", 1000);
    EXPECT_EQ(images.FileName, "") << "a scan has no file";
    NullProgress quiet;
    images.Undo(quiet);
    EXPECT_EQ(images.FileName, "/tmp/photo.jpg") << "its camera data likewise (HistoryTest)";
    EXPECT_EQ(images.ScanTime, 0);

    images.InstallScanned(Gradient(8), "test:0", 2000);
    images.Apply(MirrorStep(true), quiet); // an edit of the scan
    images.Undo(quiet);
    EXPECT_EQ(images.ScanTime, 2000) << "the scan, before its edit";
}

TEST_F(WorkingImageTest, AStepThatFailsLeavesPictureAndHistoryAsTheyWere)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "a.bmp");
    const std::uint8_t* workBits = images.WorkDib.Bits;
    int changes = 0;
    images.Changed = [&] { ++changes; };
    NullProgress quiet;
    const StepResult outside = images.Apply(CropStep(RECT{0, 0, 8, 5}, 0, 0), quiet);
    EXPECT_TRUE(outside.BadArgument);
    {
        AllocationLimit limit(8); // neither a mirrored picture nor a correction's copy fits
        EXPECT_EQ(images.Apply(MirrorStep(true), quiet).Error,
                  "Fehler: nicht genug Speicher für diese Operation!");
        EXPECT_EQ(images.Apply(CorrectStep(kModeKontrast, 2, 8), quiet).Error,
                  "Fehler: nicht genug Speicher für diese Operation!");
    }
    EXPECT_EQ(images.WorkDib.Bits, workBits);
    EXPECT_TRUE(SamePixels(images.WorkDib, images.OrigDib)) << "the correction ran uncopied";
    EXPECT_EQ(images.Steps().Count(), 1);
    EXPECT_EQ(changes, 0);
    EXPECT_FALSE(images.WorkModified);
}

TEST_F(WorkingImageTest, AFailedMoveKeepsTheWorkingImage)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "a.bmp");
    images.SetHistoryBudget(1); // keeps only the opened picture: going back runs steps again
    NullProgress quiet;
    images.Apply(MirrorStep(true), quiet);
    images.Apply(MirrorStep(false), quiet);
    const std::uint8_t* workBits = images.WorkDib.Bits;
    {
        AllocationLimit limit(8);
        EXPECT_FALSE(images.Undo(quiet));
    }
    EXPECT_EQ(images.WorkDib.Bits, workBits) << "the user's picture was lost";
    EXPECT_EQ(images.Steps().Current(), 2);
    EXPECT_TRUE(images.Undo(quiet)) << "the history is whole for a later try";
}

// The before picture shares the opened pixels, so opening needs no memory
// for a copy; the first step that changes the picture in place copies them
// then, and says so when there is no memory for it.
TEST_F(WorkingImageTest, OpeningSharesThePixelsAndTheFirstChangeCopiesThem)
{
    images.CreateStartPictures();
    TDibRecord opened = MakeDib(400, 300, 24, [](int, int) { return 0x010203u; });
    NullProgress quiet;
    {
        AllocationLimit limit(300000); // the old pictures fit, copies of the new one do not
        images.InstallOpened(opened, "big.bmp");
        EXPECT_EQ(images.OrigDib.Bits, opened.Bits);
        EXPECT_EQ(images.Apply(CorrectStep(kModeHelligkeit, 3, 8), quiet).Error,
                  "Fehler: nicht genug Speicher für diese Operation!");
    }
    EXPECT_EQ(images.WorkDib.Bits, opened.Bits);
    EXPECT_EQ(getpixel(images.WorkDib, 0, 0), 0x010203u) << "nothing changed";
    ASSERT_EQ(images.Apply(CorrectStep(kModeHelligkeit, 3, 8), quiet).Error, "");
    EXPECT_NE(getpixel(images.WorkDib, 0, 0), 0x010203u);
    EXPECT_EQ(getpixel(images.OrigDib, 0, 0), 0x010203u) << "the before picture as opened";
    EXPECT_EQ(images.Steps().At(0).picture.Bits, opened.Bits) << "the shared pixels kept for undo";
}

TEST_F(WorkingImageTest, TheFingerprintSeesWhatAPictureHoldsAndNothingElse)
{
    // Five pixels a row: every depth has row padding, 1 and 4 bits unused bits.
    const struct {
        const char* change;
        void (*apply)(TDibRecord&);
        bool seen;
        bool palettesOnly;
        bool packedOnly;
    } rows[] = {
        {"the last pixel", [](TDibRecord& d) { setpixel(d, 4, 2, getpixel(d, 4, 2) ^ 1); }, true,
         false, false},
        {"a colour", [](TDibRecord& d) { d.Info->bmiColors[1].rgbGreen ^= 1; }, true, true, false},
        {"row padding", [](TDibRecord& d) { d.Bits[d.LineBytes - 1] ^= 0xFF; }, false, false,
         false},
        {"unused bits", [](TDibRecord& d) { d.Bits[(5 * DibBitCount(d)) / 8] ^= 0x01; }, false,
         false, true},
        {"a colour's reserved byte", [](TDibRecord& d) { d.Info->bmiColors[0].rgbReserved = 7; },
         false, true, false},
    };
    for (int bits : {1, 4, 8, 24}) {
        DibGuard base(MakeDib(5, 3, bits, [](int x, int y) { return std::uint32_t(x + y); }));
        for (const auto& r : rows) {
            if ((r.palettesOnly && bits > 8) || (r.packedOnly && bits >= 8))
                continue;
            DibGuard changed;
            MakeDIBCopy(base.dib, changed.dib);
            ASSERT_EQ(PictureFingerprint(changed.dib), PictureFingerprint(base.dib)) << bits;
            r.apply(changed.dib);
            EXPECT_EQ(PictureFingerprint(changed.dib) != PictureFingerprint(base.dib), r.seen)
                << r.change << " at " << bits << " bits";
        }
    }
    DibGuard wide(MakeDib(6, 2, 8, [](int, int) { return 0u; }));
    DibGuard tall(MakeDib(2, 6, 8, [](int, int) { return 0u; }));
    EXPECT_NE(PictureFingerprint(wide.dib), PictureFingerprint(tall.dib));
    EXPECT_NE(PictureFingerprint(TDibRecord{}), PictureFingerprint(wide.dib));
}

TEST_F(WorkingImageTest, OnlyAPictureUnlikeTheFileLastOpenedOrSavedIsUnsaved)
{
    NullProgress progress;
    const auto mirror = [&] { images.Apply(MirrorStep(true), progress); };
    const auto undo = [&] { images.Undo(progress); };
    const auto save = [this] { images.MarkSaved(); };
    images.CreateStartPictures();
    EXPECT_FALSE(images.PictureDiffersFromFile()) << "the blank start picture";
    images.InstallOpened(Gradient(24), "a.bmp");
    const struct {
        const char* step;
        std::function<void()> act;
        bool unsaved;
    } rows[] = {
        {"opened", [] {}, false},
        {"changed", mirror, true},
        {"changed back", mirror, false},
        {"changed again", mirror, true},
        {"undone to the opened picture", undo, false},
        {"changed and saved", [&] { mirror(), save(); }, false},
        {"changed after saving, into the opened picture", mirror, true},
        {"undone to the saved picture", undo, false},
    };
    for (const auto& r : rows) {
        r.act();
        EXPECT_EQ(images.PictureDiffersFromFile(), r.unsaved) << r.step;
    }
}

} // namespace
