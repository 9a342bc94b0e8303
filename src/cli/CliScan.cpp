#include "cli/CliScan.h"

#include "cli/CliRun.h"
#include "quorscan/ScanAcquire.h"
#include "quorscan/ScanDevice.h"
#include "quorscan/ScanOptions.h"
#include "toolkit/MessageBox.h"

bool ScanPictureForCli(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress)
{
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
    ScanCancel never; // an interrupt ends the whole program
    ScanResult result = AcquireScan(device.Handle(), never, [&progress](int percent) {
        progress.SetProStatus(percent < 0 ? 0 : percent);
    });
    progress.SetProStatus(0);
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
                     d.type.c_str());
    return kCliOk;
}
