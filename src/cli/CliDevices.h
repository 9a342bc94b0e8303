// The command line's rows that reach devices, printing and scanning. They
// need Qt's printing and SANE, whose libraries cost every run of the program
// about 17 ms to load, so they live in a module loaded the first time one of
// them runs. The table is the module's whole interface.
#pragma once

#include "cli/CliPrint.h"
#include "cli/CliScan.h"
#include "toolkit/MessageBox.h"

struct CliDeviceRows {
    // The module's messages go through this handler.
    MessageBoxHandler (*setMessageBoxHandler)(MessageBoxHandler handler);
    bool (*print)(const TDibRecord& dib, const PrintOptions& layout, CliPrintTo to,
                  const std::string& target);
    bool (*scan)(const CliScanRequest& request, TDibRecord& dib, ProgressSink& progress);
    int (*listScanners)(std::FILE* out);
};

// The module's name, and the one symbol it exports: a function returning its table.
inline constexpr char kCliDeviceModule[] = "kelvora-cli-devices.so";
inline constexpr char kCliDeviceRowsSymbol[] = "KelvoraCliDeviceRows";
