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

TEST_F(WorkingImageTest, UndoAtStartGivesTheBlankPicture)
{
    images.CreateStartPictures();
    for (const TDibRecord* d : {&images.WorkDib, &images.OrigDib, &images.UndoDib}) {
        EXPECT_EQ(DibWidth(*d), 320);
        EXPECT_EQ(DibHeight(*d), 240);
        EXPECT_EQ(DibBitCount(*d), 24);
    }
    setpixel(images.WorkDib, 5, 5, 0xFFFFFF);
    images.UseUndoCopy();
    EXPECT_EQ(getpixel(images.WorkDib, 5, 5), 0u);
    EXPECT_EQ(images.CropRect, (RECT{0, 0, 320, 240}));
}

TEST_F(WorkingImageTest, OpeningSetsAllThreeAndUndoRestoresTheOpenedPicture)
{
    images.CreateStartPictures();
    TDibRecord opened = Gradient(8);
    images.InstallOpened(opened, "/tmp/x.bmp");
    EXPECT_EQ(images.WorkDib.Bits, opened.Bits) << "the loaded record itself is the work";
    EXPECT_TRUE(SamePixels(images.OrigDib, opened));
    EXPECT_TRUE(SamePixels(images.UndoDib, opened));
    EXPECT_EQ(images.FileName, "/tmp/x.bmp");

    DibGuard reference;
    MakeDIBCopy(opened, reference.dib);
    setpixel(images.WorkDib, 1, 1, 200);
    images.UseUndoCopy();
    EXPECT_TRUE(SamePixels(images.WorkDib, reference.dib));
    images.UseUndoCopy(); // twice in a row: the same picture again
    EXPECT_TRUE(SamePixels(images.WorkDib, reference.dib));
}

TEST_F(WorkingImageTest, EditStepThenUndo)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "a.bmp");
    DibGuard before;
    MakeDIBCopy(images.WorkDib, before.dib);
    images.ReplaceWork(MakeDib(3, 2, 24, [](int, int) { return 0x123456u; }));
    EXPECT_EQ(DibWidth(images.WorkDib), 3);
    EXPECT_TRUE(SamePixels(images.UndoDib, before.dib));
    images.UseUndoCopy();
    EXPECT_TRUE(SamePixels(images.WorkDib, before.dib));
    EXPECT_EQ(images.CropRect, (RECT{0, 0, 7, 5}));
}

TEST_F(WorkingImageTest, UndoBringsBackTheFileNameAndMetadataWithThePixels)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "/tmp/photo.jpg");
    images.Metadata.jpegQuality = 64;
    images.InstallScan(Gradient(8), 1000);
    EXPECT_EQ(images.FileName, "") << "a scan has no file";
    EXPECT_EQ(images.Metadata.jpegQuality, 0);
    images.UseUndoCopy();
    EXPECT_EQ(images.FileName, "/tmp/photo.jpg");
    EXPECT_EQ(images.Metadata.jpegQuality, 64);
    EXPECT_EQ(images.ScanTime, 0);

    images.InstallScan(Gradient(8), 2000);
    images.ReplaceWork(Gradient(4)); // an edit of the scan
    images.UseUndoCopy();
    EXPECT_EQ(images.ScanTime, 2000) << "the scan, before its edit";
}

TEST_F(WorkingImageTest, FailedUndoCopyKeepsTheWorkingImage)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(24), "a.bmp");
    setpixel(images.WorkDib, 2, 2, 0xABCDEF);
    const std::uint8_t* workBits = images.WorkDib.Bits;
    MessageBoxRecorder boxes;
    {
        AllocationLimit limit(8);
        images.UseUndoCopy();
    }
    EXPECT_EQ(images.WorkDib.Bits, workBits) << "the user's picture was lost";
    EXPECT_EQ(getpixel(images.WorkDib, 2, 2), 0xABCDEFu);
    EXPECT_EQ(boxes.shown.size(), 1u) << "the failure is still reported";
    EXPECT_NE(images.UndoDib.Bits, nullptr) << "the undo copy stays for a later try";
}

