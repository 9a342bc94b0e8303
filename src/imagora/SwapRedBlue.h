// Rows of three-byte pixels between the file order red, green, blue and the
// picture's blue, green, red: the same exchange of the outer bytes both ways.
#pragma once

#include <cstddef>
#include <cstdint>

// dst and src hold `pixels` pixels each and do not overlap.
void SwapRedBlue(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels);

// The same in 64-bit words, for processors without a byte shuffle; tests run
// it everywhere.
void SwapRedBlueInWords(std::uint8_t* dst, const std::uint8_t* src, std::size_t pixels);
