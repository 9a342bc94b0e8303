// The file decoders behind OpenDib. Each reads a whole file held in memory
// and fills *out; on any fault it leaves *out without pixels (and releases
// whatever it had allocated) and returns false.
#pragma once

#include "imagora/DibRecord.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class MappedFile;
class RowFeed;

bool DecodeBmp(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodePnm(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodePng(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeJpeg(const std::uint8_t* data, std::size_t size, TDibRecord* out);
// DecodeJpeg at the reduced size OpenDibReduced describes.
bool DecodeJpegReduced(const std::uint8_t* data, std::size_t size, int boxWidth, int boxHeight,
                       TDibRecord* out);
bool DecodeGif(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeTiff(const std::uint8_t* data, std::size_t size, TDibRecord* out);
bool DecodeWebp(const std::uint8_t* data, std::size_t size, TDibRecord* out);

// A JPEG file whose rows are decoded on feed's thread while the caller goes
// on: *out has its size and depth at once, its rows as feed tells. False (and
// no picture) when the header is bad; a fault in the rows ends the feed as
// failed, and the picture is then not the file's. A photo to be turned
// upright is decoded whole before this returns.
bool DecodeJpegStreamed(std::shared_ptr<const MappedFile> file, TDibRecord* out, RowFeed& feed);
