#include "quorscan/SaneSession.h"

#include <mutex>

namespace {
std::mutex sessionMutex;
int sessions = 0;
SANE_Status initStatus = SANE_STATUS_GOOD;
} // namespace

SaneSession::SaneSession()
{
    const std::lock_guard lock(sessionMutex);
    if (sessions++ == 0)
        initStatus = sane_init(nullptr, nullptr);
    status_ = initStatus;
}

SaneSession::~SaneSession()
{
    const std::lock_guard lock(sessionMutex);
    if (--sessions == 0 && initStatus == SANE_STATUS_GOOD)
        sane_exit();
}
