#include "app/WorkingImage.h"

#include "app/PictureFingerprint.h"
#include "imagora/Imagora.h"
#include "toolkit/MessageBox.h"

#include <cstring>

namespace {
const char* const kNoMemory = "Fehler: nicht genug Speicher für diese Operation!";
} // namespace

void MakeDIBCopy(const TDibRecord& Src, TDibRecord& Dst)
{
    const TDibRecord src = Src; // Src may be Dst
    TDibRecord copy;
    if (src.Bits) {
        NewDibLike(&copy, src);
        if (!copy.Bits)
            MessageBox(kNoMemory, "", MB_OK | MB_ICONERROR);
        else
            std::memcpy(copy.Bits, src.Bits, src.Info->bmiHeader.biSizeImage);
    }
    Dst = copy;
}

void WorkingImage::CreateStartPictures()
{
    newdib(&WorkDib, 320, 240, 24, nullptr, 0);
    newdib(&OrigDib, 320, 240, 24, nullptr, 0);
    FileFingerprint = PictureFingerprint(WorkDib);
    history_.Restart(OpenStep({}));
}

void WorkingImage::Release()
{
    deldib(WorkDib);
    deldib(OrigDib);
    WorkDib = OrigDib = TDibRecord{};
    history_.Restart(OpenStep({}));
}

StepResult WorkingImage::Apply(const Step& step, ProgressSink& progress)
{
    const StepRow& row = RowOf(step.Kind);
    TDibRecord before;
    bool swapped = false;
    if (StepInPlace(step) && (history_.Budget() > 0 || DibShared(WorkDib))) {
        // The picture the step changes is kept first, in memory the history
        // no longer needs where it has some.
        before = history_.TakeSpare(WorkDib);
        if (!before.Bits)
            NewDibLike(&before, WorkDib);
        if (!before.Bits)
            return {{}, kNoMemory};
        std::memcpy(before.Bits, WorkDib.Bits, WorkDib.Info->bmiHeader.biSizeImage);
        // Pixels the before picture of the result page shares stay as they
        // are: the step changes the copy, and they become the undo picture.
        swapped = DibShared(WorkDib);
        if (swapped)
            std::swap(before, WorkDib);
    }
    StepResult result = RunStep(step, WorkDib, progress);
    if (StepInPlace(step) && !result.Error.empty()) {
        // refused before it changed anything (a crop beyond the edges)
        if (swapped)
            std::swap(before, WorkDib);
        deldib(before);
        return result;
    }
    if (!StepInPlace(step)) {
        if (!result.Picture.Bits)
            return result;
        before = WorkDib;
        WorkDib = result.Picture;
        result.Picture = {};
    }
    history_.Push(step, before);
    WorkModified = true;
    if (row.SelectsWholePicture)
        SelectWholePicture();
    if (Changed)
        Changed();
    return result;
}

void WorkingImage::InstallOpened(const TDibRecord& opened, const std::string& path)
{
    Install(opened, path, true);
}

void WorkingImage::InstallForSaving(const TDibRecord& opened, const std::string& path)
{
    Install(opened, path, false);
}

void WorkingImage::Install(const TDibRecord& opened, const std::string& path, bool readPixels)
{
    WorkModified = false;
    const PictureOrigin origin{path, ReadPictureMetadata(path), 0};
    // The before picture shares the opened pixels until a step changes the
    // working image (Apply copies them then).
    TDibRecord orig;
    if (readPixels && history_.Budget() > 0)
        orig = ShareDib(opened);
    deldib(WorkDib);
    deldib(OrigDib);
    OrigDib = orig;
    WorkDib = opened;
    FileFingerprint = readPixels ? PictureFingerprint(WorkDib) : 0;
    history_.Restart(OpenStep(path), origin);
    // A selection of the last picture means nothing in this one, and a file
    // may arrive while the crop page shows.
    Settle();
}

void WorkingImage::InstallScanned(const TDibRecord& scanned, const std::string& device,
                                  std::time_t when)
{
    history_.Push(ScanStep(device), WorkDib, PictureOrigin{{}, {}, when});
    WorkDib = scanned;
    WorkModified = true;
    Settle();
}

bool WorkingImage::Undo(ProgressSink& progress)
{
    return history_.CanUndo() && GoTo(history_.Current() - 1, progress);
}

bool WorkingImage::Redo(ProgressSink& progress)
{
    return history_.CanRedo() && GoTo(history_.Current() + 1, progress);
}

bool WorkingImage::GoTo(int index, ProgressSink& progress)
{
    if (!history_.MoveTo(index, WorkDib, progress))
        return false;
    WorkModified = true;
    Settle();
    return true;
}

void WorkingImage::Settle()
{
    const PictureOrigin& origin = history_.Source();
    FileName = origin.FileName;
    Metadata = origin.Metadata;
    ScanTime = origin.ScanTime;
    SelectWholePicture();
    if (Changed)
        Changed();
}

void WorkingImage::SetHistoryBudget(std::size_t bytes)
{
    history_.SetBudget(bytes);
}

bool WorkingImage::PictureDiffersFromFile() const
{
    // Taken only when asked: a fingerprint of every change would cost each
    // click of the optimize page a pass over the picture.
    return WorkModified && PictureFingerprint(WorkDib) != FileFingerprint;
}

void WorkingImage::MarkSaved()
{
    WorkModified = false;
    FileFingerprint = PictureFingerprint(WorkDib);
}

void WorkingImage::SelectWholePicture()
{
    CropRect = RECT{0, 0, DibWidth(WorkDib), DibHeight(WorkDib)};
}
