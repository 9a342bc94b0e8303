#include "cli/CliScan.h"

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
