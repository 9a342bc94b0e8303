#include "io/PrintImage.h"

#include "io/PrintForm.h"
#include "io/QtPrintTarget.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QPrintDialog>
#include <QPrinter>

void PrintImage(QWidget* owner, const TDibRecord& dib)
{
    QPrinter& printer = Printer();
    TPrintForm form(owner);
    form.PrintDib = dib;
    form.Page = QtPrintTarget(printer).Page();
    form.OnPrinterSetup = [&] {
        QPrintDialog setup(&printer, &form);
        setup.setWindowTitle(QStringLiteral("Drucker einrichten"));
        ShowModal(setup);
        return QtPrintTarget(printer).Page();
    };
    if (ShowModal(form) != QDialog::Accepted)
        return;
    QtPrintTarget target(printer);
    std::string error;
    if (!PrintDib(dib, form.Choice(), target, error))
        MessageBox(error, "Bild drucken", MB_OK | MB_ICONERROR);
}
