// PNG through libpng. Palette files keep their palette (transparent entries
// composited over white), grey files become grey pictures (1-bit ones stay
// black and white), everything else 24 bits; alpha is composited over white
// and 16-bit channels are scaled to 8.
#include "imagora/Decoders.h"

#include "imagora/DecodeSupport.h"
#include "imagora/Imagora.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t kMaxSide = 1000000;          // libpng's own customary bound
constexpr png_alloc_size_t kMaxChunkBytes = 8 << 20; // text, ICC profiles and the like
constexpr png_uint_32 kMaxAncillaryChunks = 1000;
constexpr std::uint64_t kMaxDeflateRatio = 1032; // no deflate stream expands further
// Known chunks that carry nothing the picture shows, as libpng lists them:
// four letters and a terminator each.
constexpr png_byte kUnusedChunks[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0tIME\0hIST\0pCAL\0sCAL";

// What libpng delivers in each row, after the transformations we ask for.
enum class RowKind { Indices, Grey, GreyAlpha, Bgr, Bgra };

// Everything the decoder owns lives here, on the heap: libpng leaves by
// longjmp, which must not skip destructors or find locals stale.
struct PngReader {
    DecodeBudget budget; // libpng's own allocations are counted too
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    png_structp png = nullptr;
    png_infop info = nullptr;
    RowKind kind = RowKind::Bgr;
    int colours = 0;                         // palette entries, for RowKind::Indices
    bool wholeImage = false;                 // rows[] covers every row, not one staging row
    std::unique_ptr<std::uint8_t[]> staging; // not cleared: libpng fills every row
    std::vector<png_bytep> rows;

    ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto* r = static_cast<PngReader*>(png_get_io_ptr(png));
    if (count > r->size - r->pos)
        png_error(png, "truncated");
    std::memcpy(out, r->data + r->pos, count);
    r->pos += count;
}

// libpng's allocations, held to the budget. Each block carries its size in
// front so that freeing gives it back.
constexpr std::size_t kSizeHeader = alignof(std::max_align_t);

png_voidp Allocate(png_structp png, png_alloc_size_t size)
{
    auto* r = static_cast<PngReader*>(png_get_mem_ptr(png));
    if (size > SIZE_MAX - kSizeHeader || !r->budget.Take(size + kSizeHeader))
        return nullptr;
    auto* block = static_cast<std::uint8_t*>(std::malloc(size + kSizeHeader));
    if (!block) {
        r->budget.Give(size + kSizeHeader);
        return nullptr;
    }
    std::memcpy(block, &size, sizeof size);
    return block + kSizeHeader;
}

void Release(png_structp png, png_voidp p)
{
    if (!p)
        return;
    auto* block = static_cast<std::uint8_t*>(p) - kSizeHeader;
    png_alloc_size_t size;
    std::memcpy(&size, block, sizeof size);
    static_cast<PngReader*>(png_get_mem_ptr(png))->budget.Give(size + kSizeHeader);
    std::free(block);
}

[[noreturn]] void OnError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

// Asks libpng for rows we can store and makes the picture. Returns false for
// a file we refuse; libpng errors longjmp out of here instead.
bool Prepare(PngReader& r, TDibRecord* out)
{
    png_structp png = r.png;
    png_infop info = r.info;
    png_read_info(png, info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, type = 0, interlace = 0;
    png_get_IHDR(png, info, &width, &height, &depth, &type, &interlace, nullptr, nullptr);

    // A file cannot hold more image data than its size deflated at best.
    const std::uint64_t rawBytes =
        (std::uint64_t(png_get_rowbytes(png, info)) + 1) * std::uint64_t(height);
    if (rawBytes > std::uint64_t(r.size) * kMaxDeflateRatio + 1024)
        return false;

    const bool transparentValue = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (depth == 16)
        png_set_scale_16(png);

    bool made = false;
    if (type == PNG_COLOR_TYPE_PALETTE) {
        png_colorp plte = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &plte, &count) || count < 1)
            return false;
        png_bytep alpha = nullptr;
        int alphaCount = 0;
        if (transparentValue)
            png_get_tRNS(png, info, &alpha, &alphaCount, nullptr);
        RGBQUAD table[256];
        for (int i = 0; i < count && i < 256; ++i) {
            const unsigned a = i < alphaCount ? alpha[i] : 255u;
            table[i] = RGBQUAD{OverWhite(plte[i].blue, a), OverWhite(plte[i].green, a),
                               OverWhite(plte[i].red, a), 0};
        }
        r.colours = count < 256 ? count : 256;
        png_set_packing(png);
        r.kind = RowKind::Indices;
        made = NewPaletteDib(out, int(width), int(height), table, r.colours);
    } else if (type == PNG_COLOR_TYPE_GRAY && depth == 1 && !transparentValue) {
        const RGBQUAD blackWhite[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        png_set_packing(png);
        r.kind = RowKind::Indices;
        r.colours = 2;
        made = NewPaletteDib(out, int(width), int(height), blackWhite, 2);
    } else if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
        png_set_expand_gray_1_2_4_to_8(png);
        if (transparentValue)
            png_set_tRNS_to_alpha(png);
        r.kind = (transparentValue || type == PNG_COLOR_TYPE_GRAY_ALPHA) ? RowKind::GreyAlpha
                                                                         : RowKind::Grey;
        made = NewGreyDib(out, int(width), int(height));
    } else {
        if (transparentValue)
            png_set_tRNS_to_alpha(png);
        png_set_bgr(png);
        r.kind =
            (transparentValue || type == PNG_COLOR_TYPE_RGB_ALPHA) ? RowKind::Bgra : RowKind::Bgr;
        made = NewTrueColourDib(out, int(width), int(height));
    }
    if (!made || !r.budget.TakePicture(*out))
        return false;

    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int channels = png_get_channels(png, info);
    const int expected = r.kind == RowKind::Bgra        ? 4
                         : r.kind == RowKind::Bgr       ? 3
                         : r.kind == RowKind::GreyAlpha ? 2
                                                        : 1;
    if (channels != expected || png_get_bit_depth(png, info) != 8)
        return false;

    // Grey and colour rows land in the picture itself; the others go through
    // staging rows: one, or all of them when interlaced passes revisit rows.
    if (!r.budget.Take(std::uint64_t(height) * sizeof(png_bytep)))
        return false;
    r.rows.resize(height);
    if (r.kind == RowKind::Grey || r.kind == RowKind::Bgr) {
        r.wholeImage = true;
        for (png_uint_32 y = 0; y < height; ++y)
            r.rows[y] = DibRowFromTop(*out, int(y));
        return true;
    }
    r.wholeImage = interlace != PNG_INTERLACE_NONE;
    const std::uint64_t rowBytes = png_get_rowbytes(png, info);
    const std::uint64_t heldRows = r.wholeImage ? height : 1;
    if (!r.budget.Take(rowBytes * heldRows))
        return false;
    r.staging.reset(new std::uint8_t[std::size_t(rowBytes * heldRows)]);
    for (png_uint_32 y = 0; y < height; ++y)
        r.rows[y] = r.staging.get() + (r.wholeImage ? std::size_t(y * rowBytes) : 0);
    return true;
}

