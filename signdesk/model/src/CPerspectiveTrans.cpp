#include "model/CPerspectiveTrans.h"

#include <cmath>

namespace {
constexpr double kMinExtent = 0.0001;
constexpr double kMinDenominator = 0.0001;
} // namespace

CPerspectiveTrans::CPerspectiveTrans(float accuracy, int stepFactor, int fitA, int fitB)
    : NonLinearTrans(accuracy, stepFactor, fitA, fitB) {}

int CPerspectiveTrans::SetCorners(float x0, float x1, float y0, float y1, float q0x, float q0y,
                                  float q1x, float q1y, float q2x, float q2y, float q3x,
                                  float q3y) {
    const double W = double(x1) - x0, H = double(y1) - y0;
    // Also refuses NaN extents.
    if (!(std::fabs(W) >= kMinExtent) || !(std::fabs(H) >= kMinExtent)) return 0;
    m_x0 = x0;
    m_y0 = y0;
    m_x1 = x1;
    m_y1 = y1;
    m_width = W;
    m_height = H;
    // The corners in units of the box.
    const double a0 = (q0x - double(x0)) / W, b0 = (q0y - double(y0)) / H;
    const double a1 = (q1x - double(x0)) / W, b1 = (q1y - double(y0)) / H;
    const double a2 = (q2x - double(x0)) / W, b2 = (q2y - double(y0)) / H;
    const double a3 = (q3x - double(x0)) / W, b3 = (q3y - double(y0)) / H;

    const double t1 = (b3 - b0) * a2 * a1, t2 = (b1 - b2) * a3 * a0;
    const double t3 = (b3 - b1) * a2 * a0, t4 = (b2 - b3) * a1 * a0;
    m_xv = (b0 - b1) * a3 * a2 + t4 + t2 + t1;
    m_xu = (b2 - b0) * a3 * a1 - t1 + t3 + t2;
    m_x1c = -t2 - t3 - t4;

    const double s1 = (a2 - a1) * b3 * b0, s2 = (a3 - a0) * b2 * b1;
    const double s3 = (a1 - a3) * b2 * b0, s4 = (a3 - a2) * b1 * b0;
    m_yv = (a1 - a0) * b3 * b2 + s1 - s2 + s4;
    m_yu = (a0 - a2) * b3 * b1 + s3 + s2 + s1;
    m_y1c = -s1 - s4 - s3;

    const double e1 = b2 * a1 - b1 * a2, e2 = b1 * a3 - b3 * a1;
    const double e3 = b0 * a3 - b3 * a0, e4 = b3 * a2 - b2 * a3;
    m_dv = b1 * a0 - b0 * a1 + e4 + e3 + e1;
    m_du = b0 * a2 - b2 * a0 + e2 + e1 - e3;
    m_d1 = -e1 - e2 - e4;
    return 1;
}

void CPerspectiveTrans::TransformPoint(floatPoint& p) {
    if (m_width == 0 || m_height == 0) return;
    const double u = (p.x - double(m_x0)) / m_width;
    const double v = (p.y - double(m_y0)) / m_height;
    const double D = v * m_dv + u * m_du + m_d1;
    if (!(std::fabs(D) >= kMinDenominator)) return;
    p.x = float(m_x0 + m_width * (v * m_xv + u * m_xu + m_x1c) / D);
    p.y = float(m_y0 + m_height * (v * m_yv + u * m_yu + m_y1c) / D);
}

void CPerspectiveTrans::Transform(SubPath& sp) {
    const std::uint16_t n = sp.members.Filled();
    if (!n) return;
    for (std::uint16_t i = 0; i < n; ++i) {
        PathMember& m = sp.members[i];
        TransformPoint(m.start);
        if (i > 0) sp.members[std::uint16_t(i - 1)].end = m.start;
        if (m.IsCurve()) {
            TransformPoint(m.ctrl1);
            TransformPoint(m.ctrl2);
        }
    }
    TransformPoint(sp.members[std::uint16_t(n - 1)].end);
    sp.Invalidate(SP_ALL_INVALID);
}
