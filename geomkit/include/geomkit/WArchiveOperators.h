#pragma once
// Archive operators of the value types: points and vectors as x, y; boxes as left, bottom,
// right, top; matrices as a, b, c, d, e, f.

#include "geomkit/KArchive.h"
#include "geomkit/WBoundingBox.h"
#include "geomkit/WPont.h"
#include "geomkit/WTransMatrix.h"

GEOMKIT_API KArchive& operator<<(KArchive& ar, const WPont<float>& p);
GEOMKIT_API KArchive& operator>>(KArchive& ar, WPont<float>& p);
GEOMKIT_API KArchive& operator<<(KArchive& ar, const WVektor<float>& v);
GEOMKIT_API KArchive& operator>>(KArchive& ar, WVektor<float>& v);
GEOMKIT_API KArchive& operator<<(KArchive& ar, const WPont<double>& p);
GEOMKIT_API KArchive& operator>>(KArchive& ar, WPont<double>& p);
GEOMKIT_API KArchive& operator<<(KArchive& ar, const WVektor<double>& v);
GEOMKIT_API KArchive& operator>>(KArchive& ar, WVektor<double>& v);
GEOMKIT_API KArchive& operator<<(KArchive& ar, const WBoundingBox& b);
GEOMKIT_API KArchive& operator>>(KArchive& ar, WBoundingBox& b);
GEOMKIT_API KArchive& operator<<(KArchive& ar, const WTransMatrix& m);
GEOMKIT_API KArchive& operator>>(KArchive& ar, WTransMatrix& m);
