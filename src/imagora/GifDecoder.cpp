// GIF through giflib: the first frame on its logical screen, as a palette
// picture with the frame's colour table. Transparent pixels and the screen
// around the frame show white (a photo program has no backdrop to let
// through, and white is what the other formats composite over).
#include "imagora/Decoders.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Imagora.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr RGBQUAD kWhite{255, 255, 255, 0};

struct GifSource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

int ReadFromMemory(GifFileType* gif, GifByteType* out, int count)
{
    auto* s = static_cast<GifSource*>(gif->UserData);
    const std::size_t n = std::min(std::size_t(std::max(count, 0)), s->size - s->pos);
    std::memcpy(out, s->data + s->pos, n);
    s->pos += n;
    return int(n);
}

struct GifCloser {
    GifFileType* gif;
    ~GifCloser()
    {
        int error = 0;
        if (gif)
            DGifCloseFile(gif, &error);
    }
};

// Reads up to the first frame's descriptor; remembers the transparent index
// of a graphic control block met on the way (-1 when none).
bool SeekFirstFrame(GifFileType* gif, int* transparent)
{
    *transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return false;
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) != GIF_ERROR;
        if (type != EXTENSION_RECORD_TYPE)
            return false; // the file ends without a frame
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            return false;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
            GraphicsControlBlock control;
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                *transparent = control.TransparentColor;
        }
        while (block)
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                return false;
    }
}

// The index that shows white where the frame leaves the screen uncovered or
// is transparent: the transparent entry turned white, else a white entry
// already there, else a new one, else the lightest colour of a full table.
int WhiteIndex(RGBQUAD* table, int* count, int transparent)
{
    if (transparent >= 0 && transparent < *count) {
        table[transparent] = kWhite;
        return transparent;
    }
    int lightest = 0;
    for (int i = 0; i < *count; ++i) {
        const RGBQUAD& q = table[i];
        if (q.rgbRed == 255 && q.rgbGreen == 255 && q.rgbBlue == 255)
            return i;
        const RGBQUAD& l = table[lightest];
        if (q.rgbRed + q.rgbGreen + q.rgbBlue > l.rgbRed + l.rgbGreen + l.rgbBlue)
            lightest = i;
    }
    if (*count == 256)
        return lightest;
    table[*count] = kWhite;
    return (*count)++;
}

// Frame rows in file order: straight down, or the four passes of an
// interlaced frame.
std::vector<int> RowOrder(int height, bool interlaced)
{
    std::vector<int> order;
    order.reserve(std::size_t(height));
    if (!interlaced) {
        for (int y = 0; y < height; ++y)
            order.push_back(y);
        return order;
    }
    constexpr int kStart[4] = {0, 4, 2, 1};
    constexpr int kStep[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass])
            order.push_back(y);
    return order;
}

bool ReadGif(GifFileType* gif, TDibRecord* out)
{
    int transparent = NO_TRANSPARENT_COLOR;
    if (!SeekFirstFrame(gif, &transparent))
        return false;
    const GifImageDesc& frame = gif->Image;
    const ColorMapObject* map = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
    if (!map || map->ColorCount < 1 || map->ColorCount > 256 || frame.Width <= 0 ||
        frame.Height <= 0 || frame.Left < 0 || frame.Top < 0)
        return false;

    // The screen grows to hold a frame that overhangs it, so nothing is cut.
    const int width = std::max(gif->SWidth, frame.Left + frame.Width);
    const int height = std::max(gif->SHeight, frame.Top + frame.Height);
    const bool covered =
        frame.Left == 0 && frame.Top == 0 && frame.Width == width && frame.Height == height;
    RGBQUAD table[256];
    const int fileColours = map->ColorCount;
    for (int i = 0; i < fileColours; ++i) {
        const GifColorType& c = map->Colors[i];
        table[i] = RGBQUAD{c.Blue, c.Green, c.Red, 0};
    }
    int colours = fileColours;
    const bool needWhite = !covered || (transparent >= 0 && transparent < fileColours);
    const int white = needWhite ? WhiteIndex(table, &colours, transparent) : 0;
    DecodeBudget budget;
    const std::vector<int> order = RowOrder(frame.Height, frame.Interlace);
    // A new picture shows index 0 everywhere, so white goes to entry 0 (the
    // entry there takes white's place): the screen around the frame then
    // costs nothing, however large a few bytes of file say it is.
    std::uint8_t remap[256];
    for (int i = 0; i < 256; ++i) // indices past the file's table show its entry 0
        remap[i] = std::uint8_t(i < fileColours ? i : 0);
    if (white != 0) {
        std::swap(table[0], table[white]);
        for (std::uint8_t& r : remap)
            r = r == 0 ? std::uint8_t(white) : r == white ? std::uint8_t(0) : r;
    }
    if (!NewPaletteDib(out, width, height, table, colours) || !budget.TakePicture(*out) ||
        !budget.Take(std::uint64_t(frame.Width) + order.size() * sizeof(int)))
        return false;

    std::vector<std::uint8_t> line(static_cast<std::size_t>(frame.Width));
    for (int y : order) {
        if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR)
            return false;
        for (std::uint8_t& index : line)
            index = remap[index];
        StoreIndexSpan(*out, frame.Top + y, frame.Left, line.data(), frame.Width, colours);
    }
    return true;
}

} // namespace

bool DecodeGif(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    *out = TDibRecord{};
    if (size < 6 || std::memcmp(data, "GIF", 3) != 0)
        return false;
    GifSource source{data, size, 0};
    int error = 0;
    GifCloser closer{DGifOpen(&source, ReadFromMemory, &error)};
    if (!closer.gif || !ReadGif(closer.gif, out)) {
        deldib(*out);
        *out = TDibRecord{};
        return false;
    }
    return true;
}
