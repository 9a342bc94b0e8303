// Saving pictures. The format follows the file name's extension: .bmp/.dib,
// .png, .jpg/.jpeg/.jpe/.jfif, .tif/.tiff, .pbm/.pgm/.ppm/.pnm.
#pragma once

#include "imagora/DibRecord.h"

#include <string>

struct PictureMetadata;
class RowFeed;

// Writes the picture to path. The file is written beside the target under a
// temporary name and renamed over it only when complete and flushed, so a
// failed save leaves an existing file as it was. On failure *error (when
// given) receives a German message fit for a message box. JPEG, PNG and
// TIFF files keep the metadata of the picture as opened, when given. With
// rows, the picture's rows are still arriving through that feed: a JPEG file
// is written as they come, other formats once all are there; should they
// never come, nothing is written.
bool WriteDibFile(const TDibRecord& dib, const std::string& path, std::string* error = nullptr,
                  int jpegQuality = 90, const PictureMetadata* metadata = nullptr,
                  const RowFeed* rows = nullptr);

// "Description (masks)|masks|..." of the formats WriteDibFile writes.
const char* GetDIBSaveFilter();
