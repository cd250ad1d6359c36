#include "geomkit/WEquationSolve.h"

#include <cmath>

namespace {

bool Finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

} // namespace

void WEquationSolve::Initialize(double a3, double a2, double a1, double a0) {
    m_a3 = a3;
    m_a2 = a2;
    m_a1 = a1;
    m_a0 = a0;
    m_count = 0;
    snapa3();
    m_degree = m_a3 != 0 ? 3 : (m_a2 != 0 ? 2 : (m_a1 != 0 ? 1 : 0));
}

void WEquationSolve::Initialize(double a2, double a1, double a0) {
    m_a2 = a2;
    m_a1 = a1;
    m_a0 = a0;
    m_count = 0;
    m_degree = m_a2 != 0 ? 2 : (m_a1 != 0 ? 1 : 0);
}

void WEquationSolve::Initialize(double a1, double a0) {
    m_a1 = a1;
    m_a0 = a0;
    m_count = 0;
    m_degree = m_a1 != 0 ? 1 : 0;
}

// A cubic term more than eight decades below the largest other coefficient is rounding noise.
void WEquationSolve::snapa3() {
    if (m_a3 == 0 || m_a3 < -0.01 || m_a3 > 0.01) return;
    double m = std::fabs(m_a2);
    if (std::fabs(m_a1) > m) m = std::fabs(m_a1);
    if (std::fabs(m_a0) > m) m = std::fabs(m_a0);
    if (std::log10(m) - std::log10(std::fabs(m_a3)) > 8) m_a3 = 0;
}

int WEquationSolve::Solve() {
    switch (m_degree) {
    case 0:
        m_count = m_a0 == 0 ? -1 : 0;
        return m_count;
    case 1:
        return LinSolve();
    case 2:
        return QuadrSolve();
    default:
        return CubicSolve();
    }
}

int WEquationSolve::LinSolve() {
    if (!Finite(0, 0, m_a1, m_a0)) {
        m_count = 0;
    } else if (m_a1 != 0) {
        m_roots[0] = -m_a0 / m_a1;
        m_count = 1;
        return DropNonFinite();
    } else {
        m_count = m_a0 == 0 ? -1 : 0;
    }
    return m_count;
}

int WEquationSolve::QuadrSolve() {
    if (m_a2 == 0) return LinSolve();
    if (!Finite(0, m_a2, m_a1, m_a0)) {
        m_count = 0;
        return m_count;
    }
    double disc = m_a1 * m_a1 - 4 * m_a2 * m_a0;
    if (disc < 0) {
        m_count = 0;
    } else if (disc == 0) {
        m_roots[0] = -m_a1 / (2 * m_a2);
        m_count = 1;
    } else if (m_a1 == 0) {
        double r = std::sqrt(-m_a0 / m_a2);
        m_roots[0] = -r;
        m_roots[1] = r;
        m_count = 2;
    } else {
        // The form that avoids cancellation between a1 and the root of the discriminant.
        double q = -0.5 * (m_a1 + Signum(m_a1) * std::sqrt(disc));
        m_roots[0] = q / m_a2;
        m_roots[1] = m_a0 / q;
        m_count = 2;
        SortRoots();
    }
    return DropNonFinite();
}

int WEquationSolve::CubicSolve() {
    if (m_a3 == 0) return QuadrSolve();
    if (!Finite(m_a3, m_a2, m_a1, m_a0)) {
        m_count = 0;
        return m_count;
    }
    m_a2 /= m_a3;
    m_a1 /= m_a3;
    m_a0 /= m_a3;
    m_a3 = 1;
    double b = m_a2, c = m_a1, d = m_a0;
    double r = (2 * b * b * b - 9 * b * c + 27 * d) * 0.018518518518518517;
    double q = (b * b - 3 * c) * 0.1111111111111111;
    double delta = r * r - q * q * q;
    if (delta > 0) {
        double g = std::pow(std::fabs(r) + std::sqrt(delta), 0.3333333333333333);
        double s = g;
        if (q != 0) s += q / g;
        m_roots[0] = -Signum(r) * s - b / 3;
        m_count = 1;
    } else if (q <= 0) {
        // Q = 0 and R = 0: a triple root.
        m_roots[0] = -b / 3;
        m_count = 1;
    } else {
        double s = std::sqrt(q);
        double ratio = r / (s * std::sqrt(q) * s);
        if (ratio > 1) ratio = 1;
        if (ratio < -1) ratio = -1;
        double theta = std::acos(ratio);
        if (theta >= 1e-14 || theta <= -1e-14) {
            m_roots[0] = -2 * s * std::cos(theta / 3) - b / 3;
            m_roots[1] = -2 * s * std::cos((theta + 6.28318530718) / 3) - b / 3;
            m_roots[2] = -2 * s * std::cos((theta + 12.56637061436) / 3) - b / 3;
            m_count = 3;
        } else {
            m_roots[0] = -2 * s - b / 3;
            m_roots[1] = s - b / 3;
            m_count = 2;
        }
        SortRoots();
    }
    return DropNonFinite();
}

// Overflow in the intermediate values can still yield a non-finite root; it is dropped.
int WEquationSolve::DropNonFinite() {
    int kept = 0;
    for (int i = 0; i < m_count; ++i)
        if (std::isfinite(m_roots[i])) m_roots[kept++] = m_roots[i];
    m_count = kept;
    return m_count;
}

void WEquationSolve::SortRoots() {
    for (int i = 1; i < m_count; ++i)
        for (int j = i; j > 0 && m_roots[j] < m_roots[j - 1]; --j) {
            double t = m_roots[j];
            m_roots[j] = m_roots[j - 1];
            m_roots[j - 1] = t;
        }
}

int WEquationSolve::Normalize(int closed) {
    if (m_count <= 0) return m_count;
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        double t = m_roots[i];
        bool in = closed ? (t >= 0 && t <= 1) : (t > 0 && t < 1);
        if (in) m_roots[kept++] = t;
    }
    m_count = kept;
    return m_count;
}
