#include "app/BatchProgress.h"

#include <charconv>
#include <cmath>

namespace {

bool Number(std::string_view digits, int& value)
{
    const char* end = digits.data() + digits.size();
    const auto [at, ec] = std::from_chars(digits.data(), end, value);
    return !digits.empty() && ec == std::errc() && at == end && value >= 0;
}

// "12 s", "4 min", "2 h 5 min": coarser as it grows, since it is a guess.
std::string Duration(double seconds)
{
    const long s = std::max(1L, std::lround(seconds));
    if (s < 60)
        return std::to_string(s) + " s";
    const long minutes = (s + 30) / 60;
    if (minutes < 60)
        return std::to_string(minutes) + " min";
    return std::to_string(minutes / 60) + " h " + std::to_string(minutes % 60) + " min";
}

} // namespace

bool ParseProgressLine(std::string_view line, int& done, int& all)
{
    constexpr std::string_view kStart = "fertig ";
    if (line.ends_with('\r'))
        line.remove_suffix(1);
    if (!line.starts_with(kStart))
        return false;
    line.remove_prefix(kStart.size());
    const std::size_t slash = line.find('/');
    return slash != std::string_view::npos && Number(line.substr(0, slash), done) &&
           Number(line.substr(slash + 1), all) && done <= all && all > 0;
}

std::string BatchProgressText(int done, int all, double elapsedSeconds)
{
    std::string text = std::to_string(done) + " von " + std::to_string(all) +
                       (all == 1 ? " Datei" : " Dateien") + " fertig";
    if (done > 0 && done < all)
        text += ", noch etwa " + Duration(elapsedSeconds / done * (all - done));
    return text;
}
