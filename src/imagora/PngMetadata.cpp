// A PNG's EXIF block lives in its eXIf chunk, without JPEG's "Exif\0\0"
// lead; its colour profile in the iCCP chunk, named and deflated.
#include "imagora/Metadata.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kExifLead[] = {'E', 'x', 'i', 'f', 0, 0};
// Larger than any real colour profile: a deflate bomb ends here.
constexpr std::size_t kMaxProfile = std::size_t(64) << 20;
constexpr std::size_t kMaxProfileName = 80; // with its terminator

std::uint32_t BigEndian32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// The whole zlib stream inflated, or nothing when it is broken, cut short or
// inflates to more than limit bytes.
std::vector<std::uint8_t> Inflate(const std::uint8_t* data, std::size_t size, std::size_t limit)
{
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        return {};
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = uInt(size);
    std::vector<std::uint8_t> out;
    std::uint8_t chunk[16384];
    int status = Z_OK;
    while (status == Z_OK && out.size() <= limit) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        status = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
    }
    inflateEnd(&z);
    return status == Z_STREAM_END && out.size() <= limit ? out : std::vector<std::uint8_t>();
}

bool Is(const std::uint8_t* type, const char* name)
{
    return std::memcmp(type, name, 4) == 0;
}

} // namespace

PictureMetadata PngMetadata(const std::uint8_t* data, std::size_t size)
{
    PictureMetadata meta;
    if (size < sizeof kSignature || std::memcmp(data, kSignature, sizeof kSignature) != 0)
        return meta;
    // Each chunk: length, type, the length's bytes, a checksum.
    for (std::size_t pos = sizeof kSignature; size - pos >= 12;) {
        const std::size_t length = BigEndian32(data + pos);
        const std::uint8_t* type = data + pos + 4;
        const std::uint8_t* body = data + pos + 8;
        if (length > size - pos - 12 || Is(type, "IEND"))
            break;
        if (Is(type, "eXIf") && meta.exif.empty()) {
            // Some writers keep the lead; the block then stands as it is.
            if (length < sizeof kExifLead || std::memcmp(body, kExifLead, sizeof kExifLead) != 0)
                meta.exif.assign(kExifLead, kExifLead + sizeof kExifLead);
            meta.exif.insert(meta.exif.end(), body, body + length);
        } else if (Is(type, "iCCP") && meta.icc.empty()) {
            const auto* name = static_cast<const std::uint8_t*>(
                std::memchr(body, 0, std::min(length, kMaxProfileName)));
            // the name's end, then the compression method 0 (deflate)
            if (name && std::size_t(name - body) + 2 <= length && name[1] == 0)
                meta.icc = Inflate(name + 2, length - std::size_t(name - body) - 2, kMaxProfile);
        }
        pos += 12 + length;
    }
    return meta;
}
