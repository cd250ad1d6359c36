#include "geomkit/WQSegmentClickOn.h"

#include <cmath>

#include "geomkit/WClipBezierSegment.h"
#include "geomkit/WSegment.h"

WQSegmentClickOn::WQSegmentClickOn() : m_clipper(new WClipBezierSegment) {}

WQSegmentClickOn::WQSegmentClickOn(const WQSegmentClickOn& q)
    : WQuestionSegment(q), m_clipper(q.m_clipper), m_click(q.m_click), m_tol(q.m_tol),
      m_param(q.m_param) {}

WQSegmentClickOn& WQSegmentClickOn::operator=(const WQSegmentClickOn& q) {
    m_clipper = q.m_clipper;
    m_click = q.m_click;
    m_tol = q.m_tol;
    m_param = q.m_param;
    return *this;
}

WQSegmentClickOn::~WQSegmentClickOn() = default;

void WQSegmentClickOn::Initialize(const WPont<float>& p, float tol) {
    m_click = p;
    m_tol = tol;
    m_clipper->Initialize(p, 2.0 * tol);
}

int WQSegmentClickOn::Answer(const WSegment* segment) {
    if (!segment) return 0;
    return segment->IsCurve() ? AnswerCurve(*segment) : AnswerLine(*segment);
}

int WQSegmentClickOn::AnswerLine(const WSegment& segment) {
    // Single precision throughout; the comparisons are written so that NaN misses.
    const WPont<float> p0 = segment.GetP0(), p3 = segment.GetP3();
    float dx = p3.x - p0.x, dy = p3.y - p0.y;
    float cx = m_click.x - p0.x, cy = m_click.y - p0.y;
    if (std::fabs(dx) < 0.00001f && std::fabs(dy) < 0.00001f) {
        if (!(std::sqrt(cx * cx + cy * cy) < m_tol)) return 0;
        m_param = 0;
        return 1;
    }
    float length = std::sqrt(dx * dx + dy * dy);
    float ux = dx / length, uy = dy / length;
    float m = cx * ux + cy * uy;
    if (!(m >= 0) || !(m <= length + m_tol)) return 0;
    float ox = cx - m * ux, oy = cy - m * uy;
    if (!(std::sqrt(ox * ox + oy * oy) <= m_tol)) return 0;
    m_param = m / length;
    return 1;
}

int WQSegmentClickOn::AnswerCurve(const WSegment& segment) {
    if (!segment.GetControlBBox().IsInsideWithTolerance(m_click, m_tol)) return 0;
    int pieces = m_clipper->CutBezier(&segment, 0);
    // Among the pieces inside the click box, the one whose middle lies nearest the click; the
    // earlier one on ties.
    double best = 0, bestDistance = INFINITY;
    for (int i = 0; i < pieces; ++i) {
        double t = m_clipper->GetInterval(i).Middle();
        double d = SquaredDistance(segment.CoordAtParam(t), m_click);
        if (d < bestDistance) {
            bestDistance = d;
            best = t;
        }
    }
    if (!(bestDistance < INFINITY)) return 0;
    m_param = float(best);
    return 1;
}
