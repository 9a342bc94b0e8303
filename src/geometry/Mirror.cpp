#include "geometry/Mirror.h"

#include "imagora/Orientation.h"

void MirrorH(TDibRecord& dib, ProgressSink& progress)
{
    OrientDibInPlace(dib, kOrientMirrorLeftRight, progress);
}

void MirrorV(TDibRecord& dib, ProgressSink& progress)
{
    OrientDibInPlace(dib, kOrientMirrorTopBottom, progress);
}
