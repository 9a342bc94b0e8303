#include "cli/TerminalProgress.h"

#include <algorithm>
#include <string>

void TerminalProgress::SetProStatus(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == 0 && moved_) {
        Clear();
        return;
    }
    moved_ = moved_ || percent > 0;
    if (percent == shown_)
        return;
    const int filled = percent * width_ / 100;
    const std::string bar =
        std::string(std::size_t(filled), '#') + std::string(std::size_t(width_ - filled), ' ');
    std::fprintf(stream_, "\r[%s] %3d %%", bar.c_str(), percent);
    std::fflush(stream_);
    shown_ = percent;
}

void TerminalProgress::Clear()
{
    if (shown_ >= 0) {
        // "[", the bar, "] ", "100 %"
        std::fprintf(stream_, "\r%*s\r", width_ + 8, "");
        std::fflush(stream_);
    }
    shown_ = -1;
    moved_ = false;
}
