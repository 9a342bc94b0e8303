// WebP through libwebp, lossy and lossless, as 24 bits with alpha composited
// over white. Animated files are refused: libwebp's simple decoder reads no
// frames, and a still photo program has no use for the first one alone.
#include "imagora/Decoders.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Imagora.h"

#include <webp/decode.h>

#include <cstring>
#include <memory>

namespace {

bool ReadWebp(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config) ||
        WebPGetFeatures(data, size, &config.input) != VP8_STATUS_OK || config.input.has_animation ||
        config.input.width <= 0 || config.input.height <= 0)
        return false;
    const int width = config.input.width;
    const int height = config.input.height;
    DecodeBudget budget;
    if (!NewTrueColourDib(out, width, height) || !budget.TakePicture(*out))
        return false;
    // libwebp's own frame: a lossless file decodes into four bytes a pixel,
    // a lossy one's alpha plane and its decoding take two.
    const std::uint64_t pixels = std::uint64_t(width) * std::uint64_t(height);
    const bool lossless = config.input.format == 2;
    if (!budget.Take(lossless ? 4 * pixels : config.input.has_alpha ? 2 * pixels : 0))
        return false;

    WebPRGBABuffer& buffer = config.output.u.RGBA;
    config.output.is_external_memory = 1;
    std::unique_ptr<std::uint8_t[]> bgra; // not cleared: libwebp fills it
    if (!config.input.has_alpha) {
        // Straight into the picture: flipped, since its rows are stored bottom-up.
        config.output.colorspace = MODE_BGR;
        config.options.flip = 1;
        buffer.rgba = out->Bits;
        buffer.stride = out->LineBytes;
        buffer.size = out->Info->bmiHeader.biSizeImage;
    } else {
        if (!budget.Take(4 * pixels))
            return false;
        bgra.reset(new std::uint8_t[std::size_t(4 * pixels)]);
        config.output.colorspace = MODE_BGRA;
        buffer.rgba = bgra.get();
        buffer.stride = width * 4;
        buffer.size = std::size_t(4 * pixels);
    }
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        return false;
    for (int y = 0; y < height && bgra; ++y)
        CompositeBgraRow(DibRowFromTop(*out, y), bgra.get() + std::size_t(y) * width * 4, width);
    return true;
}

} // namespace

bool DecodeWebp(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    *out = TDibRecord{};
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WEBP", 4) != 0)
        return false;
    if (!ReadWebp(data, size, out)) {
        deldib(*out);
        *out = TDibRecord{};
        return false;
    }
    return true;
}
