// Turning a picture into a new one: by quarter and half turns pixel for
// pixel, or by any angle about its centre, each new pixel taking the nearest
// source pixel and the corners a background colour.
#pragma once

#include "imagora/DibRecord.h"
#include "base/WinTypes.h"
#include "base/ProgressSink.h"

// Result receives Src turned a quarter anticlockwise (RotLeft), clockwise
// (RotRight) or by half a turn, with Src's depth and colour table; Src is
// untouched. Result is empty when the new picture cannot be allocated.
// Progress: 0, one report per row of Src, 0.
void RotLeft(const TDibRecord& Src, TDibRecord& Result, ProgressSink& progress);
void RotRight(const TDibRecord& Src, TDibRecord& Result, ProgressSink& progress);
void Rot180(const TDibRecord& Src, TDibRecord& Result, ProgressSink& progress);
// The half turn within the picture's own pixels, as MirrorH and MirrorV work.
void Rot180InPlace(TDibRecord& dib, ProgressSink& progress);

// Result receives Src turned by Angle degrees, anticlockwise, or clockwise
// when Right, into a new picture just large enough for the turned corners.
// New pixels outside the turned picture are written with Colour as setpixel
// writes a value: 0x00BBGGRR at 24 bits, its low bits as the index of a
// palette picture. Result is empty when it cannot be allocated. Progress: 0,
// one report per new row, 0.
void DibRotxxx(const TDibRecord& Src, bool Right, long double Angle, COLORREF Colour,
               TDibRecord& Result, ProgressSink& progress);

// The free turn's geometry: the size of the new picture, and where a point of
// the source (pixels, rows from the top) comes to lie in it.
class FreeTurn {
public:
    FreeTurn(int width, int height, bool right, long double angle);
    int NewWidth() const { return newWidth_; }
    int NewHeight() const { return newHeight_; }
    void Place(double x, double y, double& newX, double& newY) const;

private:
    long double s_, c_;
    int centreX_, centreY_, newWidth_ = 0, newHeight_ = 0;
};
