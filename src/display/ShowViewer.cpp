// The click on the optimize page's current picture opens the viewer on it.
#include "app/MainUnit.h"

#include "display/ViewPicForm.h"
#include "toolkit/ModalDialog.h"

void TMainForm::PaintBox2MouseDown()
{
    // Made once, so that the zoom stays from one showing to the next.
    if (!ViewPicForm)
        ViewPicForm = new TViewPicForm(this);
    ViewPicForm->ViewDib = WorkDib;
    ViewPicForm->PicFileName = FileName;
    ShowModal(*ViewPicForm);
}
