#include "quorscan/Quorscan.h"

#include "quorscan/ScanDialog.h"
#include "quorscan/ScannedPictures.h"
#include "quorscan/ScannerListDialog.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QSettings>

namespace {

QString Key(const char* name)
{
    return QStringLiteral("quorscan/") + QLatin1String(name);
}

} // namespace

std::string SelectedScanner()
{
    return QSettings().value(Key("Device")).toString().toStdString();
}

void TWAIN_SelectScanner(QWidget* window)
{
    TScannerListDialog dialog(SelectedScanner(), window);
    if (ShowModal(dialog) != QDialog::Accepted || !dialog.Chosen())
        return;
    const ScanDeviceInfo& chosen = *dialog.Chosen();
    QSettings settings;
    settings.setValue(Key("Device"), QString::fromStdString(chosen.name));
    settings.setValue(Key("Model"), QString::fromStdString(chosen.vendor + " " + chosen.model));
}

void TWAIN_ScanImage(QWidget* window)
{
    if (SelectedScanner().empty())
        TWAIN_SelectScanner(window);
    const std::string name = SelectedScanner();
    if (name.empty())
        return;
    ScanDevice device(name);
    if (!device.IsOpen()) {
        MessageBox(device.Error(), "Scannen", MB_OK | MB_ICONERROR);
        return;
    }
    const QString model = QSettings().value(Key("Model")).toString();
    TScanDialog dialog(device, window,
                       QStringLiteral("Scannen – ") +
                           (model.isEmpty() ? QString::fromStdString(name) : model),
                       window);
    ShowModal(dialog);
}

void GetScanedDib(TDibRecord* dib, std::intptr_t id)
{
    *dib = TakeScannedPicture(id);
}
