// The file decoders behind OpenDib. Each reads a whole file held in memory
// and fills *out; on any fault it leaves *out without pixels (and releases
// whatever it had allocated) and returns false.
#pragma once

#include "imagora/DibRecord.h"

#include <cstddef>
#include <cstdint>

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodePnm(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodePng(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeGif(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeTiff(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeWebp(const std::uint8_t* data, std::size_t size, TDibRecord* out);
