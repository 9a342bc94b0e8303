// How a step's parameter is declared: its name, its type with range or
// words, its default, and where it stands in the command line's argument.
// Parsing, the error messages, the help and the recipe lines are all made
// from these declarations (StepText.h), so nothing about a parameter is
// written twice.
#pragma once

#include <optional>
#include <span>
#include <string_view>

enum class ParamType : unsigned char {
    Number,     // a whole number from Low to High
    Hundredths, // a decimal with up to two places ("12,5"), held in hundredths
    Word,       // one of Words
    Colour,     // RRGGBB in hexadecimal, held as COLORREF
    Flag,       // its one word present (1) or left out (0)
};

// A word and the value it stands for. Several words may share a value; the
// first is the one written back.
struct ParamWord {
    std::string_view Word;
    int Value;
};

struct StepParam {
    char Separator;        // stands before it; 0 for the first
    std::string_view Name; // "STUFE", as the help and the messages call it
    ParamType Type;
    int Low = 0, High = 0; // Number and Hundredths (in hundredths)
    std::span<const ParamWord> Words = {};
    std::optional<int> Default = std::nullopt; // when left out; none: required
    bool EmptyMeansZero = false;               // may be given as nothing ("500x"), standing for 0
    // Given only when another parameter has a certain value ("frei" before a
    // free angle); otherwise it must be left out.
    int OnlyWith = -1;
    int OnlyWithValue = 0;
};
