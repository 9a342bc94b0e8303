#include "quorscan/Quorscan.h"

#include "quorscan/SaneWait.h"
#include "quorscan/ScanDialog.h"
#include "quorscan/ScannedPictures.h"
#include "quorscan/ScannerListDialog.h"
#include "toolkit/MessageBox.h"
#include "toolkit/ModalDialog.h"

#include <QSettings>

#include <memory>

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
    std::optional<FoundScanners> found = SearchForScanners(window);
    if (!found)
        return;
    TScannerListDialog dialog(SelectedScanner(), std::move(*found), window);
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
    const QString model = QSettings().value(Key("Model")).toString();
    const QString shown = model.isEmpty() ? QString::fromStdString(name) : model;
    // sane_open asks a network scanner, which takes its time to answer.
    std::optional<std::unique_ptr<ScanDevice>> device =
        WaitForSaneResult<std::unique_ptr<ScanDevice>>(
            window, QStringLiteral("Der Scanner „%1“ wird geöffnet …").arg(shown),
            [name] { return std::make_unique<ScanDevice>(name); });
    if (!device)
        return;
    if (!(*device)->IsOpen()) {
        MessageBox((*device)->Error(), "Scannen", MB_OK | MB_ICONERROR);
        return;
    }
    TScanDialog dialog(**device, window, QStringLiteral("Scannen – ") + shown, window);
    ShowModal(dialog);
}

void GetScanedDib(TDibRecord* dib, std::intptr_t id)
{
    *dib = TakeScannedPicture(id);
}