TEST_F(WorkingImageTest, FailedUndoSnapshotLeavesUndoEmptyAndWorkIntact)
{
    images.CreateStartPictures();
    images.SetWork(Gradient(24)); // another size: the undo picture's memory does not fit
    MessageBoxRecorder boxes;
    {
        AllocationLimit limit(8);
        images.MakeCopyForUndo();
    }
    EXPECT_EQ(images.UndoDib.Bits, nullptr);
    EXPECT_NE(images.WorkDib.Bits, nullptr);
    images.UseUndoCopy(); // nothing to restore: the work stays
    EXPECT_NE(images.WorkDib.Bits, nullptr);
    EXPECT_EQ(boxes.shown.size(), 1u) << "copying the empty undo record is silent";
}

TEST_F(WorkingImageTest, UndoCopyReusesTheUndoMemoryOnlyForTheSameShape)
{
    images.CreateStartPictures();
    images.InstallOpened(Gradient(8), "a.bmp");
    setpixel(images.WorkDib, 3, 3, 99);
    const std::uint8_t* undoBits = images.UndoDib.Bits;
    images.MakeCopyForUndo();
    EXPECT_EQ(images.UndoDib.Bits, undoBits) << "same size, depth and colours: memory reused";
    EXPECT_TRUE(SamePixels(images.UndoDib, images.WorkDib));
    setpixel(images.WorkDib, 3, 3, 5);
    EXPECT_EQ(getpixel(images.UndoDib, 3, 3), 99u) << "still a copy of its own";

    // A changed colour table (a palette correction) needs a copy with that table.
    images.WorkDib.Info->bmiColors[7] = RGBQUAD{1, 2, 3, 0};
    images.MakeCopyForUndo();
    EXPECT_EQ(images.UndoDib.Info->bmiColors[7].rgbRed, 3);
    EXPECT_EQ(images.UndoDib.Palette.palPalEntry[7].peRed, 3) << "the palette follows the table";
    EXPECT_TRUE(SamePixels(images.UndoDib, images.WorkDib));

    images.SetWork(MakeDib(7, 6, 8, [](int, int) { return 1u; })); // one row more
    images.MakeCopyForUndo();
    EXPECT_EQ(DibHeight(images.UndoDib), 6);
    EXPECT_TRUE(SamePixels(images.UndoDib, images.WorkDib));
}

// Copies that fail say so in a message box, and a message box repaints the
// window behind it: every picture a pane may draw must still be alive then.
TEST_F(WorkingImageTest, OpeningCopiesTheNewPictureBeforeReleasingTheOldOnes)
{
    images.CreateStartPictures();
    const int before = LiveDibCount();
    TDibRecord opened = MakeDib(400, 300, 24, [](int, int) { return 0x010203u; });
    std::vector<int> liveWhenTold;
    std::uint32_t seen = 0;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const MessageBoxRequest&) {
        liveWhenTold.push_back(LiveDibCount());
        for (const TDibRecord* d : {&images.WorkDib, &images.OrigDib, &images.UndoDib})
            seen += getpixel(*d, 319, 239); // freed memory here is a fault ASan names
        return IDOK;
    });
    {
        AllocationLimit limit(300000); // the old pictures fit, copies of the new one do not
        images.InstallOpened(opened, "big.bmp");
    }
    SetMessageBoxHandler(std::move(previous));
    EXPECT_EQ(liveWhenTold, (std::vector<int>{before + 1, before + 1}))
        << "the three old pictures and the opened one";
    EXPECT_EQ(seen, 0u);
    EXPECT_EQ(images.WorkDib.Bits, opened.Bits);
    EXPECT_EQ(images.OrigDib.Bits, nullptr);
    EXPECT_EQ(images.UndoDib.Bits, nullptr);
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
    const auto mirror = [this] {
        TDibRecord mirrored;
        NullProgress progress;
        MirrorH(images.WorkDib, mirrored, progress);
        images.ReplaceWork(mirrored);
    };
    const auto undo = [this] { images.UseUndoCopy(); };
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
