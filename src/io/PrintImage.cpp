#include "io/PrintImage.h"

#include "io/PrintForm.h"
#include "io/QtPrintTarget.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

void PrintImage(QWidget* owner, const TDibRecord& dib)
{
    QPrinter& printer = Printer();
    TPrintForm form(owner);
    form.PrintDib = dib;
    form.Page = QtPrintTarget(printer).Page();
    form.OnPrinterSetup = [&] {
        QPrintDialog setup(&printer, &form);
        setup.setWindowTitle(QStringLiteral("Drucker einrichten"));
        // It sets the printer up; the printing comes after the layout dialog.
        if (auto* buttons = setup.findChild<QDialogButtonBox*>())
            if (QPushButton* ok = buttons->button(QDialogButtonBox::Ok))
                ok->setText(QStringLiteral("&OK"));
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
