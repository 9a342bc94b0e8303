// Where long operations report their progress (percent, by convention
// 0..100; 0 at the start and at the end). The main window draws it in the
// status bar, the command line on the terminal.
#pragma once

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetProStatus(int percent) = 0;
};

class NullProgress final : public ProgressSink {
public:
    void SetProStatus(int) override {}
};

// The percentage reported before step i of n: i * 100 div (n - 1), and 0 when
// there is only one step, which would otherwise divide by zero.
constexpr int StepPercent(int i, int n)
{
    return n > 1 ? i * 100 / (n - 1) : 0;
}
