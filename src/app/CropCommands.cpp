// The crop page's commands: the cut, the mirrors, the rotate and resize
// dialogs. Each runs its operation on the working image and installs the
// new picture with an undo copy of the old one.
#include "app/MainUnit.h"

#include "geometry/Crop.h"
#include "geometry/FindPhoto.h"
#include "geometry/Mirror.h"
#include "geometry/Resize.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"
#include "toolkit/PaintBox.h"
#include "toolkit/WaitCursor.h"

void TMainForm::CutBtnClick()
{
    // A selection left from an earlier picture counts as none.
    if (CheckCropRect(CropRect, WorkDib) != CropCheck::Fits) {
        MessageBox("Sie müssen zuerst einen Bereich mit der Maus aufziehen!", "Fehler",
                   MB_OK | MB_ICONERROR);
        SetProStatus(0);
        return;
    }
    ApplyStep(CropStep(CropRect, DibWidth(WorkDib), DibHeight(WorkDib)));
}

void TMainForm::MirrorHBtnClick()
{
    ApplyStep(MirrorStep(true));
}

void TMainForm::MirrorVBtnClick()
{
    ApplyStep(MirrorStep(false));
}

void TMainForm::RotateBtnClick()
{
    if (ShowModal(*RotateForm) != QDialog::Accepted)
        return;
    ApplyStep(RotateStep(RotateForm->Choice()));
}

void TMainForm::SizeBtnClick()
{
    ResizeForm->SetPicture(DibWidth(WorkDib), DibHeight(WorkDib), DibBitCount(WorkDib) > 8);
    if (ShowModal(*ResizeForm) != QDialog::Accepted)
        return;
    ApplyStep(ResizeStep(ResizeForm->Choice()));
}

namespace {

void SayNoPhoto(const char* caption)
{
    MessageBox("Auf dem Bild hebt sich kein Foto von einem gleichmäßigen Hintergrund ab.",
               caption, MB_OK | MB_ICONINFORMATION);
}

FoundPhoto FindPhotoWaiting(const TDibRecord& picture)
{
    const WaitCursor wait;
    return FindPhoto(picture);
}

} // namespace

void TMainForm::FindPhotoBtnClick()
{
    const FoundPhoto photo = FindPhotoWaiting(WorkDib);
    if (!photo.Found)
        return SayNoPhoto("Foto suchen");
    CropRect = photo.Bounds;
    RetuschPaint->Repaint();
}

void TMainForm::FindScannedPhoto()
{
    const FoundPhoto photo = FindPhotoWaiting(WorkDib);
    ScannedPhoto = photo.Found ? std::optional<RECT>(photo.Bounds) : std::nullopt;
}

void TMainForm::StraightenBtnClick()
{
    const FoundPhoto photo = FindPhotoWaiting(WorkDib);
    if (!photo.Found)
        return SayNoPhoto("Gerade ausrichten");
    for (const Step& step : StraightenSteps(photo))
        if (!ApplyStep(step))
            return;
}
