// Opening picture files: the file is mapped into memory and handed to the
// decoder whose signature it carries; the file's name plays no part, so a
// renamed file still opens.
#include "imagora/Decoders.h"
#include "imagora/FileFormats.h"
#include "imagora/Imagora.h"
#include "imagora/MappedFile.h"
#include "imagora/OpenDibStreamed.h"
#include "imagora/RowFeed.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

// Larger files are not pictures this program can hold.
constexpr std::int64_t kMaxFileBytes = std::int64_t(2) << 30;

bool StartsWith(const std::uint8_t* data, std::size_t size, const char* signature,
                std::size_t length)
{
    return size >= length && std::memcmp(data, signature, length) == 0;
}

bool IsBmp(const std::uint8_t* d, std::size_t n)
{
    return StartsWith(d, n, "BM", 2);
}

bool IsPnm(const std::uint8_t* d, std::size_t n)
{
    // "P1".."P6" followed by whitespace or a comment
    return n >= 3 && d[0] == 'P' && d[1] >= '1' && d[1] <= '6' &&
           (d[2] == '#' || d[2] == ' ' || (d[2] >= '\t' && d[2] <= '\r'));
}

bool IsPng(const std::uint8_t* d, std::size_t n)
{
    return StartsWith(d, n, "\x89PNG\r\n\x1A\n", 8);
}

bool IsJpeg(const std::uint8_t* d, std::size_t n)
{
    return StartsWith(d, n, "\xFF\xD8\xFF", 3);
}

bool IsGif(const std::uint8_t* d, std::size_t n)
{
    return StartsWith(d, n, "GIF87a", 6) || StartsWith(d, n, "GIF89a", 6);
}

bool IsTiff(const std::uint8_t* d, std::size_t n)
{
    // Classic and BigTIFF, either byte order.
    return StartsWith(d, n, "II*\0", 4) || StartsWith(d, n, "MM\0*", 4) ||
           StartsWith(d, n, "II+\0", 4) || StartsWith(d, n, "MM\0+", 4);
}

bool IsWebp(const std::uint8_t* d, std::size_t n)
{
    return n >= 12 && StartsWith(d, n, "RIFF", 4) && std::memcmp(d + 8, "WEBP", 4) == 0;
}

struct ReadFormat {
    FileFormatName name;
    bool (*matches)(const std::uint8_t*, std::size_t);
    bool (*decode)(const std::uint8_t*, std::size_t, TDibRecord*);
};

constexpr ReadFormat kFormats[] = {
    {kBmpFormat, IsBmp, DecodeBmp},    {kPngFormat, IsPng, DecodePng},
    {kJpegFormat, IsJpeg, DecodeJpeg}, {kGifFormat, IsGif, DecodeGif},
    {kTiffFormat, IsTiff, DecodeTiff}, {kWebpFormat, IsWebp, DecodeWebp},
    {kPnmFormat, IsPnm, DecodePnm},
};

// The picture of a mapped file, by the decoder its signature names.
void DecodeMapped(const MappedFile& file, TDibRecord* dib)
{
    if (!file.Data())
        return;
    for (const ReadFormat& f : kFormats) {
        if (f.matches(file.Data(), file.Size())) {
            if (f.decode(file.Data(), file.Size(), dib) && file.Shrank()) {
                deldib(*dib);
                *dib = TDibRecord{};
            }
            return;
        }
    }
}

} // namespace

void OpenDib(TDibRecord* dib, const char* path, int /*reserved*/, void* /*windowHandle*/)
{
    *dib = TDibRecord{};
    DecodeMapped(MappedFile(path, kMaxFileBytes), dib);
}

bool OpenDibReduced(TDibRecord* dib, const char* path, int boxWidth, int boxHeight)
{
    *dib = TDibRecord{};
    const MappedFile file(path, kMaxFileBytes);
    if (!file.Data() || !IsJpeg(file.Data(), file.Size()) ||
        !DecodeJpegReduced(file.Data(), file.Size(), boxWidth, boxHeight, dib))
        return false;
    if (!file.Shrank())
        return true;
    deldib(*dib);
    *dib = TDibRecord{};
    return false;
}

void OpenDibStreamed(TDibRecord* dib, const char* path, RowFeed& feed)
{
    *dib = TDibRecord{};
    auto file = std::make_shared<const MappedFile>(path, kMaxFileBytes);
    if (file->Data() && IsJpeg(file->Data(), file->Size())) {
        if (!DecodeJpegStreamed(std::move(file), dib, feed))
            feed.Complete(false);
        return;
    }
    DecodeMapped(*file, dib);
    feed.Complete(dib->Bits != nullptr);
}

const char* GetDIBOpenFilter()
{
    static const std::string filter = [] {
        std::string all, each;
        for (const ReadFormat& f : kFormats) {
            all += (all.empty() ? "" : ";") + std::string(f.name.masks);
            each +=
                std::string("|") + f.name.description + " (" + f.name.masks + ")|" + f.name.masks;
        }
        return "Alle Bilddateien (" + all + ")|" + all + each;
    }();
    return filter.c_str();
}
