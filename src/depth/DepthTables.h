// The fixed tables of the colour reductions: the 16- and 256-colour standard
// palettes, the 6 x 6 x 6 colour cube laid into the 256 colours, and the
// lookups that let ordered dithering run without a division per pixel.
#pragma once

#include <array>
#include <cstdint>

struct RgbTriple {
    std::uint8_t Red, Green, Blue;
    friend bool operator==(const RgbTriple&, const RgbTriple&) = default;
};

// The 16 colours of the standard 4-bit palette.
extern const std::array<RgbTriple, 16> StdPal16;

// The 256 colours of the standard 8-bit palette: the 20 fixed system colours
// at 0-9 and 246-255, greys and other colours at 10-28 and 233-245, and 212 of
// the 216 cube colours (51r, 51g, 51b) everywhere else.
extern const std::array<RgbTriple, 256> StdPal256;

// How many of the system colours sit at each end of StdPal256.
constexpr int kWindowsColoursAtEachEnd = 10;

// v div 51 and v mod 51 for a channel value v: its cube level and how far it
// lies above that level.
extern const std::array<std::uint8_t, 256> Div51;
extern const std::array<std::uint8_t, 256> Mod51;
// 6 and 36 times a cube level 0..5.
extern const std::array<std::uint8_t, 6> Mul6;
extern const std::array<std::uint8_t, 6> Mul36;

// Thresholds 0..50 of the 8 x 8 ordered dither, indexed [x mod 8][row mod 8].
extern const std::array<std::array<std::uint8_t, 8>, 8> DitherMatrix8;

// The StdPal256 entry for cube index r + 6g + 36b (levels 0..5). The four cube
// colours the palette lacks take the pure colour they lean to.
extern const std::array<std::uint8_t, 216> CubeToPalette;
