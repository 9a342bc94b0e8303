#include "toolkit/ModalDialog.h"

#include <QDialog>

#include <utility>

namespace {
ModalHandler& Handler()
{
    static ModalHandler handler;
    return handler;
}
} // namespace

int ShowModal(QDialog& dialog)
{
    if (!Handler())
        return dialog.exec();
    // As exec() would, the dialog ends with the result it is answered with.
    const int result = Handler()(dialog);
    dialog.setResult(result);
    return result;
}

ModalHandler SetModalHandler(ModalHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}
