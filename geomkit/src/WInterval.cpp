#include "geomkit/WInterval.h"

#include "geomkit/WIntervalSet.h"

WInterval::~WInterval() = default;

WInterval& WInterval::operator=(const WInterval& i) {
    m_lower = i.m_lower;
    m_upper = i.m_upper;
    m_flags = i.m_flags;
    return *this;
}

void WInterval::Initialize(double a, double b, int outside) {
    m_lower = a < b ? a : b;
    m_upper = a < b ? b : a;
    m_flags = outside ? 0 : eInside;
}

void WInterval::Intersect(const COXSPtr<WInterval>& other, COXSPtr<WIntervalSet>& result) const {
    if (IsEmpty()) return;
    const WInterval& b = *other;
    WIntervalSet& out = *result;
    if (b.IsEmpty()) return;
    const WInterval& a = *this;
    if (a.IsInside() && b.IsInside()) {
        double lo = a.m_lower > b.m_lower ? a.m_lower : b.m_lower;
        double hi = a.m_upper < b.m_upper ? a.m_upper : b.m_upper;
        if (lo <= hi) out.Fill(lo, hi, 0);
    } else if (a.IsInside()) {
        if (b.m_lower > a.m_lower)
            out.Fill(a.m_lower, a.m_upper < b.m_lower ? a.m_upper : b.m_lower, 0);
        if (a.m_upper > b.m_upper)
            out.Fill(a.m_lower > b.m_upper ? a.m_lower : b.m_upper, a.m_upper, 0);
    } else if (b.IsInside()) {
        if (b.m_lower < a.m_lower)
            out.Fill(b.m_lower, b.m_upper < a.m_lower ? b.m_upper : a.m_lower, 0);
        if (b.m_upper > a.m_upper)
            out.Fill(b.m_lower > a.m_upper ? b.m_lower : a.m_upper, b.m_upper, 0);
    } else {
        out.Fill(a.m_lower < b.m_lower ? a.m_lower : b.m_lower,
                 a.m_upper > b.m_upper ? a.m_upper : b.m_upper, 1);
        if (a.m_lower > b.m_upper) out.Fill(b.m_upper, a.m_lower, 0);
        if (a.m_upper < b.m_lower) out.Fill(a.m_upper, b.m_lower, 0);
    }
}

int WInterval::Norm() {
    if (m_lower != m_lower || m_upper != m_upper) { // NaN bounds leave nothing
        m_flags |= eEmpty;
        return 1;
    }
    if (m_lower < 0) m_lower = 0;
    if (m_upper > 1) m_upper = 1;
    if (m_lower > m_upper) {
        m_flags |= eEmpty;
        return 1;
    }
    m_flags &= BYTE(~eEmpty);
    return 0;
}
