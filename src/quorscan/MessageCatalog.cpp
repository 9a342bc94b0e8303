#include "quorscan/MessageCatalog.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::size_t kHeaderBytes = 28;

class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}

    bool SetByteOrder()
    {
        swap_ = false;
        if (Word(0) == kMagic)
            return true;
        swap_ = true;
        return Word(0) == kMagic;
    }

    // The 32-bit word at offset, which the caller has checked lies inside.
    std::uint32_t Word(std::size_t offset) const
    {
        std::uint32_t w = 0;
        for (int i = 0; i < 4; ++i) {
            const auto byte = static_cast<std::uint8_t>(data_[offset + std::size_t(i)]);
            w |= std::uint32_t(byte) << (swap_ ? 24 - 8 * i : 8 * i);
        }
        return w;
    }

    // String number i of the table at table (length, then offset, per
    // entry) up to its first NUL; false when it lies outside the data.
    bool String(std::size_t table, std::uint32_t i, std::string_view& s) const
    {
        const std::size_t entry = table + std::size_t(i) * 8;
        const std::uint64_t length = Word(entry), offset = Word(entry + 4);
        if (offset + length > data_.size())
            return false;
        s = data_.substr(std::size_t(offset), std::size_t(length));
        s = s.substr(0, s.find('\0'));
        return true;
    }

    std::size_t Size() const { return data_.size(); }

private:
    std::string_view data_;
    bool swap_ = false;
};

} // namespace

bool MessageCatalog::Parse(std::string_view data)
{
    entries_.clear();
    Reader reader(data);
    if (data.size() < kHeaderBytes || !reader.SetByteOrder() || reader.Word(4) >> 16 > 1)
        return false;
    const std::uint64_t count = reader.Word(8);
    const std::uint64_t originals = reader.Word(12), translations = reader.Word(16);
    if (originals + count * 8 > data.size() || translations + count * 8 > data.size())
        return false;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string_view original, translation;
        if (!reader.String(std::size_t(originals), i, original) ||
            !reader.String(std::size_t(translations), i, translation)) {
            entries_.clear();
            return false;
        }
        // The empty original is the catalogue's own header.
        if (!original.empty() && !translation.empty())
            entries_.emplace(original, translation);
    }
    return true;
}

bool MessageCatalog::Load(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), {});
    if (!in.good() && !in.eof())
        return false;
    return Parse(data);
}

const std::string* MessageCatalog::Find(const std::string& text) const
{
    const auto it = entries_.find(text);
    return it == entries_.end() ? nullptr : &it->second;
}
