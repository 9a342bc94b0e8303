#include "cli/CliScan.h"

#include "cli/CliRun.h"
#include "quorscan/SaneGerman.h"
#include "quorscan/ScanAcquire.h"
#include "quorscan/ScanDevice.h"
#include "quorscan/ScanOptions.h"
#include "toolkit/MessageBox.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int)
{
    interrupted = 1;
}

// Ctrl+C while scanning stops the scan through sane_cancel, which leaves the
// scanner ready for the next one; a second Ctrl+C ends the program at once.
class InterruptCatcher {
public:
    InterruptCatcher()
    {
        interrupted = 0;
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        // A read goes on to the next data, after which the flag is seen: a
        // cancel that meets the backend's reader starting up can hang it.
        action.sa_flags = SA_RESTART | SA_RESETHAND;
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptCatcher() { sigaction(SIGINT, &previous_, nullptr); }
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

private:
    struct sigaction previous_ {};
};

} // namespace

bool ScanPictureForCli(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress)
{
    const InterruptCatcher catcher;
    ScanDevice device(request.device);
    if (!device.IsOpen()) {
        MessageBox(device.Error(), {}, MB_OK | MB_ICONERROR);
        return false;
    }
    for (const std::string& setting : request.settings) {
        std::string error;
        if (!ApplyScanSetting(device.Handle(), setting, error)) {
            MessageBox(error, {}, MB_OK | MB_ICONERROR);
            return false;
        }
    }
    ScanCancel cancel(&interrupted);
    ScanResult result = AcquireScan(device.Handle(), cancel, [&progress](int percent) {
        progress.SetProStatus(percent < 0 ? 0 : percent);
    });
    progress.SetProStatus(0);
    if (result.cancelled) {
        MessageBox("Der Scan wurde mit Strg+C abgebrochen; es wurde keine Datei geschrieben.", {},
                   MB_OK | MB_ICONERROR);
        return false;
    }
    if (!result.picture.Bits) {
        MessageBox(result.error, {}, MB_OK | MB_ICONERROR);
        return false;
    }
    dib = result.picture;
    return true;
}

int ListScannersToStream(std::FILE* out)
{
    std::string error;
    const std::vector<ScanDeviceInfo> devices = ListScanDevices(error);
    if (!error.empty()) {
        MessageBox(error, {}, MB_OK | MB_ICONERROR);
        return kCliFailed;
    }
    if (devices.empty())
        MessageBox("Es wurde kein Scanner gefunden. Bitte schließen Sie den Scanner an und "
                   "schalten Sie ihn ein („scanimage -L“ zeigt, was SANE erkennt).",
                   {}, MB_OK | MB_ICONINFORMATION);
    for (const ScanDeviceInfo& d : devices)
        std::fprintf(out, "%s\t%s %s (%s)\n", d.name.c_str(), d.vendor.c_str(), d.model.c_str(),
                     SaneDeviceType(d.type).c_str());
    return kCliOk;
}
