#include "toolkit/FixedDialog.h"

#include <QScreen>

TFixedDialog::TFixedDialog(const QString& storageGroup, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      Storage(storageGroup)
{
    setAttribute(Qt::WA_WindowPropagation); // the owner's font, as its other controls have
}

void TFixedDialog::done(int result)
{
    Storage.SaveProps();
    QDialog::done(result);
}

void TFixedDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}
