// Shared helpers of the test programs.
#pragma once

#include "base/GdiObjects.h"
#include "imagora/Imagora.h"
#include "toolkit/MessageBox.h"
#include "base/ProgressSink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// A test whose pictures and palettes must all be released by its end.
class LeakCheckedTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    int dibs_ = 0;
    int palettes_ = 0;
    int objects_ = 0;
};

// Records every progress report.
class RecordingProgress final : public ProgressSink {
public:
    void SetProStatus(int percent) override { values.push_back(percent); }
    std::vector<int> values;
};

// Answers message boxes with a fixed button and records them, for its lifetime.
class MessageBoxRecorder {
public:
    explicit MessageBoxRecorder(int answer = IDOK);
    ~MessageBoxRecorder();
    std::vector<MessageBoxRequest> shown;

private:
    MessageBoxHandler previous_;
    int answer_;
};

// Owns a picture for the length of a scope.
class DibGuard {
public:
    DibGuard() = default;
    explicit DibGuard(const TDibRecord& d) : dib(d) {}
    DibGuard(const DibGuard&) = delete;
    DibGuard& operator=(const DibGuard&) = delete;
    ~DibGuard() { deldib(dib); }
    TDibRecord* operator->() { return &dib; }
    TDibRecord dib{};
};

// Restores the allocation limit when the scope ends.
class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t bytes) : saved_(DibAllocationLimit())
    {
        SetDibAllocationLimit(bytes);
    }
    ~AllocationLimit() { SetDibAllocationLimit(saved_); }

private:
    std::size_t saved_;
};

// A new picture with a grey colour table (palette depths) and its pixels set
// by value(x, y), rows from the top.
template <typename F> TDibRecord MakeDib(int width, int height, int bits, F value)
{
    TDibRecord d;
    BITMAPINFO table{};
    const int colours = bits <= 8 ? 1 << bits : 0;
    for (int i = 0; i < colours; ++i) {
        const auto g = std::uint8_t(colours > 1 ? i * 255 / (colours - 1) : 0);
        table.bmiColors[i] = RGBQUAD{g, g, g, 0};
    }
    newdib(&d, width, height, bits, colours ? &table : nullptr, colours);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            setpixel(d, x, y, value(x, y));
    return d;
}

// A fresh empty folder under the system's temporary folder.
std::string MakeTempDir();
