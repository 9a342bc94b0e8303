// Progress of long operations as a bar on a terminal line:
//   [##########                    ]  33 %
#pragma once

#include "base/ProgressSink.h"

#include <cstdio>

class TerminalProgress final : public ProgressSink {
public:
    explicit TerminalProgress(std::FILE* stream, int barWidth = 40)
        : stream_(stream), width_(barWidth)
    {
    }

    // Operations report 0 at their start and again at their end; the end
    // takes the bar off the line.
    void SetProStatus(int percent) override;

    // Takes the bar off the line, e.g. before a message is printed.
    void Clear();

private:
    std::FILE* stream_;
    int width_;
    int shown_ = -1;     // the percentage on the line; -1 none
    bool moved_ = false; // past 0 since the operation started
};
