#include "geomkit/WSegmentPrepared.h"

WSegmentPrepared::~WSegmentPrepared() = default;

void WSegmentPrepared::Prepare() {
    double p0x = m_p0.x, p0y = m_p0.y, p3x = m_p3.x, p3y = m_p3.y;
    ax = 3 * (double(m_v1.x) - m_v2.x) + 2 * (p0x - p3x);
    ay = 3 * (double(m_v1.y) - m_v2.y) + 2 * (p0y - p3y);
    bx = 3 * (m_v2.x - 2 * double(m_v1.x) + (p3x - p0x));
    by = 3 * (m_v2.y - 2 * double(m_v1.y) + (p3y - p0y));
    cx = 3 * double(m_v1.x);
    cy = 3 * double(m_v1.y);
    dx = p0x;
    dy = p0y;
}

WPont<float> WSegmentPrepared::CoordAtParamIfPrepared(double t) const {
    return WPont<float>(float(((ax * t + bx) * t + cx) * t + dx),
                        float(((ay * t + by) * t + cy) * t + dy));
}

WVektor<float> WSegmentPrepared::GradientAtParamIfPrepared(double t) const {
    return WVektor<float>(float((3 * ax * t + 2 * bx) * t + cx),
                          float((3 * ay * t + 2 * by) * t + cy));
}
