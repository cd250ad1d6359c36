// Whether one closed contour lies inside another: points of this contour that are clear of
// the other's outline are tested with an even-odd crossing count against its flattening.

#include <cmath>

#include "pathkit/CornerIterator.h"
#include "pathkit/SubPath.h"

namespace {

// Points at one third and two thirds of a member.
constexpr std::uint32_t OneThird = 708669603u;
constexpr std::uint32_t TwoThirds = 1417339207u;

double SegmentDist2(const floatPoint& a, const floatPoint& b, const floatPoint& p) {
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double px = double(p.x) - a.x, py = double(p.y) - a.y;
    double len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    double ex = px - t * dx, ey = py - t * dy;
    return ex * ex + ey * ey;
}

// A test point against the other contour's outline: whether it lies within the tolerance of
// it, and the parity of the outline's crossings of the ray to its right.
struct Probe {
    floatPoint p;
    bool near = false;
    bool inside = false;

    void Segment(const floatPoint& a, const floatPoint& b, double tol2) {
        if (SegmentDist2(a, b, p) < tol2) near = true;
        if ((a.y > p.y) == (b.y > p.y)) return;
        double x = a.x + (double(p.y) - a.y) * (double(b.x) - a.x) / (double(b.y) - a.y);
        if (x > p.x) inside = !inside;
    }
};

// Runs both probes along the flattened outline of sp, closing it from its last corner back
// to its first.
void Classify(SubPath& sp, float tol, Probe& p1, Probe& p2) {
    double tol2 = double(tol) * tol;
    CornerIterator it;
    it.Init(sp, 0, 0);
    floatPoint first, last;
    bool started = false;
    std::uint16_t n = sp.members.Filled();
    for (std::uint16_t m = 0; m < n; ++m) {
        it.Interpolate(sp.members[m], m);
        const CornerIterator::CornerDynArr& c = it.Corners();
        for (std::uint16_t k = 0; k < c.Filled(); ++k) {
            floatPoint q = c[k].Point();
            if (!started) {
                first = q;
                started = true;
            } else if (q != last) {
                p1.Segment(last, q, tol2);
                p2.Segment(last, q, tol2);
            }
            last = q;
        }
    }
    if (started && last != first) {
        p1.Segment(last, first, tol2);
        p2.Segment(last, first, tol2);
    }
}

} // namespace

int SubPath::IsContainedBy(SubPath& other) {
    if (!members.Filled() || !other.members.Filled()) return 0;
    if (state & SP_CTRLBOX_INVALID) CtrlBBox();
    if (other.state & SP_CTRLBOX_INVALID) other.CtrlBBox();
    const floatBBox &a = ctrlBox, &b = other.ctrlBox;
    if (!(a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top))
        return 0;

    for (const PathMember& m : members) {
        Probe p1, p2;
        m.GetPointAt(OneThird, p1.p);
        m.GetPointAt(TwoThirds, p2.p);
        if (!std::isfinite(p1.p.x) || !std::isfinite(p1.p.y) || !std::isfinite(p2.p.x) ||
            !std::isfinite(p2.p.y))
            continue;
        Classify(other, accuracy, p1, p2);
        if (p1.near || p2.near) continue;
        if (p1.inside == p2.inside) return p1.inside;
    }
    return 0;
}
