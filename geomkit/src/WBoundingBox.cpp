#include "geomkit/WBoundingBox.h"

#include <cmath>

#include "geomkit/WTransMatrix.h"

namespace {

constexpr double kEmpty = 1e38;
constexpr double kFloatEpsilon = 1.1920929e-07;

bool Usable(double v) {
    return v < kEmpty && v > -kEmpty; // false for NaN too
}

} // namespace

void WBoundingBox::Invalidate() {
    left = bottom = kEmpty;
    right = top = -kEmpty;
}

void WBoundingBox::Initialize(double x1, double x2, double y1, double y2) {
    left = x1 < x2 ? x1 : x2;
    right = x1 < x2 ? x2 : x1;
    bottom = y1 < y2 ? y1 : y2;
    top = y1 < y2 ? y2 : y1;
}

bool WBoundingBox::operator==(const WBoundingBox& b) const {
    return std::fabs(left - b.left) <= kFloatEpsilon &&
           std::fabs(right - b.right) <= kFloatEpsilon &&
           std::fabs(bottom - b.bottom) <= kFloatEpsilon && std::fabs(top - b.top) <= kFloatEpsilon;
}

WBoundingBox& WBoundingBox::Expand(const WBoundingBox& b) {
    if (b.left < left) left = b.left;
    if (b.right > right) right = b.right;
    if (b.bottom < bottom) bottom = b.bottom;
    if (b.top > top) top = b.top;
    return *this;
}

WBoundingBox WBoundingBox::Union(const WBoundingBox& b) const {
    WBoundingBox u(*this);
    return u.Expand(b);
}

WBoundingBox& WBoundingBox::Expand(double x, double y) {
    if (!Usable(x) || !Usable(y)) return *this;
    ExpandX(x);
    ExpandY(y);
    return *this;
}

void WBoundingBox::ExpandX(double x) {
    if (!Usable(x)) return;
    if (x < left) left = x;
    if (x > right) right = x;
}

void WBoundingBox::ExpandY(double y) {
    if (!Usable(y)) return;
    if (y < bottom) bottom = y;
    if (y > top) top = y;
}

void WBoundingBox::Inflate(double d) {
    left -= d;
    bottom -= d;
    right += d;
    top += d;
}

void WBoundingBox::Offset(const WVektor<float>& v) {
    left += v.x;
    right += v.x;
    bottom += v.y;
    top += v.y;
}

void WBoundingBox::AcceptLinearTrans(const WTransMatrix& m) {
    // The empty box has no corners to map; mapping its ±1e38 bounds would make a huge valid box.
    if (!IsValid()) return;
    const WPont<float> corners[4] = {
        WPont<float>(float(left), float(bottom)), WPont<float>(float(right), float(bottom)),
        WPont<float>(float(right), float(top)), WPont<float>(float(left), float(top))};
    WPont<float> p = m.GetTransformed(corners[0]);
    double l = p.x, r = p.x, b = p.y, t = p.y;
    for (int i = 1; i < 4; ++i) {
        p = m.GetTransformed(corners[i]);
        l = p.x < l ? p.x : l;
        r = p.x > r ? p.x : r;
        b = p.y < b ? p.y : b;
        t = p.y > t ? p.y : t;
    }
    left = l;
    right = r;
    bottom = b;
    top = t;
}

int WBoundingBox::IsInsideWithTolerance(double x, double y, double tol) const {
    return left - tol <= x && x <= right + tol && bottom - tol <= y && y <= top + tol;
}

int WBoundingBox::IsCrossing(const WBoundingBox& b) const {
    return right > b.left && left < b.right && top > b.bottom && bottom < b.top;
}

int WBoundingBox::IsCrossingWithBorder(const WBoundingBox& b) const {
    return right >= b.left && left <= b.right && top >= b.bottom && bottom <= b.top;
}

int WBoundingBox::Consist(const WBoundingBox& b) const {
    return b.IsValid() && b.left >= left && b.right <= right && b.bottom >= bottom && b.top <= top;
}

WPont<float> WBoundingBox::Center() const {
    return WPont<float>(float((left + right) / 2), float((bottom + top) / 2));
}

int WBoundingBox::InterSectBox(const WBoundingBox& b) {
    if (!IsCrossingWithBorder(b)) {
        Invalidate();
        return 0;
    }
    if (b.left > left) left = b.left;
    if (b.right < right) right = b.right;
    if (b.bottom > bottom) bottom = b.bottom;
    if (b.top < top) top = b.top;
    return 1;
}

void WBoundingBox::GetRatioWithPoint(const WPont<double>& p, double& rx, double& ry) const {
    rx = ry = 0;
    if (!IsValid()) return;
    double w = Width(), h = Height();
    if (w != 0) rx = (p.x - (left + right) / 2) / w * 100;
    if (h != 0) ry = (p.y - (bottom + top) / 2) / h * 100;
}

void WBoundingBox::GetPointWithRatio(WPont<double>& p, double rx, double ry) const {
    if (!IsValid()) {
        p = WPont<double>(0, 0);
        return;
    }
    p = WPont<double>((left + right) / 2 + rx * 0.01 * Width(),
                      (bottom + top) / 2 + ry * 0.01 * Height());
}

WVektor<float> WBoundingBox::CalcDisplacementToCenter(WBoundingBox other) const {
    return WVektor<float>(float((left + right) / 2 - (other.left + other.right) / 2),
                          float((bottom + top) / 2 - (other.bottom + other.top) / 2));
}

void WBoundingBox::CenterIn(WBoundingBox other) {
    Offset(other.CalcDisplacementToCenter(*this));
}

WVektor<float> WBoundingBox::CalcDisplacementToContain(WBoundingBox other, double margin) const {
    other.Inflate(margin);
    if (Width() < other.Width() || Height() < other.Height())
        return CalcDisplacementToCenter(other);
    if (Consist(other)) return WVektor<float>(0, 0);
    double dx = 0, dy = 0;
    if (left - other.left > 0)
        dx = left - other.left;
    else if (right - other.right < 0)
        dx = right - other.right;
    if (bottom - other.bottom > 0)
        dy = bottom - other.bottom;
    else if (top - other.top < 0)
        dy = top - other.top;
    return WVektor<float>(float(dx), float(dy));
}
