// The name a scan is offered to be saved under, after the moment it was
// scanned: "Scan 2026-12-10 14-05.png". A scan has no file of its own, and
// offering the name of the photo opened before would let one OK replace it.
#pragma once

#include <ctime>
#include <string>

// The name for a scan at that local time; copy 2 and on add " (2)", ...
std::string ScanFileName(const std::tm& time, int copy = 1);

// The path in folder for a scan at that moment, with the first copy number
// whose name the folder does not hold yet, so that two scans of one minute
// never meet under one name.
std::string FreeScanPath(const std::string& folder, std::time_t scanned);
