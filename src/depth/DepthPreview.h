// The reduction's choices side by side: for a target depth, every method and
// palette the options dialog offers, each shown on one part of the picture
// at 100 % and measured over the whole picture. Everything goes through the
// reduction's own table and pixel code, so a preview is what OK gives.
#pragma once

#include "depth/DepthDown.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

// A picture that frees itself when the last holder lets go.
using SharedDib = std::shared_ptr<const TDibRecord>;
SharedDib HoldDib(TDibRecord dib);

// The choices offered for a reduction to bits (1, 4 or 8), in the order the
// dialog shows them; the system colours as given. Empty for other depths.
std::vector<DepthDownChoice> DepthChoicesFor(int bits, bool windowsColours);

// Whether two choices give the same reduction to bits: a method that the
// target does not offer works as the one standing in for it, ordered
// dithering always brings the standard palette, 1 bit has no palette to choose.
bool SameReduction(int bits, const DepthDownChoice& a, const DepthDownChoice& b);

// An independent copy of a picture; empty when there is no memory for it.
SharedDib CopyDib(const TDibRecord& dib);

// German short name of a choice: "Floyd-Steinberg, optimiert".
const char* DepthMethodName(DepthMethod method);
const char* DepthPaletteName(int bits, const DepthDownChoice& choice);

// The part of width x height pixels around (cx, cy), inside the picture,
// its left edge and its distance from the bottom multiples of 8 so that the
// ordered dither's pattern lines up with the whole picture's.
RECT PreviewRegion(const TDibRecord& picture, int cx, int cy, int width, int height);

// Whether a choice maps every pixel on its own (no error carried along), so
// that a part can be reduced without the rest once the table is made.
bool MapsPixelsAlone(const DepthDownChoice& choice);

// Thrown by Cancelled() once a stop was asked for.
struct DepthPreviewStopped {};
using StopFlag = std::atomic<bool>;

// The part r of picture reduced as DepthDownTo reduces the whole, for a
// choice that maps pixels alone. table is a record of the target depth whose
// colour table the reduction of the whole picture made (any size).
TDibRecord ReducePart(const TDibRecord& picture, const TDibRecord& table,
                      const DepthDownChoice& choice, const RECT& r);

// A reduced picture against its original, over the whole picture.
struct DepthFigures {
    int Colours = 0;
    double Psnr = 0;           // dB over red, green and blue; infinite when equal
    std::uint64_t PngBytes = 0; // of the PNG file the program saves of it
};
// The length of the PNG file the program saves of a picture, written where
// it costs nothing to keep. Another thread may break a count off, which
// then fails at once.
class PngByteCount {
public:
    PngByteCount();
    PngByteCount(const PngByteCount&) = delete;
    PngByteCount& operator=(const PngByteCount&) = delete;
    ~PngByteCount();

    // 0 when broken off.
    std::uint64_t Of(const TDibRecord& dib);
    // Makes every later write of a count fail; safe on any thread.
    void BreakOff();

private:
    int fd_;
};

// stop, when given, is looked at between bands and after the PNG file (which
// a stop breaks off through png); a stop throws DepthPreviewStopped.
DepthFigures MeasureReduction(const TDibRecord& original, const TDibRecord& reduced,
                              const StopFlag* stop = nullptr, PngByteCount* png = nullptr);

// One row of the command line's report.
struct DepthReportRow {
    DepthDownChoice Choice;
    DepthFigures Figures;
};
// Every choice for bits, reduced in full and measured; empty when the picture
// cannot be reduced to bits.
std::vector<DepthReportRow> DepthReport(const TDibRecord& picture, int bits, ProgressSink& progress);
