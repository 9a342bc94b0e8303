#include "imagora/Imagora.h"

// Placeholder until the decoders land: every file is unreadable.
void OpenDib(TDibRecord* dib, const char* /*path*/, int /*reserved*/, void* /*windowHandle*/)
{
    *dib = TDibRecord{};
}

const char* GetDIBOpenFilter() { return "Windows-Bitmap (*.bmp)|*.bmp"; }
