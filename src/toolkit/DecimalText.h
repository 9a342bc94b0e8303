// Decimal numbers as users type them into the program's fields: digits with
// a decimal comma or point. Shared by the dialogs' fields and the command
// line, so both read a number alike.
#pragma once

#include <string>
#include <string_view>

// Digits with at most one separator, ',' or '.', and at most `decimals`
// digits after it; at least one digit in all. No sign, exponent or blanks.
// The value is read in extended precision, independent of the C locale.
bool ParseDecimal(std::string_view text, int decimals, long double& value);

// value rounded to `decimals` digits after a decimal comma ("0,01", "32767"),
// independent of the C locale.
std::string FormatDecimal(long double value, int decimals);
