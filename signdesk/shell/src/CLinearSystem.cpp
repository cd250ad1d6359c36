#include "shell/CLinearSystem.h"

#include <cmath>
#include <utility>

namespace {
const double kPivotEpsilon = 1e-12;
}

CLinearSystem::CLinearSystem(int n)
    : m_n(n < 0 ? 0 : n), m_a(static_cast<size_t>(m_n) * m_n, 0.0), m_b(m_n, 0.0), m_x(m_n, 0.0) {}

bool CLinearSystem::Solve() {
    const int n = m_n;
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::fabs(At(r, col)) > std::fabs(At(pivot, col))) pivot = r;
        if (!(std::fabs(At(pivot, col)) > kPivotEpsilon)) return false;
        if (pivot != col) {
            for (int c = 0; c < n; ++c) std::swap(At(pivot, c), At(col, c));
            std::swap(Rhs(pivot), Rhs(col));
        }
        for (int r = col + 1; r < n; ++r) {
            const double f = At(r, col) / At(col, col);
            if (f == 0.0) continue;
            for (int c = col; c < n; ++c) At(r, c) -= f * At(col, c);
            Rhs(r) -= f * Rhs(col);
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double s = Rhs(r);
        for (int c = r + 1; c < n; ++c) s -= At(r, c) * m_x[static_cast<size_t>(c)];
        m_x[static_cast<size_t>(r)] = s / At(r, r);
    }
    return true;
}
