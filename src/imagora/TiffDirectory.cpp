#include "imagora/TiffDirectory.h"

namespace {

constexpr std::size_t kClassicEntryBytes = 12;
constexpr std::size_t kBigEntryBytes = 20;
// More entries than any real directory holds: a broken count ends here.
constexpr std::uint64_t kMaxEntries = 4096;

// Bytes per value of a field type, 0 for types not known here.
std::size_t TiffTypeSize(std::uint16_t type)
{
    switch (type) {
    case 1: // BYTE
    case 2: // ASCII
    case 6: // SBYTE
    case 7: // UNDEFINED
        return 1;
    case 3: // SHORT
    case 8: // SSHORT
        return 2;
    case 4:  // LONG
    case 9:  // SLONG
    case 11: // FLOAT
    case 13: // IFD
        return 4;
    case 5:  // RATIONAL
    case 10: // SRATIONAL
    case 12: // DOUBLE
    case 16: // LONG8
    case 17: // SLONG8
    case 18: // IFD8
        return 8;
    default:
        return 0;
    }
}

} // namespace

TiffBytes::TiffBytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size)
{
    if (size < 8 || data[0] != data[1] || (data[0] != 'I' && data[0] != 'M'))
        return;
    bigEndian_ = data[0] == 'M';
    const std::uint64_t version = Read(2, 2);
    if (version == 42) {
        firstDirectory_ = Read(4, 4);
    } else if (version == 43 && size >= 16 && Read(4, 2) == 8) {
        bigTiff_ = true;
        firstDirectory_ = Read(8, 8);
    }
}

std::uint64_t TiffBytes::Read(std::uint64_t offset, int bytes) const
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
        const std::uint8_t b = data_[offset + std::uint64_t(bigEndian_ ? i : bytes - 1 - i)];
        value = (value << 8) | b;
    }
    return value;
}

std::vector<TiffEntry> TiffBytes::Directory(std::uint64_t offset) const
{
    std::vector<TiffEntry> entries;
    const int countBytes = bigTiff_ ? 8 : 2, fieldBytes = bigTiff_ ? 8 : 4;
    const std::uint64_t entryBytes = bigTiff_ ? kBigEntryBytes : kClassicEntryBytes;
    if (offset == 0 || offset >= size_ || size_ - offset < std::uint64_t(countBytes))
        return entries;
    const std::uint64_t count = Read(offset, countBytes);
    if (count > kMaxEntries || (size_ - offset - countBytes) / entryBytes < count)
        return entries;
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t at = offset + std::uint64_t(countBytes) + i * entryBytes;
        TiffEntry e;
        e.tag = std::uint16_t(Read(at, 2));
        e.type = std::uint16_t(Read(at + 2, 2));
        const std::uint64_t n = Read(at + 4, fieldBytes);
        const std::size_t typeSize = TiffTypeSize(e.type);
        if (typeSize == 0 || n == 0 || n > size_ / typeSize)
            continue;
        const std::uint64_t bytes = n * typeSize;
        const std::uint64_t field = at + 4 + std::uint64_t(fieldBytes);
        const std::uint64_t from =
            bytes <= std::uint64_t(fieldBytes) ? field : Read(field, fieldBytes);
        if (from > size_ || size_ - from < bytes)
            continue;
        e.count = std::uint32_t(n);
        e.value = data_ + from;
        e.size = std::size_t(bytes);
        entries.push_back(e);
    }
    return entries;
}

std::uint64_t TiffBytes::Number(const TiffEntry& entry) const
{
    const std::size_t size = TiffTypeSize(entry.type);
    const bool whole = entry.type == 3 || entry.type == 4 || entry.type == 13 || entry.type == 16 ||
                       entry.type == 18;
    if (!whole || entry.size < size)
        return 0;
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = (value << 8) | entry.value[bigEndian_ ? i : size - 1 - i];
    return value;
}
