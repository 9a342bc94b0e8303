// TIFF directories read straight from a file's bytes. A photo's EXIF entries
// leave TIFF files this way exactly as the camera stored them; libtiff's
// typed fields would turn rationals into floating point and drop the tags it
// does not know.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct TiffEntry {
    std::uint16_t tag = 0;
    std::uint16_t type = 0; // 1 BYTE, 2 ASCII, 3 SHORT, 4 LONG, 5 RATIONAL, ... 12 DOUBLE
    std::uint32_t count = 0;
    const std::uint8_t* value = nullptr; // count values in the file's byte order,
    std::size_t size = 0;                // inside the file's bytes
};

// A classic or big TIFF file's bytes.
class TiffBytes {
public:
    TiffBytes(const std::uint8_t* data, std::size_t size);

    bool Valid() const { return firstDirectory_ != 0; }
    bool BigEndian() const { return bigEndian_; }
    std::uint64_t FirstDirectory() const { return firstDirectory_; }

    // The entries of the directory at offset; those of unknown type or with
    // values outside the file are left out. None when the directory itself
    // lies outside.
    std::vector<TiffEntry> Directory(std::uint64_t offset) const;

    // The first value of a SHORT, LONG or IFD entry (a count, a size, the
    // offset of another directory); 0 for other entries.
    std::uint64_t Number(const TiffEntry& entry) const;

private:
    std::uint64_t Read(std::uint64_t offset, int bytes) const;

    const std::uint8_t* data_;
    std::size_t size_;
    bool bigEndian_ = false;
    bool bigTiff_ = false;
    std::uint64_t firstDirectory_ = 0;
};
