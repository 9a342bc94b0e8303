// A GNU gettext message catalogue (.mo file) read into memory, so that a
// library's texts can be looked up in one language whatever the user's
// locale says.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

class MessageCatalog {
public:
    MessageCatalog() = default;

    // Reads the catalogue in data (either byte order). A malformed one
    // leaves the catalogue empty; false then.
    bool Parse(std::string_view data);
    // The same for a file; false when it cannot be read or is malformed.
    bool Load(const std::string& path);

    // The translation of text; nullptr when the catalogue has none. Of a
    // plural entry, the singular form stands for both.
    const std::string* Find(const std::string& text) const;
    std::size_t Size() const { return entries_.size(); }

private:
    std::unordered_map<std::string, std::string> entries_;
};