void StoreStagedRow(const PngReader& r, const TDibRecord& dib, int y, const std::uint8_t* row)
{
    switch (r.kind) {
    case RowKind::Indices:
        StoreIndexRow(dib, y, row, r.colours);
        break;
    case RowKind::GreyAlpha:
        CompositeGreyAlphaRow(DibRowFromTop(dib, y), row, DibWidth(dib));
        break;
    case RowKind::Bgra:
        CompositeBgraRow(DibRowFromTop(dib, y), row, DibWidth(dib));
        break;
    default:
        break;
    }
}

void ReadRows(PngReader& r, const TDibRecord& dib)
{
    const int height = DibHeight(dib);
    if (r.wholeImage) {
        png_read_image(r.png, r.rows.data());
        for (int y = 0; y < height && r.staging; ++y)
            StoreStagedRow(r, dib, y, r.rows[std::size_t(y)]);
        return;
    }
    for (int y = 0; y < height; ++y) {
        png_read_row(r.png, r.rows[std::size_t(y)], nullptr);
        StoreStagedRow(r, dib, y, r.rows[std::size_t(y)]);
    }
}

} // namespace

bool DecodePng(const std::uint8_t* data, std::size_t size, TDibRecord* out)
{
    *out = TDibRecord{};
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return false;
    auto reader = std::make_unique<PngReader>();
    reader->data = data;
    reader->size = size;
    reader->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning,
                                           reader.get(), Allocate, Release);
    if (!reader->png)
        return false;
    reader->info = png_create_info_struct(reader->png);
    if (!reader->info)
        return false;

    if (setjmp(png_jmpbuf(reader->png))) {
        deldib(*out);
        *out = TDibRecord{};
        return false;
    }
    png_set_read_fn(reader->png, reader.get(), ReadFromMemory);
    png_set_user_limits(reader->png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(reader->png, kMaxChunkBytes);
    png_set_chunk_cache_max(reader->png, kMaxAncillaryChunks);
    // Chunks that no picture needs are skipped unread: a text chunk that
    // claims 2 GB must not make libpng allocate and clear them.
    png_set_keep_unknown_chunks(reader->png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(reader->png, PNG_HANDLE_CHUNK_NEVER, kUnusedChunks,
                                int(sizeof kUnusedChunks / 5));
    if (!Prepare(*reader, out)) {
        deldib(*out);
        *out = TDibRecord{};
        return false;
    }
    ReadRows(*reader, *out);
    return true;
}
