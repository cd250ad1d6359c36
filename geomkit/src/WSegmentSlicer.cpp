#include "geomkit/WSegmentSlicer.h"

#include <cmath>

#include "geomkit/WSegmentPrepared.h"

namespace {

// Upper bound of the pieces of one sliced straight segment (0.25 each), so that an enormous or
// non-finite length cannot stall the walk.
constexpr double kMaxLinePieces = 1 << 20;

struct Diff {
    double x, y;
};

double SquaredLength(const Diff& d) {
    return d.x * d.x + d.y * d.y;
}

double Dot(const Diff& a, const Diff& b) {
    return a.x * b.x + a.y * b.y;
}

} // namespace

WSegmentSlicer::WSegmentSlicer(const WSegment* segment)
    : m_segment(segment), m_unused(0.001), m_lineStepSq(0.0625), m_turnLimitSq(0.9924038765061),
      m_lineSlicing(0) {}

WSegmentSlicer::~WSegmentSlicer() = default;

int WSegmentSlicer::StartSlicing() {
    if (!m_segment) return 0;
    return m_segment->IsCurve() ? Slicer() : SliceLine();
}

int WSegmentSlicer::SliceLine() {
    const WPont<float> p3 = m_segment->GetP3();
    if (!m_lineSlicing) return OutPut(1.0f, p3) != 0;
    double length = Distance(m_segment->GetP0(), p3);
    double pieces = std::ceil(length / std::sqrt(m_lineStepSq));
    if (!(pieces >= 1)) return OutPut(1.0f, p3) != 0; // zero or NaN length
    int n = pieces < kMaxLinePieces ? int(pieces) : int(kMaxLinePieces);
    float step = float(length / n), s = 0;
    for (int i = 1; i < n; ++i) {
        s += step;
        double t = s / length;
        if (!OutPut(float(t), m_segment->CoordAtParam(t))) return 0;
    }
    return OutPut(1.0f, p3) != 0;
}

int WSegmentSlicer::Slicer() {
    WSegmentPrepared form(*m_segment);
    const double k = m_turnLimitSq;
    float h = 0.0334f;
    const double h2 = 0.0011155599426651008, h3 = 3.725970112752159e-05;
    // Forward differences of the cubic for the step h.
    Diff d3 = {6 * form.ax * h3, 6 * form.ay * h3};
    Diff d2 = {d3.x + 2 * form.bx * h2, d3.y + 2 * form.by * h2};
    Diff d1 = {form.ax * h3 + form.bx * h2 + form.cx * h,
               form.ay * h3 + form.by * h2 + form.cy * h};
    double px = form.dx, py = form.dy;
    float t = 0;
    // Reference direction: the previous chord, or the first control vector at the start.
    WVektor<float> v1 = m_segment->GetV1();
    Diff r = {v1.x, v1.y};
    bool tested = !(v1.x == 0 && v1.y == 0);
    auto turnsTooMuch = [&](const Diff& c, bool strict) {
        double lhs = SquaredLength(c) * SquaredLength(r) * k, dot = Dot(c, r);
        return strict ? lhs > dot * dot : lhs >= dot * dot;
    };
    for (;;) {
        if (tested) {
            bool grow = true;
            if (turnsTooMuch(d1, true) && h > 0.001f) {
                grow = false;
                do {
                    d3 = {d3.x / 8, d3.y / 8};
                    d2 = {d2.x / 4 - d3.x, d2.y / 4 - d3.y};
                    d1 = {(d1.x - d2.x) / 2, (d1.y - d2.y) / 2};
                    h /= 2;
                } while (h > 0.001f && turnsTooMuch(d1, true));
            }
            if (grow) {
                while (t + 2 * h < 1 && 2 * h < 0.1f) {
                    Diff doubled = {2 * d1.x + d2.x, 2 * d1.y + d2.y};
                    if (turnsTooMuch(doubled, false)) break;
                    d1 = doubled;
                    d2 = {4 * (d2.x + d3.x), 4 * (d2.y + d3.y)};
                    d3 = {8 * d3.x, 8 * d3.y};
                    h *= 2;
                }
            }
        }
        tested = true;
        t += h;
        if (t >= 1) return OutPut(1.0f, m_segment->GetP3()) != 0;
        px += d1.x;
        py += d1.y;
        if (!OutPut(t, WPont<float>(float(px), float(py)))) return 0;
        r = d1;
        d1 = {d1.x + d2.x, d1.y + d2.y};
        d2 = {d2.x + d3.x, d2.y + d3.y};
    }
}

// ---- arc length

WSegmentLength::WSegmentLength(const WSegment* segment, float limit)
    : WSegmentSlicer(segment), m_length(0), m_limit(limit) {}

WSegmentLength::~WSegmentLength() = default;

void WSegmentLength::Initialize(const WSegment* segment, float limit) {
    WSegmentSlicer::Initialize(segment);
    m_limit = limit;
}

double WSegmentLength::GetLength(float limit) {
    if (limit != -1.0f) m_limit = limit;
    if (!(m_limit >= 0)) m_limit = 0; // also NaN
    if (m_limit > 1) m_limit = 1;
    m_length = 0;
    if (!m_segment) return 0;
    m_last = m_segment->GetP0();
    StartSlicing();
    return m_length;
}

int WSegmentLength::OutPut(float t, const WPont<float>& p) {
    if (t > m_limit) {
        m_length += Distance(m_last, m_segment->CoordAtParam(m_limit));
        return 0;
    }
    m_length += Distance(m_last, p);
    m_last = p;
    return 1;
}

// ---- parameter at arc length

WSegmentTParamAtArcLength::WSegmentTParamAtArcLength(const WSegment* segment)
    : WSegmentSlicer(segment), m_target(0), m_param(0), m_length(0) {}

WSegmentTParamAtArcLength::~WSegmentTParamAtArcLength() = default;

int WSegmentTParamAtArcLength::GetParamAtLength(double s, double& t) {
    t = 0;
    if (s == 0) return 1;
    if (!m_segment || s != s) return 0;
    const WSegment& seg = *m_segment;
    WVektor<float> chord = seg.GetP3() - seg.GetP0();
    bool ends = std::fabs(chord.x) < 0.00001 && std::fabs(chord.y) < 0.00001;
    bool flat = !seg.IsCurve() ||
                (std::fabs(seg.GetV1().x) < 0.00001 && std::fabs(seg.GetV1().y) < 0.00001 &&
                 std::fabs(seg.GetV2().x) < 0.00001 && std::fabs(seg.GetV2().y) < 0.00001);
    if (ends && flat) return 0;
    m_target = s;
    m_last = seg.GetP0();
    m_param = 0;
    m_length = 0;
    if (StartSlicing()) return 0; // the segment is shorter than s
    t = m_param;
    return 1;
}

int WSegmentTParamAtArcLength::OutPut(float t, const WPont<float>& p) {
    double c = m_length + Distance(m_last, p);
    if (c > m_target) {
        double span = c - m_length;
        if (span > 0) m_param += (t - m_param) * (m_target - m_length) / span;
        m_length = -1;
        return 0;
    }
    m_last = p;
    m_param = t;
    m_length = c;
    return 1;
}
