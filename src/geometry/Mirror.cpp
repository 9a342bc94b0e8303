#include "geometry/Mirror.h"

#include "imagora/Orientation.h"

void MirrorH(const TDibRecord& Src, TDibRecord& Dst, ProgressSink& progress)
{
    OrientDib(Src, kOrientMirrorLeftRight, Dst, progress);
}

void MirrorV(const TDibRecord& Src, TDibRecord& Dst, ProgressSink& progress)
{
    OrientDib(Src, kOrientMirrorTopBottom, Dst, progress);
}
