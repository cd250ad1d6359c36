#pragma once
// Real roots of a polynomial of degree up to three: a3·t³ + a2·t² + a1·t + a0.

#include "geomkit/export.h"

class GEOMKIT_API WEquationSolve {
public:
    WEquationSolve() = default;
    WEquationSolve(double a3, double a2, double a1, double a0) { Initialize(a3, a2, a1, a0); }
    WEquationSolve(double a2, double a1, double a0) { Initialize(a2, a1, a0); }
    WEquationSolve(double a1, double a0) { Initialize(a1, a0); }

    // A cubic term that is rounding noise next to the other coefficients is dropped.
    void Initialize(double a3, double a2, double a1, double a0);
    // a3 is left as it is.
    void Initialize(double a2, double a1, double a0);
    void Initialize(double a1, double a0);

    // Number of roots (ascending), or −1 when every t solves the equation.
    int Solve();
    int LinSolve();
    int QuadrSolve();
    int CubicSolve();
    // Keeps the roots in [0, 1] (closed) or (0, 1) and returns their number; a count ≤ 0 is
    // returned unchanged.
    int Normalize(int closed);

    int GetDegree() const { return m_degree; }
    int GetCount() const { return m_count; }
    double GetRoot(int i) const { return m_roots[i]; }
    const double* GetRoots() const { return m_roots; }

    static int Signum(double v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

private:
    void snapa3();
    void SortRoots();
    int DropNonFinite();

    double m_a3 = 0, m_a2 = 0, m_a1 = 0, m_a0 = 0;
    int m_degree = 0;
    double m_roots[3] = {0, 0, 0};
    int m_count = 0;
};
