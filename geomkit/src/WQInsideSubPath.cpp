#include "geomkit/WQInsideSubPath.h"

#include <cmath>

#include "geomkit/WEquationSolve.h"
#include "geomkit/WSegmentPrepared.h"
#include "geomkit/WSubPath.h"

namespace {

constexpr int kMaxRecursion = 50;

} // namespace

WQInsideSubPath::WQInsideSubPath()
    : m_x(0), m_y(0), m_closeness(0.00001f), m_shiftFactor(10), m_retreatX(0.0001f),
      m_retreatY(0.0001f), m_recursion(0) {}

WQInsideSubPath::~WQInsideSubPath() = default;

void WQInsideSubPath::Initialize(const WPont<float>& p) {
    m_x = p.x;
    m_y = p.y;
}

int WQInsideSubPath::Answer(WSubPath<WNode, WSegment>* subPath) {
    m_recursion = 0;
    return IsPointInside(subPath);
}

int WQInsideSubPath::IsPointInside(WSubPath<WNode, WSegment>* subPath) {
    if (++m_recursion > kMaxRecursion || !subPath || !subPath->IsClosed()) return 0;
    if (!subPath->GetBBox().IsInside(WPont<float>(m_x, m_y))) return 0; // also for a NaN point
    int x = 0, y = 0;
    CountCrossings(*subPath, true, x, y);
    if ((x & 1) == (y & 1)) return x & 1;
    CountCrossings(*subPath, false, x, y);
    if ((x & 1) == (y & 1)) return x & 1;
    // The rays disagree (one passes through a node or along an edge): step aside and retry.
    m_x -= m_retreatX;
    m_y -= m_retreatY;
    return IsPointInside(subPath);
}

void WQInsideSubPath::CountCrossings(WSubPath<WNode, WSegment>& subPath, bool forward, int& alongX,
                                     int& alongY) const {
    alongX = alongY = 0;
    const double px = m_x, py = m_y;
    const float shift = m_closeness * float(m_shiftFactor);
    const int n = subPath.GetNodeCount();
    WVektor<float> carried;
    // The closing segment first, then 0 → 1, 1 → 2, …
    for (int k = 0; k < n; ++k) {
        const WNode* a = subPath.GetNode(k == 0 ? n - 1 : k - 1);
        const WNode* b = subPath.GetNode(k);
        if (!a || !b) continue;
        WSegment raw(*a, *b);
        // Ends that lie on a ray are nudged off it, and the next segment starts where this
        // one now ends.
        WPont<float> p0 = raw.GetP0() + carried, p3 = raw.GetP3();
        carried = WVektor<float>();
        if (std::fabs(p3.x - m_x) < m_closeness) {
            p3.x += shift;
            carried.x = shift;
        }
        if (std::fabs(p3.y - m_y) < m_closeness) {
            p3.y += shift;
            carried.y = shift;
        }
        WSegmentPrepared s;
        if (raw.IsCurve())
            s.Initialize(p0, raw.GetV1(), raw.GetV2(), p3);
        else
            s.Initialize(p0, p3);
        s.Prepare();
        const bool curve = s.IsCurve();
        auto coord = [&](double t, int axis) {
            if (curve)
                return axis ? ((s.ay * t + s.by) * t + s.cy) * t + s.dy
                            : ((s.ax * t + s.bx) * t + s.cx) * t + s.dx;
            return axis ? p0.y + t * (double(p3.y) - p0.y) : p0.x + t * (double(p3.x) - p0.x);
        };
        // Roots in [0, 1] of coordinate(axis) = value.
        auto solve = [&](int axis, double value, WEquationSolve& eq) {
            if (curve)
                eq.Initialize(axis ? s.ay : s.ax, axis ? s.by : s.bx, axis ? s.cy : s.cx,
                              (axis ? s.dy : s.dx) - value);
            else
                eq.Initialize(axis ? double(p3.y) - p0.y : double(p3.x) - p0.x,
                              (axis ? double(p0.y) : double(p0.x)) - value);
            eq.Solve();
            return eq.Normalize(1);
        };
        WEquationSolve eq;
        // Ray along x: the segment must straddle py and reach the ray's side.
        bool reachX = forward ? s.MaxX() >= px : s.MinX() <= px;
        if (reachX && s.MinY() <= py && py < s.MaxY()) {
            int roots = solve(1, py, eq);
            for (int i = 0; i < roots; ++i) {
                double x = coord(eq.GetRoot(i), 0);
                alongX += forward ? x > px : x < px;
            }
        }
        bool reachY = forward ? s.MaxY() >= py : s.MinY() <= py;
        if (reachY && s.MinX() <= px && px < s.MaxX()) {
            int roots = solve(0, px, eq);
            for (int i = 0; i < roots; ++i) {
                double y = coord(eq.GetRoot(i), 1);
                alongY += forward ? y > py : y < py;
            }
        }
    }
}
