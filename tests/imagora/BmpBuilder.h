// Builds bitmap files byte by byte for the decoder tests, so that every header
// generation and encoding can be written with exactly the fields a case needs.
#pragma once

#include "base/WinTypes.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct BmpSpec {
    std::uint32_t headerBytes = 40; // 12: OS/2 1.x; 16..64: OS/2 2.x; 40, 52, 56, 108, 124
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bits = 24;
    std::uint32_t compression = BI_RGB;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> masks;        // in the header from 52 bytes on, else after it
    std::vector<RGBQUAD> table;              // written as RGBTRIPLEs for a 12-byte header
    Bytes pixels;                            // the pixel data as stored in the file
    std::optional<std::uint32_t> dataOffset; // default: where the pixels start
};

inline void PutLe(Bytes& b, std::uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b.push_back(std::uint8_t(v >> (8 * i)));
}

inline Bytes MakeBmp(const BmpSpec& s)
{
    Bytes h; // the info header, headerBytes long
    PutLe(h, s.headerBytes, 4);
    if (s.headerBytes == 12) {
        PutLe(h, std::uint32_t(s.width), 2);
        PutLe(h, std::uint32_t(s.height), 2);
        PutLe(h, 1, 2);
        PutLe(h, s.bits, 2);
    } else {
        PutLe(h, std::uint32_t(s.width), 4);
        PutLe(h, std::uint32_t(s.height), 4);
        PutLe(h, 1, 2);
        PutLe(h, s.bits, 2);
        PutLe(h, s.compression, 4);
        PutLe(h, std::uint32_t(s.pixels.size()), 4);
        PutLe(h, 2835, 4);
        PutLe(h, 2835, 4);
        PutLe(h, s.clrUsed, 4);
        PutLe(h, 0, 4);
        if (s.headerBytes >= 52)
            for (std::size_t i = 0; i < 4; ++i)
                PutLe(h, i < s.masks.size() ? s.masks[i] : 0, 4);
        h.resize(s.headerBytes);
    }
    if (s.headerBytes < 52)
        for (std::uint32_t m : s.masks)
            PutLe(h, m, 4);
    for (const RGBQUAD& q : s.table) {
        h.push_back(q.rgbBlue);
        h.push_back(q.rgbGreen);
        h.push_back(q.rgbRed);
        if (s.headerBytes != 12)
            h.push_back(0);
    }

    Bytes f{'B', 'M'};
    const std::uint32_t offset = 14 + std::uint32_t(h.size());
    PutLe(f, offset + std::uint32_t(s.pixels.size()), 4);
    PutLe(f, 0, 4);
    PutLe(f, s.dataOffset.value_or(offset), 4);
    f.insert(f.end(), h.begin(), h.end());
    f.insert(f.end(), s.pixels.begin(), s.pixels.end());
    return f;
}

// Rows of file bytes, each padded with zeros to whole 32-bit words.
inline Bytes PaddedRows(const std::vector<Bytes>& rows)
{
    Bytes out;
    for (const Bytes& r : rows) {
        out.insert(out.end(), r.begin(), r.end());
        out.resize((out.size() + 3) / 4 * 4);
    }
    return out;
}

// A copy in a heap block of exactly its size, so that the sanitizer reports
// any read past the end of the file.
struct ExactBuffer {
    explicit ExactBuffer(const Bytes& b) : size(b.size()), data(new std::uint8_t[b.size()])
    {
        if (size)
            std::memcpy(data.get(), b.data(), size);
    }
    std::size_t size;
    std::unique_ptr<std::uint8_t[]> data;
};
