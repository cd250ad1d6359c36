#pragma once
// Axis-parallel rectangle. It starts out empty (invalid) and grows by expansion.

#include "geomkit/WPont.h"
#include "geomkit/export.h"

class WTransMatrix;

class GEOMKIT_API WBoundingBox {
public:
    WBoundingBox() { Invalidate(); }
    WBoundingBox(double x1, double x2, double y1, double y2) { Initialize(x1, x2, y1, y2); }
    WBoundingBox(const WPont<float>& p1, const WPont<float>& p2) {
        Initialize(p1.x, p2.x, p1.y, p2.y);
    }
    WBoundingBox(const WPont<double>& p1, const WPont<double>& p2) {
        Initialize(p1.x, p2.x, p1.y, p2.y);
    }

    void Invalidate();
    void Initialize(double x1, double x2, double y1, double y2);

    // Equal when all four bounds differ by at most the single-precision epsilon.
    bool operator==(const WBoundingBox& b) const;
    bool operator!=(const WBoundingBox& b) const { return !(*this == b); }

    WBoundingBox& Expand(const WBoundingBox& b);
    WBoundingBox Union(const WBoundingBox& b) const;
    // Points with a coordinate at or beyond ±1e38, or NaN, are ignored.
    WBoundingBox& Expand(const WPont<float>& p) { return Expand(double(p.x), double(p.y)); }
    WBoundingBox& Expand(const WPont<double>& p) { return Expand(p.x, p.y); }
    void ExpandX(double x);
    void ExpandY(double y);
    void Inflate(double d);
    void Offset(const WVektor<float>& v);
    // The box of the four transformed corners; an invalid box stays invalid.
    void AcceptLinearTrans(const WTransMatrix& m);

    int IsValid() const { return left <= right && bottom <= top; }
    // Half-open: left ≤ x < right, bottom ≤ y < top.
    int IsInside(const WPont<float>& p) const { return IsInXRange(p.x) && IsInYRange(p.y); }
    int IsInXRange(double x) const { return left <= x && x < right; }
    int IsInYRange(double y) const { return bottom <= y && y < top; }
    // Closed, with the box grown by tol.
    int IsInsideWithTolerance(const WPont<float>& p, double tol) const {
        return IsInsideWithTolerance(p.x, p.y, tol);
    }
    int IsInsideWithTolerance(double x, double y, double tol) const;
    // The interiors overlap.
    int IsCrossing(const WBoundingBox& b) const;
    // The boxes overlap or touch.
    int IsCrossingWithBorder(const WBoundingBox& b) const;
    // b is valid and lies within this box, borders included.
    int Consist(const WBoundingBox& b) const;

    double Width() const { return right - left; }
    double Height() const { return top - bottom; }
    WPont<float> Center() const;

    // This box becomes the intersection (1), or the empty box when they do not meet (0).
    int InterSectBox(const WBoundingBox& b);
    // Offsets of p from the centre in percent of width and height.
    void GetRatioWithPoint(const WPont<double>& p, double& rx, double& ry) const;
    void GetPointWithRatio(WPont<double>& p, double rx, double ry) const;
    WVektor<float> CalcDisplacementToCenter(WBoundingBox other) const;
    void CenterIn(WBoundingBox other);
    // How far other must move to lie inside this box with margin to spare.
    WVektor<float> CalcDisplacementToContain(WBoundingBox other, double margin) const;

    double left;
    double right;
    double bottom;
    double top;

private:
    WBoundingBox& Expand(double x, double y);
};
