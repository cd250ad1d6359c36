#pragma once
// Small numeric helpers shared by the geometry code: 2x2 systems, line intersection, signed
// angles, polynomial roots and point-to-line distance.

#include "pathkit/BBox.h"
#include "pathkit/Point.h"
#include "pathkit/TMatrix.h"
#include "pathkit/export.h"

// Solves a11 x + a12 y = r1, a21 x + a22 y = r2 by Cramer's rule. Returns 1, or 0 (x and y
// untouched) when |det| < 1e-10, the determinant is not finite or the solution is not finite.
PATHKIT_API int SolveLin2(double a11, double a12, double a21, double a22, double r1, double r2,
                          double& x, double& y);

// Crossing of the lines P1P2 and P3P4. Parallel lines give 0, except collinear ones, which
// give 1 and the point P3.
PATHKIT_API int IntersectionPoint(double x1, double y1, double x2, double y2, double x3, double y3,
                                  double x4, double y4, double& x, double& y);
PATHKIT_API int IntersectionPoint(const floatPoint& p1, const floatPoint& p2, const floatPoint& p3,
                                  const floatPoint& p4, floatPoint& out);
// The same on integer points, rounded to the nearest integers; 0 (out untouched) when the
// crossing lies beyond the 32-bit range.
PATHKIT_API int IntersectionPoint(const longPoint& p1, const longPoint& p2, const longPoint& p3,
                                  const longPoint& p4, longPoint& out);

// Signed angle from a to b in radians, in (-pi, pi], counter-clockwise positive; 0 when either
// vector is zero (or not finite).
PATHKIT_API double VectAngle(double ax, double ay, double bx, double by);

// c[0] + c[1] x + c[2] x^2 = 0. The roots overwrite c; returns their number, or -1 when
// c[1] = c[2] = 0. Coefficients that are not finite give 0.
PATHKIT_API int SolveQuadratic(double c[3]);
// c[0] + c[1] x + c[2] x^2 + c[3] x^3 = 0. The roots overwrite c; returns their number
// (falls back to SolveQuadratic when c[3] = 0). Coefficients that are not finite give 0.
PATHKIT_API int SolveCubic(double c[4]);

// Squared distance of p from the line through a and b; from a itself when a and b coincide
// (within 1e-6 in both coordinates for floats, exactly for integers).
PATHKIT_API double Dist2(const floatPoint& a, const floatPoint& b, const floatPoint& p);
PATHKIT_API double Dist2(const longPoint& a, const longPoint& b, const longPoint& p);

// Scale and translation mapping box `from` onto box `to`, corner (left, bottom) onto
// (left, bottom) and (right, top) onto (right, top).
PATHKIT_API void BoxTransformation(floatTMatrix& m, const floatBBox& from, const floatBBox& to);

// Every coordinate times the factor, truncated towards zero; values beyond the 32-bit range
// saturate and NaN gives 0.
PATHKIT_API longBBox operator*(const floatBBox& box, float factor);
