#include "geomkit/WTransMatrix.h"

#include <cmath>

#include "geomkit/WBoundingBox.h"

namespace {

constexpr double kSingular = 2.220446049250313e-16;
// 1e-5 rounded to single precision: a source extent below it is degenerate.
constexpr double kDegenerateExtent = 9.999999747378752e-06;

} // namespace

WTransMatrix WTransMatrix::operator*(const WTransMatrix& n) const {
    return WTransMatrix(n.m_a * m_a + n.m_b * m_c, n.m_a * m_b + n.m_b * m_d,
                        n.m_c * m_a + n.m_d * m_c, n.m_c * m_b + n.m_d * m_d,
                        n.m_a * m_e + n.m_b * m_f + n.m_e, n.m_c * m_e + n.m_d * m_f + n.m_f);
}

WTransMatrix WTransMatrix::Inverse() const {
    double det = Determinant();
    if (!(std::fabs(det) > kSingular)) return *this;
    return WTransMatrix(m_d / det, -m_b / det, -m_c / det, m_a / det, (m_b * m_f - m_d * m_e) / det,
                        (m_c * m_e - m_a * m_f) / det);
}

void WTransMatrix::Rotate(double angle) {
    double c = std::cos(angle), s = std::sin(angle);
    *this *= WTransMatrix(c, s, -s, c, 0, 0);
}

void WTransMatrix::RotateAround(double angle, const WPont<float>& centre) {
    Translate(-double(centre.x), -double(centre.y));
    Rotate(angle);
    Translate(centre.x, centre.y);
}

void WTransMatrix::Scale(double sx, double sy) {
    m_a *= sx;
    m_b *= sx;
    m_e *= sx;
    m_c *= sy;
    m_d *= sy;
    m_f *= sy;
}

void WTransMatrix::SkewX(double angle) {
    double t = std::tan(angle);
    m_a += t * m_c;
    m_b += t * m_d;
    m_e += t * m_f;
}

void WTransMatrix::SkewY(double angle) {
    double t = std::tan(angle);
    m_c += t * m_a;
    m_d += t * m_b;
    m_f += t * m_e;
}

void WTransMatrix::Negate() {
    Init(-m_a, -m_b, -m_c, -m_d, -m_e, -m_f);
}

void WTransMatrix::Transform(double& x, double& y) const {
    double nx = m_a * x + m_b * y + m_e;
    double ny = m_c * x + m_d * y + m_f;
    x = nx;
    y = ny;
}

WPont<float> WTransMatrix::GetTransformed(const WPont<float>& p) const {
    double x = p.x, y = p.y;
    Transform(x, y);
    return WPont<float>(float(x), float(y));
}

WPont<double> WTransMatrix::GetTransformed(const WPont<double>& p) const {
    double x = p.x, y = p.y;
    Transform(x, y);
    return WPont<double>(x, y);
}

WVektor<float> WTransMatrix::GetTransformed(const WVektor<float>& v) const {
    return WVektor<float>(float(m_a * v.x + m_b * v.y), float(m_c * v.x + m_d * v.y));
}

WVektor<double> WTransMatrix::GetTransformed(const WVektor<double>& v) const {
    return WVektor<double>(m_a * v.x + m_b * v.y, m_c * v.x + m_d * v.y);
}

WPont<double> WTransMatrix::GetInverseTransformed(const WPont<double>& p) const {
    return GetInverseTransformed(p.x, p.y);
}

WPont<double> WTransMatrix::GetInverseTransformed(double x, double y) const {
    double det = Determinant();
    if (!(std::fabs(det) > kSingular)) return WPont<double>(0, 0);
    double dx = x - m_e, dy = y - m_f;
    return WPont<double>((m_d * dx - m_b * dy) / det, (m_a * dy - m_c * dx) / det);
}

void WTransMatrix::BoxTransformation(double sx1, double sy1, double sx2, double sy2, double dx1,
                                     double dy1, double dx2, double dy2) {
    double w = sx2 - sx1, h = sy2 - sy1;
    m_b = m_c = 0;
    // A NaN extent counts as degenerate.
    if (std::fabs(w) >= kDegenerateExtent) {
        m_a = (dx2 - dx1) / w;
        m_e = (sx2 * dx1 - sx1 * dx2) / w;
    } else {
        m_a = 1;
        m_e = dx1 - sx1;
    }
    if (std::fabs(h) >= kDegenerateExtent) {
        m_d = (dy2 - dy1) / h;
        m_f = (sy2 * dy1 - sy1 * dy2) / h;
    } else {
        m_d = 1;
        m_f = dy1 - sy1;
    }
}

void WTransMatrix::BoxTransformation(const WBoundingBox& src, const WBoundingBox& dst) {
    BoxTransformation(src.left, src.bottom, src.right, src.top, dst.left, dst.bottom, dst.right,
                      dst.top);
}
