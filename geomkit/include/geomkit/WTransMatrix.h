#pragma once
// 2D affine transformation: x' = a·x + b·y + e, y' = c·x + d·y + f.

#include "geomkit/WPont.h"
#include "geomkit/export.h"

class WBoundingBox;

class GEOMKIT_API WTransMatrix {
public:
    WTransMatrix() { IdentMatrix(); }
    WTransMatrix(double a, double b, double c, double d, double e, double f) {
        Init(a, b, c, d, e, f);
    }

    void IdentMatrix() { Init(1, 0, 0, 1, 0, 0); }
    void Init(double a, double b, double c, double d, double e, double f) {
        m_a = a;
        m_b = b;
        m_c = c;
        m_d = d;
        m_e = e;
        m_f = f;
    }
    // From the platform's XFORM record (eM11, eM12, eM21, eM22, eDx, eDy).
    template <class Xform>
    requires requires(const Xform& x) { x.eM11 + x.eM12 + x.eM21 + x.eM22 + x.eDx + x.eDy; }
    void Init(const Xform& x) { Init(x.eM11, x.eM21, x.eM12, x.eM22, x.eDx, x.eDy); }

    // No rotation or skew: b and c exactly 0.
    bool IsSimpleTrafo() const { return m_b == 0 && m_c == 0; }
    bool IsIdentityTrafo() const {
        return m_a == 1.0 && m_d == 1.0 && m_b == 0 && m_c == 0 && m_e == 0 && m_f == 0;
    }

    // This mapping, then n.
    WTransMatrix operator*(const WTransMatrix& n) const;
    WTransMatrix& operator*=(const WTransMatrix& n) { return *this = *this * n; }

    // The inverse, or an unchanged copy when the matrix is singular.
    WTransMatrix Inverse() const;
    double Determinant() const { return m_a * m_d - m_b * m_c; }

    // Applied after the current mapping.
    void Rotate(double angle);
    void RotateAround(double angle, const WPont<float>& centre);
    void Translate(double dx, double dy) {
        m_e += dx;
        m_f += dy;
    }
    void Translate(const WVektor<float>& v) { Translate(v.x, v.y); }
    void Translate(const WVektor<double>& v) { Translate(v.x, v.y); }
    void Scale(double sx, double sy);
    void SkewX(double angle);
    void SkewY(double angle);
    void Negate();
    // The matrix that swaps x and y.
    void ChangeCoords() { Init(0, 1, 1, 0, 0, 0); }

    // Points, with translation.
    void Transform(double& x, double& y) const;
    void Transform(WPont<float>& p) const { p = GetTransformed(p); }
    WPont<float> GetTransformed(const WPont<float>& p) const;
    WPont<double> GetTransformed(const WPont<double>& p) const;
    // Vectors, without translation.
    void Transform(WVektor<float>& v) const { v = GetTransformed(v); }
    WVektor<float> GetTransformed(const WVektor<float>& v) const;
    WVektor<double> GetTransformed(const WVektor<double>& v) const;
    // Point mapped by the inverse; (0, 0) when the matrix is singular.
    WPont<double> GetInverseTransformed(const WPont<double>& p) const;
    WPont<double> GetInverseTransformed(double x, double y) const;

    // Maps the source box onto the destination box axis by axis; a degenerate source extent
    // keeps scale 1 and only moves the source's first coordinate onto the destination's.
    void BoxTransformation(double sx1, double sy1, double sx2, double sy2, double dx1, double dy1,
                           double dx2, double dy2);
    void BoxTransformation(const WBoundingBox& src, const WBoundingBox& dst);

    double A() const { return m_a; }
    double B() const { return m_b; }
    double C() const { return m_c; }
    double D() const { return m_d; }
    double E() const { return m_e; }
    double F() const { return m_f; }

private:
    double m_a, m_b, m_c, m_d, m_e, m_f;
};
