#include "quorscan/ScanAcquire.h"

#include "quorscan/ScanImage.h"
#include "quorscan/ScanStatus.h"

#include <vector>

void ScanCancel::Request(SANE_Handle device)
{
    const std::lock_guard lock(mutex_);
    requested_ = true;
    if (reading_ == device)
        sane_cancel(device);
}

bool ScanCancel::Requested() const
{
    const std::lock_guard lock(mutex_);
    return requested_ || (interrupted_ && *interrupted_);
}

void ScanCancel::Reset()
{
    const std::lock_guard lock(mutex_);
    requested_ = false;
}

SANE_Status ScanCancel::Read(SANE_Handle device, SANE_Byte* data, SANE_Int size, SANE_Int* length)
{
    {
        const std::lock_guard lock(mutex_);
        if (requested_)
            return SANE_STATUS_CANCELLED;
        reading_ = device;
    }
    const SANE_Status status = sane_read(device, data, size, length);
    const std::lock_guard lock(mutex_);
    reading_ = nullptr;
    return status;
}

namespace {

// Reads the frames into builder; SANE_STATUS_GOOD once the last one ended.
SANE_Status ReadFrames(SANE_Handle device, ScanImageBuilder& builder, ScanCancel& cancel,
                       const ScanProgress& progress, std::string& error)
{
    std::vector<SANE_Byte> buffer(128 * 1024);
    for (;;) {
        if (cancel.Requested())
            return SANE_STATUS_CANCELLED;
        SANE_Status status = sane_start(device);
        if (status != SANE_STATUS_GOOD)
            return status;
        SANE_Parameters parameters{};
        status = sane_get_parameters(device, &parameters);
        if (status != SANE_STATUS_GOOD)
            return status;
        if (!builder.BeginFrame(parameters, error))
            return SANE_STATUS_INVAL;
        int shown = -2;
        for (;;) {
            SANE_Int length = 0;
            status = cancel.Read(device, buffer.data(), SANE_Int(buffer.size()), &length);
            if (cancel.Requested())
                return SANE_STATUS_CANCELLED;
            if (status == SANE_STATUS_EOF)
                break;
            if (status != SANE_STATUS_GOOD)
                return status;
            builder.Add(buffer.data(), std::size_t(length));
            if (builder.TooLarge())
                return SANE_STATUS_NO_MEM;
            const int percent = builder.Percent();
            if (progress && percent != shown)
                progress(shown = percent);
        }
        if (builder.EndFrame())
            return SANE_STATUS_GOOD;
    }
}

} // namespace

ScanResult AcquireScan(SANE_Handle device, ScanCancel& cancel, const ScanProgress& progress)
{
    ScanResult result;
    ScanImageBuilder builder;
    std::string error;
    const SANE_Status status = ReadFrames(device, builder, cancel, progress, error);
    sane_cancel(device); // ends the scan, also after the last frame
    if (cancel.Requested()) {
        result.cancelled = true;
    } else if (status != SANE_STATUS_GOOD) {
        result.error = error.empty() ? ScanStatusMessage(status) : error;
    } else {
        result.picture = builder.TakePicture(result.error);
    }
    return result;
}
