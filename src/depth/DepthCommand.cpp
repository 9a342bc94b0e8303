// The crop page's "Farb-Anzahl...": the colour-count dialog, then a raise or,
// through the options dialog, a reduction of the working image.
#include "app/MainUnit.h"

#include "depth/DepthChangeForm.h"
#include "depth/DepthDialogState.h"
#include "depth/DepthDown.h"
#include "depth/DepthDownForm.h"
#include "depth/DepthUp.h"
#include "toolkit/ModalDialog.h"

#include <QComboBox>

namespace {

// A conversion that made no picture (a pair not converted, or no memory)
// leaves the working image as it was.
void SetWorkIfMade(WorkingImage& image, const TDibRecord& result)
{
    if (result.Bits)
        image.SetWork(result);
}

} // namespace

void TMainForm::CreateDepthForms()
{
    DepthChangeForm = new TDepthChangeForm(this);
    DepthDownForm = new TDepthDownForm(this);
}

void TMainForm::FTiefeBtnClick()
{
    DepthChangeForm->ColorBox->setCurrentIndex(ColorBoxItemFor(DibBitCount(WorkDib)));
    if (ShowModal(*DepthChangeForm) != QDialog::Accepted)
        return;
    // also when the options dialog is cancelled later, or nothing changes
    MakeCopyForUndo();
    const int target = TargetBitsFor(DepthChangeForm->ColorBox->currentIndex());
    switch (ChangeFor(DibBitCount(WorkDib), target)) {
    case DepthChange::Reduce:
        DepthDownTo(target);
        break;
    case DepthChange::Raise:
        DepthUpTo(target);
        break;
    case DepthChange::Keep:
        break;
    }
    RepaintWorkDib();
}

void TMainForm::DepthUpTo(int target)
{
    SetWorkIfMade(*this, ::DepthUpTo(WorkDib, target, *this));
}

void TMainForm::DepthDownTo(int target)
{
    SetProStatus(0);
    DepthDownForm->Prepare(target);
    if (ShowModal(*DepthDownForm) == QDialog::Accepted)
        SetWorkIfMade(*this, ::DepthDownTo(WorkDib, target, DepthDownForm->Choice(), *this));
    SetProStatus(0);
}
