// A dialog with a fixed border and only a system menu, centred on the screen
// whenever it is shown, whose stored settings come back at the next start:
// the subclass adds its controls to Storage and restores them once built;
// they are stored whenever the dialog closes.
#pragma once

#include "toolkit/FormStorage.h"

#include <QDialog>

class TFixedDialog : public QDialog {
    Q_OBJECT
public:
    // storageGroup: the dialog's class name, the settings group it keeps.
    TFixedDialog(const QString& storageGroup, QWidget* owner);

    TFormStorage Storage;

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
};
