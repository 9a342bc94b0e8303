#include "TestSupport.h"

#include "app/WorkingImage.h"

#include <cstring>

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

} // namespace
