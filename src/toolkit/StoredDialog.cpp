#include "toolkit/StoredDialog.h"

TStoredDialog::TStoredDialog(const QString& storageGroup, QWidget* owner)
    : QDialog(owner), Storage(storageGroup)
{
}

void TStoredDialog::done(int result)
{
    Storage.SaveProps();
    QDialog::done(result);
}
