// Keeps the SANE library initialised while any session lives. SANE has one
// process-wide state: the first session calls sane_init, the last sane_exit,
// so a device list, an open scanner and the command line can overlap.
#pragma once

#include <sane/sane.h>

class SaneSession {
public:
    SaneSession();
    ~SaneSession();
    SaneSession(const SaneSession&) = delete;
    SaneSession& operator=(const SaneSession&) = delete;

    // SANE_STATUS_GOOD when the library could be initialised.
    SANE_Status Status() const { return status_; }

private:
    SANE_Status status_;
};
