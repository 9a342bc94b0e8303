#include "imagora/FileFilter.h"

#include <algorithm>

namespace {

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        parts.push_back(text.substr(start, end - start));
        if (end == text.size())
            return parts;
        start = end + 1;
    }
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return lower;
}

} // namespace

std::vector<FilterEntry> ParseFileFilter(std::string_view filter)
{
    std::vector<FilterEntry> entries;
    const std::vector<std::string_view> parts = Split(filter, '|');
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FilterEntry entry{std::string(parts[i]), std::string(parts[i + 1]), {}};
        for (const std::string_view mask : Split(parts[i + 1], ';'))
            if (mask.starts_with("*.") && mask != "*.*")
                entry.extensions.push_back(Lower(mask.substr(2)));
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<std::string> FilterExtensions(std::string_view filter)
{
    std::vector<std::string> extensions;
    for (const FilterEntry& entry : ParseFileFilter(filter))
        for (const std::string& e : entry.extensions)
            if (std::find(extensions.begin(), extensions.end(), e) == extensions.end())
                extensions.push_back(e);
    return extensions;
}

bool FilterMatches(std::string_view filter, std::string_view name)
{
    const std::size_t dot = name.find_last_of('.');
    const std::size_t slash = name.find_last_of('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return false;
    const std::vector<std::string> known = FilterExtensions(filter);
    return std::find(known.begin(), known.end(), Lower(name.substr(dot + 1))) != known.end();
}
