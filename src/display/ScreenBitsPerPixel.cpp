#include "display/StretchDrawDib.h"

#include <utility>

namespace {
std::function<int()>& Probe()
{
    static std::function<int()> probe;
    return probe;
}
} // namespace

int ScreenBitsPerPixel()
{
    return Probe() ? Probe()() : 32;
}

std::function<int()> SetScreenBitsPerPixelProbe(std::function<int()> probe)
{
    return std::exchange(Probe(), std::move(probe));
}
