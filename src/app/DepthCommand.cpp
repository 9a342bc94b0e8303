// The crop page's "Farb-Anzahl...": the colour-count dialog, then a raise or,
// through the options dialog, a reduction of the working image.
#include "app/MainUnit.h"

#include "depth/DepthChangeForm.h"
#include "depth/DepthDialogState.h"
#include "depth/DepthDownForm.h"
#include "toolkit/ModalDialog.h"

#include <QComboBox>

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
    // The picture's own depth changes nothing and is no step.
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
}

void TMainForm::DepthUpTo(int target)
{
    ApplyStep(DepthStep(target, {}));
}

void TMainForm::DepthDownTo(int target)
{
    SetProStatus(0);
    DepthDownForm->Prepare(target);
    DepthDownForm->ShowPreviews(CopyDib(WorkDib)); // the step may free WorkDib at once
    const int answer = ShowModal(*DepthDownForm);
    DepthDownForm->StopPreviews();
    if (answer == QDialog::Accepted)
        ApplyStep(DepthStep(target, DepthDownForm->Choice()));
    SetProStatus(0);
}
