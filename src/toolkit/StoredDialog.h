// A dialog whose settings come back at the next start: the subclass adds its
// controls to Storage and restores them once built; they are stored whenever
// the dialog closes, however it closes.
#pragma once

#include "toolkit/FormStorage.h"

#include <QDialog>

class TStoredDialog : public QDialog {
    Q_OBJECT
public:
    // storageGroup: the dialog's class name, the settings group it keeps.
    TStoredDialog(const QString& storageGroup, QWidget* owner);

    TFormStorage Storage;

    void done(int result) override;
};
