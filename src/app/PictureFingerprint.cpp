#include "app/PictureFingerprint.h"

#include <cstring>

namespace {

// Four independent lanes, so that the multiplications of consecutive words
// overlap: a 24-megapixel picture takes a few milliseconds. Each step is a
// bijection of the lane for a given word (and of the word for a given lane),
// so a change to any one word of the input always changes the result.
class Hasher {
public:
    void Add(std::uint64_t word) { Mix(lanes_[0], word); }

    void Add(const std::uint8_t* bytes, std::size_t count)
    {
        for (; count >= 32; bytes += 32, count -= 32)
            for (int i = 0; i < 4; ++i)
                Mix(lanes_[i], Load(bytes + 8 * i, 8));
        for (; count >= 8; bytes += 8, count -= 8)
            Mix(lanes_[0], Load(bytes, 8));
        if (count > 0)
            Mix(lanes_[1], Load(bytes, count));
    }

    std::uint64_t Result() const
    {
        std::uint64_t h = lanes_[0];
        for (int i = 1; i < 4; ++i)
            Mix(h, lanes_[i]);
        return h;
    }

private:
    static std::uint64_t Load(const std::uint8_t* bytes, std::size_t count)
    {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes, count);
        return word;
    }
    static void Mix(std::uint64_t& lane, std::uint64_t word)
    {
        lane = (lane ^ word) * 0x9E3779B97F4A7C15u;
        lane ^= lane >> 29;
    }

    std::uint64_t lanes_[4] = {1, 2, 3, 4};
};

} // namespace

std::uint64_t PictureFingerprint(const TDibRecord& picture)
{
    Hasher hasher;
    const int width = DibWidth(picture), height = DibHeight(picture), bits = DibBitCount(picture);
    hasher.Add(std::uint64_t(std::uint32_t(width)) << 32 | std::uint32_t(height));
    hasher.Add(std::uint64_t(bits) << 1 | (picture.Bits != nullptr));
    if (!picture.Bits || width <= 0 || height <= 0)
        return hasher.Result();
    for (int i = 0; i < DibTableColors(picture); ++i) {
        const RGBQUAD& c = picture.Info->bmiColors[i];
        hasher.Add(std::uint64_t(c.rgbBlue) | std::uint64_t(c.rgbGreen) << 8 |
                   std::uint64_t(c.rgbRed) << 16);
    }
    const std::uint64_t rowBits = std::uint64_t(width) * std::uint64_t(bits);
    const std::size_t wholeBytes = rowBits / 8;
    const unsigned restBits = unsigned(rowBits % 8); // used high bits of a last, partial byte
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = picture.Bits + std::size_t(y) * std::size_t(picture.LineBytes);
        hasher.Add(row, wholeBytes);
        if (restBits)
            hasher.Add(row[wholeBytes] & (0xFF00u >> restBits));
    }
    return hasher.Result();
}
