#include "cli/TerminalProgress.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// Collects what the bar writes.
class Terminal {
public:
    Terminal() : stream_(open_memstream(&buffer_, &size_)) {}
    ~Terminal()
    {
        std::fclose(stream_);
        std::free(buffer_);
    }
    std::FILE* Stream() { return stream_; }
    // What was written since the last call.
    std::string Take()
    {
        std::fflush(stream_);
        const std::string all(buffer_, size_);
        const std::string fresh = all.substr(taken_);
        taken_ = all.size();
        return fresh;
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::size_t taken_ = 0;
    std::FILE* stream_;
};

TEST(TerminalProgress, DrawsTheShareOfTheBarAndThePercentage)
{
    Terminal t;
    TerminalProgress bar(t.Stream(), 10);
    bar.SetProStatus(0);
    EXPECT_EQ(t.Take(), "\r[          ]   0 %");
    bar.SetProStatus(37);
    EXPECT_EQ(t.Take(), "\r[###       ]  37 %");
    bar.SetProStatus(100);
    EXPECT_EQ(t.Take(), "\r[##########] 100 %");
}

TEST(TerminalProgress, WritesOnlyWhenThePercentageChanges)
{
    Terminal t;
    TerminalProgress bar(t.Stream(), 4);
    bar.SetProStatus(0);
    bar.SetProStatus(0); // row 0 of 6000 reports 0 as well
    bar.SetProStatus(50);
    bar.SetProStatus(50);
    EXPECT_EQ(t.Take(), "\r[    ]   0 %\r[##  ]  50 %");
}

TEST(TerminalProgress, TheClosingZeroTakesTheBarOffTheLine)
{
    Terminal t;
    TerminalProgress bar(t.Stream(), 4);
    bar.SetProStatus(0);
    bar.SetProStatus(100);
    t.Take();
    bar.SetProStatus(0);
    EXPECT_EQ(t.Take(), "\r" + std::string(12, ' ') + "\r");
    // The next operation starts a new bar.
    bar.SetProStatus(0);
    EXPECT_EQ(t.Take(), "\r[    ]   0 %");
    bar.Clear();
    bar.Clear();
    EXPECT_EQ(t.Take(), "\r" + std::string(12, ' ') + "\r") << "a second clear writes nothing";
}

TEST(TerminalProgress, OutOfRangeValuesAreClamped)
{
    Terminal t;
    TerminalProgress bar(t.Stream(), 4);
    bar.SetProStatus(250);
    EXPECT_EQ(t.Take(), "\r[####] 100 %");
    bar.SetProStatus(-5);
    EXPECT_EQ(t.Take(), "\r" + std::string(12, ' ') + "\r");
}

} // namespace
