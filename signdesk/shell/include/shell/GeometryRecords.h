#pragma once
// Archive records of the path library's value types, as documents store them: little-endian,
// floats as their IEEE single bit patterns, no padding.
//
//   floatPoint, floatRange   2 x f32
//   floatBBox                left, right, bottom, top (x range, then y range)
//   PathMember               u16 flags; start (first member only); ctrl1, ctrl2 (curves);
//                            end
//   SubPath                  u16 n; n members; f32 accuracy; u16 state (stored with 0x0400);
//                            ctrlBox; accBox; i16 depth; i8 rotation
//   Path                     u16 m; m sub-paths; f32 accuracy; ctrlBox; accBox
//   ColorPath                Path; u32 colour; u16 layer; u16 flags
//
// Loading checks every count against the bytes left and the arrays' limit before anything is
// allocated (CArchiveException), and gives a non-positive or non-finite accuracy
// Path::DefAccuracy.

#include "pathkit/BBox.h"
#include "pathkit/ColorPath.h"
#include "pathkit/Path.h"
#include "pathkit/Point.h"
#include "pathkit/Range.h"

class CArchive;

CArchive& operator<<(CArchive& ar, const floatPoint& p);
CArchive& operator>>(CArchive& ar, floatPoint& p);
CArchive& operator<<(CArchive& ar, const floatRange& r);
CArchive& operator>>(CArchive& ar, floatRange& r);
CArchive& operator<<(CArchive& ar, const floatBBox& b);
CArchive& operator>>(CArchive& ar, floatBBox& b);
CArchive& operator<<(CArchive& ar, const SubPath& sp);
CArchive& operator>>(CArchive& ar, SubPath& sp);
CArchive& operator<<(CArchive& ar, const Path& path);
CArchive& operator>>(CArchive& ar, Path& path);
CArchive& operator<<(CArchive& ar, const ColorPath& path);
CArchive& operator>>(CArchive& ar, ColorPath& path);

// Copies into destination the sub-paths of source (prepared first) whose depth is 0, and
// with keepNegative also those of negative depth (open ones); holes and islands within them
// are left out. source and destination may be the same path.
void FilterSubPaths(Path& source, Path& destination, int keepNegative);
