// A 64-bit fingerprint of a picture's content: its size, depth, colour table
// and pixels. Pictures alike have the same fingerprint; pictures that differ
// have the same one only by a chance of about 2^-64. Row padding, the unused
// bits at the end of a packed row and the reserved byte of each colour are
// left out, so pictures made by different operations compare by what they
// hold.
#pragma once

#include "imagora/DibRecord.h"

#include <cstdint>

std::uint64_t PictureFingerprint(const TDibRecord& picture);
