// Shared pieces of the decoder tests: test files, ImageMagick as a second
// decoder to compare with, and the broken-file corpus every decoder must
// survive.
#pragma once

#include "TestSupport.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;
using Decoder = bool (*)(const std::uint8_t*, std::size_t, TDibRecord*);

std::string DataFile(const std::string& relative); // under tests/data
Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);

// The picture as red, green, blue bytes, rows from the top (palette pictures
// through their colour table).
Bytes DibRgb(const TDibRecord& dib);
int MaxDifference(const Bytes& a, const Bytes& b);

// A temporary folder removed with the object.
class TempFolder {
public:
    TempFolder() : path(MakeTempDir()) {}
    ~TempFolder();
    std::string File(const std::string& name) const { return path + "/" + name; }
    const std::string path;
};

bool HaveMagick();
// Runs `convert ARGS`; false when it fails.
bool Magick(const std::string& args);
// ImageMagick's reading of the first picture of a file as 8-bit RGB, alpha
// over white; `options` go right after the input (e.g. "-set colorspace sRGB").
Bytes MagickRgb(const std::string& path, const std::string& options = "");

#define REQUIRE_MAGICK()                                                                           \
    if (!HaveMagick())                                                                             \
    GTEST_SKIP() << "ImageMagick's convert is not installed"

// Decodes a file and compares it with ImageMagick's reading: size, depth and
// every pixel within `tolerance`.
void ExpectLikeMagick(Decoder decode, const std::string& path, int bits, int tolerance = 0,
                      const std::string& options = "");

// This process's peak resident memory so far.
long PeakResidentKiB();

// How far this process's peak resident memory rose while f ran, in MiB: a
// decoder that allocated and cleared a buffer it should have refused shows
// here. (A peak reached earlier in the same process can hide a smaller rise;
// ctest runs every test in a process of its own.)
template <typename F> long PeakMemoryGrowthMiB(F f)
{
    const long before = PeakResidentKiB();
    f();
    return (PeakResidentKiB() - before) / 1024;
}

// The broken-file corpus made from a good file: the file cut at many lengths
// must give no picture, except that cutting only the last `tail` bytes may
// still give exactly the full picture; damaged header bytes must neither crash
// nor leak nor give a picture of another size.
void ExpectSurvivesDamage(Decoder decode, const Bytes& good, std::size_t tail);
