#include "app/WorkingImage.h"

#include "app/PictureFingerprint.h"
#include "imagora/Imagora.h"
#include "toolkit/MessageBox.h"

#include <cstring>

void MakeDIBCopy(const TDibRecord& Src, TDibRecord& Dst)
{
    const TDibRecord src = Src; // Src may be Dst
    TDibRecord copy;
    if (src.Bits) {
        NewDibLike(&copy, src);
        if (!copy.Bits)
            MessageBox("Fehler: nicht genug Speicher für diese Operation!", "",
                       MB_OK | MB_ICONERROR);
        else
            std::memcpy(copy.Bits, src.Bits, src.Info->bmiHeader.biSizeImage);
    }
    Dst = copy;
}

void WorkingImage::CreateStartPictures()
{
    newdib(&WorkDib, 320, 240, 24, nullptr, 0);
    newdib(&OrigDib, 320, 240, 24, nullptr, 0);
    newdib(&UndoDib, 320, 240, 24, nullptr, 0);
    FileFingerprint = PictureFingerprint(WorkDib);
}

void WorkingImage::Release()
{
    deldib(WorkDib);
    deldib(OrigDib);
    deldib(UndoDib);
    WorkDib = OrigDib = UndoDib = TDibRecord{};
}

namespace {

// Whether a copy of from could go into to's memory: same size, depth and
// colour table.
bool SameShape(const TDibRecord& to, const TDibRecord& from)
{
    if (!to.Bits || !from.Bits || DibWidth(to) != DibWidth(from) ||
        DibHeight(to) != DibHeight(from) || DibBitCount(to) != DibBitCount(from))
        return false;
    const int colours = DibBitCount(from) <= 8 ? DibColorCount(from) : 0;
    return std::memcmp(to.Info->bmiColors, from.Info->bmiColors, sizeof(RGBQUAD) * colours) == 0;
}

} // namespace

void WorkingImage::MakeCopyForUndo()
{
    WorkModified = true; // every change of the working image comes after its undo copy
    UndoOrigin = {FileName, Metadata, ScanTime};
    // Every click of the optimize page comes here: a fresh copy of a large
    // picture would cost more than the correction itself.
    if (SameShape(UndoDib, WorkDib)) {
        std::memcpy(UndoDib.Bits, WorkDib.Bits, WorkDib.Info->bmiHeader.biSizeImage);
        return;
    }
    deldib(UndoDib);
    TDibRecord copy;
    MakeDIBCopy(WorkDib, copy);
    UndoDib = copy;
}

void WorkingImage::UseUndoCopy()
{
    WorkModified = true;
    TDibRecord copy;
    MakeDIBCopy(UndoDib, copy);
    if (copy.Bits) {
        deldib(WorkDib);
        WorkDib = copy;
        FileName = UndoOrigin.FileName;
        Metadata = UndoOrigin.Metadata;
        ScanTime = UndoOrigin.ScanTime;
    }
    SelectWholePicture();
}

void WorkingImage::InstallOpened(const TDibRecord& opened, const std::string& path)
{
    FileName = path;
    WorkModified = false;
    Metadata = ReadPictureMetadata(path);
    ScanTime = 0;
    UndoOrigin = {FileName, Metadata, ScanTime};
    TDibRecord orig, undo;
    MakeDIBCopy(opened, orig);
    MakeDIBCopy(opened, undo);
    deldib(WorkDib);
    deldib(OrigDib);
    deldib(UndoDib);
    OrigDib = orig;
    UndoDib = undo;
    WorkDib = opened;
    FileFingerprint = PictureFingerprint(WorkDib);
    // A selection of the last picture means nothing in this one, and a file
    // may arrive while the crop page shows.
    SelectWholePicture();
}

void WorkingImage::ReplaceWork(const TDibRecord& result)
{
    MakeCopyForUndo();
    SetWork(result);
}

void WorkingImage::SetWork(const TDibRecord& result)
{
    WorkModified = true;
    deldib(WorkDib);
    WorkDib = result;
}

void WorkingImage::InstallScan(const TDibRecord& scanned, std::time_t when)
{
    ReplaceWork(scanned);
    FileName.clear();
    Metadata = {};
    ScanTime = when;
}

void WorkingImage::SelectWholePicture()
{
    CropRect = RECT{0, 0, DibWidth(WorkDib), DibHeight(WorkDib)};
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
