#include "model/CSphereTrans.h"

#include <cmath>

namespace {
// Below this the angle counts as a multiple of pi, whose sine is 0 but for rounding.
constexpr double kMinSine = 1e-9;
} // namespace

CSphereTrans::CSphereTrans(float accuracy, int stepFactor, int fitA, int fitB)
    : NonLinearTrans(accuracy, stepFactor, fitA, fitB) {}

int CSphereTrans::SetParams(float cx, float cy, double R, double A) {
    m_cx = cx;
    m_cy = cy;
    m_radius = R;
    m_angle = A;
    return 1;
}

void CSphereTrans::TransformPoint(floatPoint& p) {
    const double R = m_radius, sinA = std::sin(m_angle);
    if (!(R > 0) || !std::isfinite(R) || !(std::fabs(sinA) >= kMinSine)) return;
    const double dx = double(p.x) - m_cx, dy = double(p.y) - m_cy;
    const double r = std::hypot(dx, dy);
    if (!(r > 0) || r > R) return;
    const double s = R * std::sin(m_angle * r / R) / (sinA * r);
    p.x = float(m_cx + dx * s);
    p.y = float(m_cy + dy * s);
}
