#include "geomkit/WQSegmentCrossing.h"

#include <cmath>

#include "geomkit/WEquationSolve.h"
#include "geomkit/WSegmentPrepared.h"

WQSegmentCrossing::~WQSegmentCrossing() = default;

void WQSegmentCrossing::Initialize(const WPont<float>& a, const WPont<float>& b, int type) {
    m_a = a;
    m_b = b;
    m_type = type;
    m_count = 0;
}

bool WQSegmentCrossing::WithinBounds(const WPont<float>& p) const {
    bool alongY = std::fabs(double(m_b.y) - m_a.y) >= std::fabs(double(m_b.x) - m_a.x);
    double v = alongY ? p.y : p.x, a = alongY ? m_a.y : m_a.x, b = alongY ? m_b.y : m_b.x;
    return (a <= v && v <= b) || (b <= v && v <= a);
}

int WQSegmentCrossing::Answer(const WSegment* segment) {
    m_count = 0;
    if (!segment) return 0;
    if (segment->IsCurve()) {
        WSegmentPrepared s(*segment);
        double ex = double(m_b.x) - m_a.x, ey = double(m_b.y) - m_a.y;
        WEquationSolve eq(ex * s.ay - ey * s.ax, ex * s.by - ey * s.bx, ex * s.cy - ey * s.cx,
                          ex * (s.dy - m_a.y) - ey * (s.dx - m_a.x));
        eq.Solve();
        // A curve lying on the line (every t a root) reports no crossing.
        int n = eq.Normalize(1);
        for (int i = 0; i < n; ++i) {
            double t = eq.GetRoot(i);
            if (m_type != eInfinite && !WithinBounds(segment->CoordAtParam(t))) continue;
            m_params[m_count++] = t;
        }
        return m_count;
    }
    WPont<float> p0 = segment->GetP0(), p3 = segment->GetP3(), x;
    if (!IntersectionPoint(p0, p3, m_a, m_b, x)) return 0;
    double t;
    if (std::fabs(double(p0.y) - p3.y) >= std::fabs(double(p0.x) - p3.x))
        t = (double(x.y) - p0.y) / (double(p3.y) - p0.y);
    else
        t = (double(x.x) - p0.x) / (double(p3.x) - p0.x);
    if (!(t >= 0 && t <= 1)) return 0;
    if (m_type != eInfinite && !WithinBounds(x)) return 0;
    m_params[m_count++] = t;
    return m_count;
}

int WQSegmentCrossing::IntersectionPoint(const WPont<float>& p1, const WPont<float>& p2,
                                         const WPont<float>& p3, const WPont<float>& p4,
                                         WPont<float>& out) {
    double a1 = double(p1.y) - p2.y, b1 = double(p2.x) - p1.x;
    double a2 = double(p3.y) - p4.y, b2 = double(p4.x) - p3.x;
    double det = a1 * b2 - a2 * b1;
    if (!(std::fabs(det) >= 2.220446049250313e-16)) return 0;
    double c1 = a1 * p1.x + b1 * p1.y, c2 = a2 * p3.x + b2 * p3.y;
    out = WPont<float>(float((c1 * b2 - c2 * b1) / det), float((a1 * c2 - a2 * c1) / det));
    return 1;
}
