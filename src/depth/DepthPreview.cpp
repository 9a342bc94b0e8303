#include "depth/DepthPreview.h"

#include "geometry/Crop.h"
#include "imagora/DibEncoders.h"
#include "imagora/Imagora.h"
#include "imagora/RowBands.h"
#include "imagora/UsedColours.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

SharedDib HoldDib(TDibRecord dib)
{
    return SharedDib(new TDibRecord(dib), [](const TDibRecord* d) {
        deldib(*d);
        delete d;
    });
}

std::vector<DepthDownChoice> DepthChoicesFor(int bits, bool windowsColours)
{
    using M = DepthMethod;
    const bool w = windowsColours;
    switch (bits) {
    case 1:
        return {{M::Nearest, true, w}, {M::FloydSteinberg, true, w}};
    case 4:
        return {{M::Nearest, true, w}, {M::FloydSteinberg, true, w},
                {M::Nearest, false, w}, {M::FloydSteinberg, false, w}};
    case 8:
        return {{M::Nearest, true, w},  {M::FloydSteinberg, true, w}, {M::Nearest, false, w},
                {M::Ordered, false, w}, {M::FloydSteinberg, false, w}};
    default:
        return {};
    }
}

namespace {

DepthDownChoice Effective(int bits, DepthDownChoice c)
{
    if (bits == 1) {
        if (c.Method == DepthMethod::Ordered)
            c.Method = DepthMethod::FloydSteinberg;
        c.Optimized = true;
    } else if (c.Method == DepthMethod::Ordered) {
        if (bits == 8)
            c.Optimized = false;
        else
            c.Method = DepthMethod::Nearest;
    }
    c.WindowsColours = true;
    return c;
}

} // namespace

bool SameReduction(int bits, const DepthDownChoice& a, const DepthDownChoice& b)
{
    return Effective(bits, a) == Effective(bits, b);
}

SharedDib CopyDib(const TDibRecord& dib)
{
    TDibRecord copy;
    if (dib.Bits)
        NewDibLike(&copy, dib);
    if (copy.Bits)
        std::memcpy(copy.Bits, dib.Bits, std::size_t(dib.LineBytes) * std::size_t(DibHeight(dib)));
    return HoldDib(copy);
}

const char* DepthMethodName(DepthMethod method)
{
    switch (method) {
    case DepthMethod::Nearest:
        return "Nächste Farbe";
    case DepthMethod::Ordered:
        return "Raster";
    case DepthMethod::FloydSteinberg:
        break;
    }
    return "Fehlerverteilung";
}

const char* DepthPaletteName(int bits, const DepthDownChoice& choice)
{
    if (bits == 1)
        return "Schwarz-Weiß";
    return choice.Optimized ? "optimiert" : "Standard";
}

RECT PreviewRegion(const TDibRecord& picture, int cx, int cy, int width, int height)
{
    const int w = DibWidth(picture), h = DibHeight(picture);
    width = std::clamp(width, 0, w);
    height = std::clamp(height, 0, h);
    const int left = std::clamp(cx - width / 2, 0, w - width) / 8 * 8;
    // the distance of the bottom edge from the picture's bottom, rounded down
    // to a multiple of 8, can only move the part down
    int fromBottom = std::clamp(h - (cy - height / 2) - height, 0, h - height) / 8 * 8;
    const int bottom = h - fromBottom;
    return RECT{left, bottom - height, std::min(w, left + width), bottom};
}

bool MapsPixelsAlone(const DepthDownChoice& choice)
{
    return choice.Method != DepthMethod::FloydSteinberg;
}

TDibRecord ReducePart(const TDibRecord& picture, const TDibRecord& table,
                      const DepthDownChoice& choice, const RECT& r)
{
    NullProgress quiet;
    TDibRecord part, reduced;
    CropDib(picture, r, part, quiet);
    if (part.Bits) {
        NewDibLike(&reduced, table, DibWidth(part), DibHeight(part));
        if (reduced.Bits)
            DepthDownPixels(part, reduced, choice, quiet);
    }
    deldib(part);
    return reduced;
}

namespace {

void CheckStop(const StopFlag* stop)
{
    if (stop && stop->load(std::memory_order_relaxed))
        throw DepthPreviewStopped{};
}

double Psnr(const TDibRecord& a, const TDibRecord& b, const StopFlag* stop)
{
    const int w = DibWidth(a), h = DibHeight(a);
    std::vector<std::uint64_t> sums(std::size_t(RowBandThreads()), 0);
    ForEachRowBand(h, std::size_t(w) * 6, nullptr, [&](int first, int last) {
        CheckStop(stop);
        std::vector<std::uint8_t> ra(std::size_t(w) * 3), rb(ra.size());
        std::uint64_t sum = 0;
        for (int y = first; y < last; ++y) {
            DibRowToRgb(a, y, ra.data());
            DibRowToRgb(b, y, rb.data());
            for (std::size_t i = 0; i < ra.size(); ++i) {
                const int d = int(ra[i]) - int(rb[i]);
                sum += std::uint64_t(d * d);
            }
        }
        sums[std::size_t(RowBandThread())] += sum;
    });
    std::uint64_t total = 0;
    for (const std::uint64_t s : sums)
        total += s;
    if (total == 0)
        return std::numeric_limits<double>::infinity();
    const double mse = double(total) / (3.0 * double(w) * double(h));
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace

PngByteCount::PngByteCount() : fd_(::open("/dev/null", O_WRONLY | O_CLOEXEC)) {}

PngByteCount::~PngByteCount()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::uint64_t PngByteCount::Of(const TDibRecord& dib)
{
    if (fd_ < 0)
        return 0;
    OutputFile out(fd_, false);
    EncodeOptions options;
    options.extension = ".png";
    std::string reason;
    return EncodePng(dib, options, out, reason) && out.Flush() ? out.Position() : 0;
}

void PngByteCount::BreakOff()
{
    // The descriptor stays ours (closing it could hand its number to another
    // file meanwhile); it only stops taking writes.
    const int readOnly = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (readOnly < 0)
        return;
    if (fd_ >= 0)
        ::dup3(readOnly, fd_, O_CLOEXEC);
    ::close(readOnly);
}

DepthFigures MeasureReduction(const TDibRecord& original, const TDibRecord& reduced,
                              const StopFlag* stop, PngByteCount* png)
{
    DepthFigures f;
    f.Colours = ColoursInUse(reduced);
    f.Psnr = Psnr(original, reduced, stop);
    CheckStop(stop);
    PngByteCount own;
    f.PngBytes = (png ? *png : own).Of(reduced);
    CheckStop(stop);
    return f;
}

std::vector<DepthReportRow> DepthReport(const TDibRecord& picture, int bits, ProgressSink& progress)
{
    std::vector<DepthReportRow> rows;
    if (!DepthDownConverts(bits, DibBitCount(picture)))
        return rows;
    for (const DepthDownChoice& c : DepthChoicesFor(bits, true)) {
        const SharedDib reduced = HoldDib(DepthDownTo(picture, bits, c, progress));
        if (!reduced->Bits)
            return {};
        rows.push_back({c, MeasureReduction(picture, *reduced)});
    }
    return rows;
}
