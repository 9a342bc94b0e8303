// A step: one change of the working image as the user applied it, with its
// settings, as a plain value. The window builds steps from its dialogs, the
// command line parses them from its words, the history keeps them and can
// run them again; the table (StepTable.h) says what each kind takes and does.
#pragma once

#include <array>
#include <cstdint>
#include <string>

enum class StepKind : std::uint8_t {
    Crop,
    Mirror,
    Rotate,
    Resize,
    Correct,
    Depth,
    // The picture comes from outside: a file opened, a scan. The history keeps
    // their pictures, since running them again is not possible.
    Open,
    Scan,
};

constexpr int kMaxStepParams = 8;

struct Step {
    StepKind Kind = StepKind::Crop;
    // The parameters in the order the table declares them: whole numbers as
    // they are, decimals in hundredths, words as their value, colours as
    // COLORREF, a flag as 0 or 1.
    std::array<int, kMaxStepParams> Values{};
    // Open: the file's path; Scan: the device's name; Correct: kAutoSource
    // for a pick of the automatic correction, which its description names.
    std::string Source;

    int operator[](int i) const { return Values[std::size_t(i)]; }
    friend bool operator==(const Step&, const Step&) = default;
};
