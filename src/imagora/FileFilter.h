// The file-type filter texts of the open and save choices,
// "Description (*.a;*.b)|*.a;*.b|...", read in one place for the open page,
// the save dialog and the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FilterEntry {
    std::string description;             // "PNG (*.png)"
    std::string masks;                   // "*.png", as the filter has it
    std::vector<std::string> extensions; // "png": each "*.ext" mask, lower-case
};

// The description and mask pairs in the filter's order; a description
// without masks at the end is left out.
std::vector<FilterEntry> ParseFileFilter(std::string_view filter);

// Every extension the filter names, once each, in its order.
std::vector<std::string> FilterExtensions(std::string_view filter);

// Whether name ends in one of the filter's extensions, in any case.
bool FilterMatches(std::string_view filter, std::string_view name);
