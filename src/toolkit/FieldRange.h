// The limits of a number field in a dialog, and what the user is told when a
// typed number lies outside them. Qt-free, so the rules are tested alone.
#pragma once

#include <string>
#include <string_view>

struct FieldRange {
    long double Min = 0;
    long double Max = 0;
    int Decimals = 0; // digits after the decimal comma; 0 for whole numbers

    bool Contains(long double value) const { return value >= Min && value <= Max; }
};

// A number as typed into a field: an optional minus sign, then what
// ParseDecimal takes, without a separator when decimals is 0; blanks around it
// do not count. A minus sign is read, not
// refused, so that "-5" is answered with the field's limits like any other
// number outside them.
bool ReadFieldNumber(std::string_view text, int decimals, long double& value);

// "<subject> muss zwischen <Min> und <Max> liegen.", the limits written as the
// field shows them. subject names the field as a sentence starts with it:
// "Die Breite".
std::string OutOfRangeMessage(std::string_view subject, const FieldRange& range);
