// The crop page's commands: the cut, the mirrors, the rotate and resize
// dialogs. Each runs its operation on the working image and installs the
// new picture with an undo copy of the old one.
#include "app/MainUnit.h"

#include "geometry/Crop.h"
#include "geometry/Mirror.h"
#include "geometry/Resize.h"
#include "geometry/ResizeForm.h"
#include "geometry/RotateForm.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"
#include "toolkit/PaintBox.h"

bool TMainForm::InstallGeometry(const TDibRecord& result, bool wholeSelection)
{
    if (!result.Bits)
        return false;
    if (wholeSelection)
        CropRect = RECT{0, 0, DibWidth(result), DibHeight(result)};
    InstallWorkDib(result);
    return true;
}

void TMainForm::CutBtnClick()
{
    // A selection left from an earlier picture counts as none.
    if (CheckCropRect(CropRect, WorkDib) != CropCheck::Fits) {
        MessageBox("Sie müssen zuerst einen Bereich mit der Maus aufziehen!", "Fehler",
                   MB_OK | MB_ICONERROR);
        SetProStatus(0);
        return;
    }
    TDibRecord cut;
    CropDib(WorkDib, CropRect, cut, *this);
    InstallGeometry(cut, true);
}

void TMainForm::MirrorHBtnClick()
{
    TDibRecord mirrored;
    MirrorH(WorkDib, mirrored, *this);
    InstallGeometry(mirrored, false);
}

void TMainForm::MirrorVBtnClick()
{
    TDibRecord mirrored;
    MirrorV(WorkDib, mirrored, *this);
    InstallGeometry(mirrored, false);
}

void TMainForm::RotateBtnClick()
{
    if (ShowModal(*RotateForm) != QDialog::Accepted)
        return;
    TDibRecord turned;
    RunRotation(WorkDib, RotateForm->Choice(), turned, *this);
    if (!InstallGeometry(turned, true))
        RetuschPaint->Repaint();
}

void TMainForm::SizeBtnClick()
{
    ResizeForm->SetPicture(DibWidth(WorkDib), DibHeight(WorkDib), DibBitCount(WorkDib) > 8);
    if (ShowModal(*ResizeForm) != QDialog::Accepted)
        return;
    const ResizeChoice size = ResizeForm->Choice();
    TDibRecord resized;
    DIBResize(WorkDib, size.Width, size.Height, size.Interpolate, resized, *this);
    if (!InstallGeometry(resized, true)) {
        MessageBox("Fehler beim Ändern der Größe...", {}, MB_OK | MB_ICONERROR);
        RetuschPaint->Repaint();
    }
}
