#include "cli/CliScan.h"

#include "cli/CliRun.h"
#include "quorscan/ScanAcquire.h"
#include "quorscan/ScanDevice.h"
#include "quorscan/ScanOptions.h"
#include "toolkit/MessageBox.h"

#include <iterator>

bool TakeScanArguments(std::vector<std::string>& args, CliScanRequest& request, std::string& error)
{
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--list-scanners") {
            request.list = true;
            continue;
        }
        if (a != "--scan" && a != "--scan-option") {
            rest.push_back(a);
            continue;
        }
        if (i + 1 == args.size()) {
            error = a + (a == "--scan" ? " braucht ein Argument: GERÄT (siehe --list-scanners)."
                                       : " braucht ein Argument: NAME=WERT.");
            return false;
        }
        if (a == "--scan") {
            request.scan = true;
            request.device = args[++i];
        } else {
            request.settings.push_back(args[++i]);
        }
    }
    if (!request.settings.empty() && !request.scan) {
        error = "--scan-option gilt nur zusammen mit --scan GERÄT.";
        return false;
    }
    if (request.scan)
        rest.insert(rest.begin(), request.device);
    args = std::move(rest);
    return true;
}

bool ScanForCli(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress)
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

int ListScannersForCli(std::FILE* out)
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

void PrintScanUsage(std::FILE* to)
{
    std::fprintf(to,
                 "\nScannen statt öffnen:\n"
                 "  kelvora-cli --scan GERÄT [--scan-option NAME=WERT ...] [Operationen] -o "
                 "AUSGABE\n"
                 "  %-16s %s\n  %-16s %s\n  %-16s %s\n",
                 "--scan GERÄT", "scannt vom Gerät statt EINGABE zu öffnen", "--scan-option",
                 "NAME=WERT, eine Einstellung des Scanners (etwa resolution=300)",
                 "--list-scanners", "zeigt die Scanner, die SANE findet");
}
