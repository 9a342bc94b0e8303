#include "toolkit/DecimalText.h"

#include <charconv>
#include <string>

bool ParseDecimal(std::string_view text, int decimals, long double& value)
{
    std::string plain;
    int digits = 0, after = -1; // digits after the separator; -1 before it
    for (const char ch : text) {
        if (ch >= '0' && ch <= '9') {
            ++digits;
            if (after >= 0 && ++after > decimals)
                return false;
            plain += ch;
        } else if ((ch == ',' || ch == '.') && after < 0) {
            after = 0;
            plain += '.';
        } else {
            return false;
        }
    }
    if (digits == 0)
        return false;
    if (plain.front() == '.')
        plain.insert(plain.begin(), '0');
    const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    return ec == std::errc() && end == plain.data() + plain.size();
}

std::string FormatDecimal(long double value, int decimals)
{
    char text[64];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string shown(text, ec == std::errc() ? end : text);
    for (char& ch : shown)
        if (ch == '.')
            ch = ',';
    return shown;
}
