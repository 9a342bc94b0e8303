#include "app/WorkingImage.h"

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
}

void WorkingImage::Release()
{
    deldib(WorkDib);
    deldib(OrigDib);
    deldib(UndoDib);
    WorkDib = OrigDib = UndoDib = TDibRecord{};
}

void WorkingImage::MakeCopyForUndo()
{
    deldib(UndoDib);
    TDibRecord copy;
    MakeDIBCopy(WorkDib, copy);
    UndoDib = copy;
}

void WorkingImage::UseUndoCopy()
{
    TDibRecord copy;
    MakeDIBCopy(UndoDib, copy);
    if (copy.Bits) {
        deldib(WorkDib);
        WorkDib = copy;
    }
    SelectWholePicture();
}

void WorkingImage::InstallOpened(const TDibRecord& opened, const std::string& path)
{
    FileName = path;
    Metadata = ReadPictureMetadata(path);
    TDibRecord orig, undo;
    MakeDIBCopy(opened, orig);
    MakeDIBCopy(opened, undo);
    deldib(WorkDib);
    deldib(OrigDib);
    deldib(UndoDib);
    OrigDib = orig;
    UndoDib = undo;
    WorkDib = opened;
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
    deldib(WorkDib);
    WorkDib = result;
}

void WorkingImage::SelectWholePicture()
{
    CropRect = RECT{0, 0, DibWidth(WorkDib), DibHeight(WorkDib)};
}
