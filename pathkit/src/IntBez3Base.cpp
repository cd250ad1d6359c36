#include "pathkit/IntBez3Base.h"

#include <algorithm>
#include <limits>

#include "pathkit/BezierSplit.h"

namespace {

// (a >> 1) + (b >> 1): never overflows, drops the low bits of both halves.
longPoint Mid(const longPoint& a, const longPoint& b) {
    longPoint m;
    m.Fill((a.x >> 1) + (b.x >> 1), (a.y >> 1) + (b.y >> 1));
    return m;
}

std::int32_t ShiftSaturated(std::int64_t v) {
    v <<= 8;
    v = std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    return std::int32_t(v);
}

} // namespace

IntBez3Base::IntBez3Base() : tolerance(256), depth(0) {}

IntBez3Base::IntBez3Base(int tol) : tolerance(ShiftSaturated(tol)), depth(0) {}

IntBez3Base::~IntBez3Base() = default;

void IntBez3Base::Output(intPoint&) {}

void IntBez3Base::SetErrorTolerance(int tol) {
    tolerance = ShiftSaturated(tol);
}

std::int32_t IntBez3Base::ScaleUp(int x) {
    return ShiftSaturated(x);
}

void IntBez3Base::CalcCurve(const intPoint& p0, const intPoint& c1, const intPoint& c2,
                            const intPoint& p3) {
    auto up = [](const intPoint& p) {
        longPoint l;
        l.Fill(ScaleUp(p.x), ScaleUp(p.y));
        return l;
    };
    CalcCurve(up(p0), up(c1), up(c2), up(p3));
}

void IntBez3Base::CalcCurve(const longPoint& p0, const longPoint& c1, const longPoint& c2,
                            const longPoint& p3) {
    std::int8_t outer = depth;
    depth = 0;
    Subdivide(p0, c1, c2, p3);
    depth = outer;
}

void IntBez3Base::Subdivide(const longPoint& p0, const longPoint& c1, const longPoint& c2,
                            const longPoint& p3) {
    CubicHalves<longPoint> h = HalveCubic(p0, c1, c2, p3, Mid);
    chordMid = Mid(p0, p3);
    std::int64_t dx = std::int64_t(h.m.x) - chordMid.x, dy = std::int64_t(h.m.y) - chordMid.y;
    std::int64_t dev = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    if (depth < MaxDepth && (dev >= tolerance || depth == 0)) {
        ++depth;
        Subdivide(p0, h.l1, h.l2, h.m);
        Subdivide(h.m, h.r1, h.r2, p3);
        --depth;
        return;
    }
    point.Fill(ScaleDown(h.m.x), ScaleDown(h.m.y));
    Output(point);
    point.Fill(ScaleDown(p3.x), ScaleDown(p3.y));
    Output(point);
}
