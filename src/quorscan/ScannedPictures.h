// Finished scans waiting for the main window: the dialog keeps a picture
// under a number and posts that number; the window takes the picture once.
#pragma once

#include "imagora/DibRecord.h"

#include <cstdint>

// Takes ownership of picture and returns the number it is kept under (never 0).
std::intptr_t KeepScannedPicture(const TDibRecord& picture);
// Hands the picture kept under id over to the caller and forgets it; a record
// without pixels for an unknown or already taken id.
TDibRecord TakeScannedPicture(std::intptr_t id);
// Releases every picture nobody took (the window closed before its message
// arrived).
void DiscardScannedPictures();
