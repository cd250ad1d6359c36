#pragma once
// A square system of linear equations in double precision, solved by
// Gaussian elimination with row pivoting.

#include <cstddef>
#include <vector>

class CLinearSystem {
public:
    explicit CLinearSystem(int n);

    int Size() const { return m_n; }
    // Coefficient of unknown col in equation row; Rhs is its right-hand side.
    double& At(int row, int col) { return m_a[static_cast<std::size_t>(row) * m_n + col]; }
    double& Rhs(int row) { return m_b[static_cast<std::size_t>(row)]; }

    // False when a column has no usable pivot (no unique solution); the
    // system is then left in an undefined, partly eliminated state.
    bool Solve();
    double Solution(int i) const { return m_x[static_cast<std::size_t>(i)]; }

private:
    int m_n;
    std::vector<double> m_a;
    std::vector<double> m_b;
    std::vector<double> m_x;
};
