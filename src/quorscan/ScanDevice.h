// The scanners SANE knows, and one of them opened for options and scans.
#pragma once

#include "quorscan/SaneSession.h"

#include <functional>
#include <string>
#include <vector>

struct ScanDeviceInfo {
    std::string name; // what sane_open takes, such as "genesys:libusb:001:004"
    std::string vendor;
    std::string model;
    std::string type; // "flatbed scanner", "virtual device", ...
};

// The devices SANE reports, local and on the network. When SANE itself fails
// the list is empty and error holds a German message; an empty list with an
// empty error means no scanner is connected.
std::vector<ScanDeviceInfo> ListScanDevices(std::string& error);

// What ListScanDevices asks in place of SANE, such as a search that takes its
// time; nullptr asks SANE again. Returns the search installed before.
using ScanDeviceSearch = std::function<std::vector<ScanDeviceInfo>(std::string& error)>;
ScanDeviceSearch SetScanDeviceSearch(ScanDeviceSearch search);

// An open scanner, closed again when the object ends.
class ScanDevice {
public:
    explicit ScanDevice(const std::string& name);
    ~ScanDevice();
    ScanDevice(const ScanDevice&) = delete;
    ScanDevice& operator=(const ScanDevice&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    // Why the device could not be opened, in German.
    const std::string& Error() const { return error_; }
    SANE_Handle Handle() const { return handle_; }
    const std::string& Name() const { return name_; }

private:
    SaneSession session_; // first member: the library outlives the handle
    std::string name_;
    SANE_Handle handle_ = nullptr;
    std::string error_;
};
