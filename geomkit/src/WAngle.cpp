#include "geomkit/WAngle.h"

#include <cmath>

namespace {

// Brings v into [lo, hi] by whole turns. Far-out values are first reduced with fmod so that the
// loops stay short; a non-finite value becomes 0.
double ReduceByTurns(double v, double lo, double hi) {
    if (!std::isfinite(v)) return 0;
    if (v < lo - 64 * kFullTurn || v > hi + 64 * kFullTurn) v = std::fmod(v, kFullTurn);
    while (v < lo)
        v += kFullTurn;
    while (v > hi)
        v -= kFullTurn;
    return v;
}

} // namespace

void WAngle::Normalize() {
    m_value = ReduceByTurns(m_value, -kAngleLimit, kAngleLimit);
}

double WAngle::NormToCircle() {
    m_value = ReduceByTurns(m_value, 0, kFullTurn);
    return m_value;
}

WAngle& WAngle::operator+=(const WAngle& a) {
    m_value += a.m_value;
    Normalize();
    return *this;
}

WAngle& WAngle::operator-=(const WAngle& a) {
    m_value -= a.m_value;
    Normalize();
    return *this;
}

double WAngle::FDiff(const WAngle& other) const {
    return ReduceByTurns(m_value - other.m_value, 0, kFullTurn);
}

void WAngleRange::Normalize() {
    m_start.NormToCircle();
    m_end.NormToCircle();
}

double WAngleRange::FAngleDiff() const {
    return m_end.FDiff(m_start);
}

void WAngleRange::Exchange() {
    WAngle t = m_start;
    m_start = m_end;
    m_end = t;
}

double WDirectedAngleRange::FAngleDiff() const {
    return m_direction == 0 ? m_end.FDiff(m_start) : m_start.FDiff(m_end);
}

WDirectedAngleRange WDirectedAngleRange::PieceOfRange(double t1, double t2) const {
    double s = FAngleDiff();
    if (m_direction == 1) s = -s;
    double start = m_start.Value();
    return WDirectedAngleRange(WAngle(start + t1 * s), WAngle(start + t2 * s), m_direction);
}

void WDirectedAngleRange::Tangent(double r, WVektor<float>& p, WVektor<float>& q) const {
    double rf = float(r);
    double sign = m_direction == 0 ? 1.0 : -1.0;
    double a = m_start.Value(), b = m_end.Value();
    // Direction of travel at α: (−sin α, cos α), reversed for a decreasing range.
    p = WVektor<float>(float(-rf * (-std::sin(a) * sign)), float(-rf * (std::cos(a) * sign)));
    q = WVektor<float>(float(rf * (-std::sin(b) * sign)), float(rf * (std::cos(b) * sign)));
}
