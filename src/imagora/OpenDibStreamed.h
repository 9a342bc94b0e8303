// Opening a picture file while its rows are still being decoded.
#pragma once

#include "imagora/DibRecord.h"

class RowFeed;

// OpenDib, except that a JPEG file's rows are still being decoded on feed's
// thread when this returns (other files are read whole first): the record has
// its size and depth, its rows arrive as feed tells, and feed.Finish() says
// whether the picture is the file's. The record must outlive the feed's work.
void OpenDibStreamed(TDibRecord* dib, const char* path, RowFeed& feed);
