#pragma once
// Warps a whole bitmap through a point mapping that a subclass supplies: the source is cut
// into a grid of cells, each cell's corners are warped, and each cell is drawn as two
// affinely mapped triangles.

#include <pathkit/BBox.h>
#include <pathkit/Point.h>
#include <pathkit/TMatrix.h>

#include "rasterkit/DIBInterface.h"

class RASTERKIT_API DibDistortionBase {
public:
    DibDistortionBase() = default;
    DibDistortionBase(const DibDistortionBase&) = default;
    DibDistortionBase& operator=(const DibDistortionBase&) = default;
    virtual ~DibDistortionBase() = default;

    // The warp, in design space; by default none.
    virtual void TransformPoint(floatPoint& p);

    // src's pixels are laid onto box (design space, y up), warped, and the warped picture is
    // drawn to fill dst. Grid steps below 1 are taken as 1; cells with a corner that does not
    // warp to a finite point are skipped. smooth 0 samples the nearest texel, else bilinear.
    void Transform(DIBInterface& src, floatBBox& box, DIBInterface& dst, int stepX, int stepY,
                   int smooth);

protected:
    floatTMatrix m_toBox;    // source pixels to the box
    floatTMatrix m_toDest;   // warped box to destination pixels
    floatTMatrix m_triangle; // destination to source of the last triangle drawn
    int m_srcWidth = 0;
    int m_srcHeight = 0;
    int m_dstWidth = 0;
    int m_dstHeight = 0;
    int m_stepX = 0;
    int m_stepY = 0;
    floatBBox m_srcBox;
    floatBBox m_warpedBox;
};
