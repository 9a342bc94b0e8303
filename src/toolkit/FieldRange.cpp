#include "toolkit/FieldRange.h"

#include "toolkit/DecimalText.h"

bool ReadFieldNumber(std::string_view text, int decimals, long double& value)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return false;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    if (decimals == 0 && text.find_first_of(",.") != std::string_view::npos)
        return false; // a whole number has no separator, not even a last one
    const bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (!ParseDecimal(text, decimals, value))
        return false;
    if (negative)
        value = -value;
    return true;
}

std::string OutOfRangeMessage(std::string_view subject, const FieldRange& range)
{
    return std::string(subject) + " muss zwischen " + FormatDecimal(range.Min, range.Decimals) +
           " und " + FormatDecimal(range.Max, range.Decimals) + " liegen.";
}
