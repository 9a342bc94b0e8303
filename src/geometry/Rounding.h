// Rounding of the geometry commands: to the nearest integer, a half going to
// the even neighbour (2.5 -> 2, 3.5 -> 4), in extended precision.
#pragma once

#include <cmath>

inline int Round(long double q)
{
    return int(std::nearbyintl(q)); // the default rounding mode rounds halves to even
}
