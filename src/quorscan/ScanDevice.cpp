#include "quorscan/ScanDevice.h"

#include "quorscan/ScanStatus.h"

#include <mutex>
#include <utility>

namespace {

const char* const kMissingSane =
    "Die Scanner-Bibliothek SANE ließ sich nicht starten. Bitte installieren Sie die Pakete "
    "libsane1 und sane-utils.";

std::string Text(const char* s)
{
    return s ? s : "";
}

std::mutex searchMutex;
ScanDeviceSearch installedSearch;

ScanDeviceSearch InstalledSearch()
{
    const std::lock_guard lock(searchMutex);
    return installedSearch;
}

} // namespace

ScanDeviceSearch SetScanDeviceSearch(ScanDeviceSearch search)
{
    const std::lock_guard lock(searchMutex);
    return std::exchange(installedSearch, std::move(search));
}

std::vector<ScanDeviceInfo> ListScanDevices(std::string& error)
{
    error.clear();
    if (const ScanDeviceSearch search = InstalledSearch())
        return search(error);
    const SaneSession session;
    if (session.Status() != SANE_STATUS_GOOD) {
        error = kMissingSane;
        return {};
    }
    const SANE_Device** list = nullptr;
    const SANE_Status status = sane_get_devices(&list, SANE_FALSE);
    if (status != SANE_STATUS_GOOD) {
        error = ScanStatusMessage(status);
        return {};
    }
    std::vector<ScanDeviceInfo> devices;
    for (int i = 0; list && list[i]; ++i)
        devices.push_back({Text(list[i]->name), Text(list[i]->vendor), Text(list[i]->model),
                           Text(list[i]->type)});
    return devices;
}

ScanDevice::ScanDevice(const std::string& name) : name_(name)
{
    if (session_.Status() != SANE_STATUS_GOOD) {
        error_ = kMissingSane;
        return;
    }
    const SANE_Status status = sane_open(name.c_str(), &handle_);
    if (status == SANE_STATUS_GOOD)
        return;
    handle_ = nullptr;
    // Backends answer an unknown or unplugged device with INVAL.
    error_ = status == SANE_STATUS_INVAL
                 ? "Der Scanner „" + name +
                       "“ wurde nicht gefunden. Bitte prüfen Sie, ob er angeschlossen und "
                       "eingeschaltet ist, und wählen Sie ihn neu aus („scanimage -L“ zeigt die "
                       "Scanner, die SANE erkennt)."
                 : ScanStatusMessage(status);
}

ScanDevice::~ScanDevice()
{
    if (handle_)
        sane_close(handle_);
}
