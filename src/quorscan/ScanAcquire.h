// One scan on an open device, from sane_start to the finished picture. It
// blocks while the scanner works, so the dialog runs it on a thread of its
// own; the command line runs it directly.
#pragma once

#include "imagora/DibRecord.h"

#include <sane/sane.h>

#include <csignal>
#include <functional>
#include <mutex>
#include <string>

struct ScanResult {
    TDibRecord picture{}; // owned by the receiver; no pixels when the scan failed
    std::string error;    // German, what went wrong and what to do; empty on success
    bool cancelled = false;
};

// Stops a running scan from any thread. sane_cancel is called from outside
// only while the scan waits in sane_read, as SANE allows; at any other moment
// the scan sees the request itself before its next call. (Backends are not
// safe against a cancel that overtakes sane_start: their reader is then left
// running.)
class ScanCancel {
public:
    ScanCancel() = default;
    // Also cancelled once *interrupted is set, as a signal handler sets it;
    // the scan sees it before it starts and after each read.
    explicit ScanCancel(const volatile std::sig_atomic_t* interrupted) : interrupted_(interrupted)
    {
    }

    void Request(SANE_Handle device);
    bool Requested() const;
    void Reset();
    // sane_read, unless a cancel was requested (SANE_STATUS_CANCELLED then).
    SANE_Status Read(SANE_Handle device, SANE_Byte* data, SANE_Int size, SANE_Int* length);

private:
    mutable std::mutex mutex_;
    bool requested_ = false;
    SANE_Handle reading_ = nullptr;
    const volatile std::sig_atomic_t* interrupted_ = nullptr;
};

// Reports progress in percent, or -1 while the picture's height is unknown.
using ScanProgress = std::function<void(int percent)>;

// Acquires every frame of one picture. Parameters are read after each
// sane_start, as they may change once the scan begins. Whatever happens, the
// scan ends with sane_cancel and nothing of a failed scan is kept.
ScanResult AcquireScan(SANE_Handle device, ScanCancel& cancel, const ScanProgress& progress);
