// Scanning instead of opening a file:
//   kelvora-cli --scan GERÄT [--scan-option NAME=WERT ...] [Operationen] -o AUSGABE
//   kelvora-cli --list-scanners
// The scan runs the scanner library's own acquisition, without its dialogs.
#pragma once

#include "imagora/DibRecord.h"
#include "base/ProgressSink.h"

#include <cstdio>
#include <string>
#include <vector>

struct CliScanRequest {
    bool scan = false;
    bool list = false;
    std::string device;
    std::vector<std::string> settings; // NAME=WERT, in the order given
};

// Takes --scan, --scan-option and --list-scanners out of args, wherever they
// stand; the device then stands first, where the input file would. False
// with a German message when an option lacks its argument.
bool TakeScanArguments(std::vector<std::string>& args, CliScanRequest& request, std::string& error);

// Applies the settings and scans into dib, which the caller then owns. False
// after a German message through MessageBox.
bool ScanForCli(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress);

// Prints the scanners, one a line: device name, vendor and model, type.
// An exit code.
int ListScannersForCli(std::FILE* out);

// The scanning itself, in the device module (CliDevices.h).
bool ScanPictureForCli(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress);
int ListScannersToStream(std::FILE* out);

// The usage lines of the scan options.
void PrintScanUsage(std::FILE* to);
