#pragma once
// Fills a rectangle of a bitmap with a texture seen through an affine matrix.
//
// mode = wrap + sampling. Wrap: 0 tile, 1 mirror tile (odd tiles read mirrored, x and y apart),
// 2 clip (pixels whose texture point falls outside the texture stay). Sampling: +0 nearest,
// +4 bilinear, +8 smoothed (mean of the four bilinear blends around the point), +16 bicubic.
// Any other mode paints nothing. m maps texture pixels to destination pixels; r is the
// destination rectangle (right and bottom excluded), clipped to dst. A matrix that cannot be
// inverted (determinant 0 or not finite), an empty texture or an empty r paint nothing.
// Destinations of other depths than 24 bits take the texture's raw pixel values, nearest only.

#include <pathkit/TMatrix.h>

#include "rasterkit/DIBInterface.h"

RASTERKIT_API void TexturePaint(DIBInterface& texture, floatTMatrix& m, RECT r, DIBInterface& dst,
                                int mode);
