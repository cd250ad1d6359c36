#include "pathkit/Bez3Engines.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "pathkit/BezierSplit.h"

namespace {

constexpr int MaxDepth = 31;
constexpr std::int32_t MinLongLimit = 2;

// The midpoint rules of the two engines, by point type.
floatPoint Mid(const floatPoint& a, const floatPoint& b) {
    return MidPoint(a, b);
}

// Truncated towards zero; the sum cannot overflow in 64 bits.
longPoint Mid(const longPoint& a, const longPoint& b) {
    longPoint m;
    m.Fill(std::int32_t((std::int64_t(a.x) + b.x) / 2),
           std::int32_t((std::int64_t(a.y) + b.y) / 2));
    return m;
}

// The midpoint subdivision shared by the float and the integer engine: the piece's range is
// [t0, t0 + Mask[depth]]; flat pieces (or pieces at the depth limit) are output as two halves.
template <class Engine, class Pt>
void SubdivideCubic(Engine& e, Pt& p0, Pt& c1, Pt& c2, Pt& p3, std::uint32_t t0) {
    std::uint32_t width = longBez3Base::Mask[e.depth];
    e.tStart = t0;
    e.tEnd = t0 + width;
    if (!e.CheckEntry(p0, c1, c2, p3)) return;

    CubicHalves<Pt> h =
        HalveCubic(p0, c1, c2, p3, [](const Pt& a, const Pt& b) { return Mid(a, b); });
    // At depth 31 the halves cannot both have width 0.5; the right one keeps the whole unit.
    std::uint32_t half = width >> 1;

    e.NoteControls(c1, c2, h.l1, h.l2, h.r1, h.r2);
    if (e.depth >= MaxDepth || e.CheckOutput(p0, h.m, p3)) {
        Pt a = p0, b = h.l1, c = h.l2, d = h.m;
        e.tStart = t0;
        e.tEnd = t0 + half;
        e.Output(a, b, c, d);
        a = h.m, b = h.r1, c = h.r2, d = p3;
        e.tStart = t0 + half;
        e.tEnd = t0 + width;
        e.Output(a, b, c, d);
        return;
    }
    ++e.depth;
    SubdivideCubic(e, p0, h.l1, h.l2, h.m, t0);
    SubdivideCubic(e, h.m, h.r1, h.r2, p3, t0 + half);
    --e.depth;
}

} // namespace

const std::uint32_t longBez3Base::Mask[32] = {
    0x80000000u, 0x40000000u, 0x20000000u, 0x10000000u, 0x08000000u, 0x04000000u, 0x02000000u,
    0x01000000u, 0x00800000u, 0x00400000u, 0x00200000u, 0x00100000u, 0x00080000u, 0x00040000u,
    0x00020000u, 0x00010000u, 0x00008000u, 0x00004000u, 0x00002000u, 0x00001000u, 0x00000800u,
    0x00000400u, 0x00000200u, 0x00000100u, 0x00000080u, 0x00000040u, 0x00000020u, 0x00000010u,
    0x00000008u, 0x00000004u, 0x00000002u, 0x00000001u,
};

// ---------------------------------------------------------------------------------------------
// floatBez3Base

floatBez3Base::floatBez3Base(float tol)
    : tStart(0), tEnd(0), tolerance(DefaultTolerance), deviation(0), depth(0) {
    SetErrorTolerance(tol);
}

void floatBez3Base::Output(floatPoint&, floatPoint&, floatPoint&, floatPoint&) {}

int floatBez3Base::CheckEntry(floatPoint&, floatPoint&, floatPoint&, floatPoint&) {
    return 1;
}

int floatBez3Base::CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) {
    chordMid = Mid(p0, p3);
    float dx = std::fabs(mid.x - chordMid.x);
    float dy = std::fabs(mid.y - chordMid.y);
    deviation = (std::isnan(dx) || std::isnan(dy)) ? std::numeric_limits<float>::quiet_NaN()
                                                   : std::max(dx, dy);
    // A NaN deviation (NaN or infinite coordinates) counts as flat.
    if (!(depth > 0 && !(deviation >= tolerance))) return 0;
    return !controlsKnown_ || HalvesNearChords(p0, mid, p3);
}

void floatBez3Base::NoteControls(const floatPoint& c1, const floatPoint& c2, const floatPoint& l1,
                                 const floatPoint& l2, const floatPoint& r1, const floatPoint& r2) {
    controls_[0] = c1;
    controls_[1] = c2;
    controls_[2] = l1;
    controls_[3] = l2;
    controls_[4] = r1;
    controls_[5] = r2;
    controlsKnown_ = true;
}

namespace {

// Twice the signed area of (a, b, p): positive with p left of a->b.
double Side(const floatPoint& a, const floatPoint& b, const floatPoint& p) {
    return (double(b.x) - a.x) * (double(p.y) - a.y) - (double(b.y) - a.y) * (double(p.x) - a.x);
}

// Whether c lies within reach of the chord a-b (of a itself when the chord has no length).
bool NearChord(const floatPoint& a, const floatPoint& b, const floatPoint& c, double reach) {
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double len2 = dx * dx + dy * dy;
    double ex = double(c.x) - a.x, ey = double(c.y) - a.y;
    if (!(len2 > 0)) return ex * ex + ey * ey <= reach * reach;
    double s = Side(a, b, c);
    return s * s <= reach * reach * len2;
}

} // namespace

// A cubic strays from its chord by at most 3/4 of its control points' farthest distance from
// it, so control points within 4/3 of the tolerance keep the curve within the tolerance.
bool floatBez3Base::HalvesNearChords(const floatPoint& p0, const floatPoint& mid,
                                     const floatPoint& p3) const {
    double s1 = Side(p0, p3, controls_[0]), s2 = Side(p0, p3, controls_[1]);
    if (!(s1 * s2 < 0)) return true; // convex (or NaN): the midpoint test is enough
    // Float midpoints carry a rounding of a few units in the last place of the coordinates:
    // closer than that, the halves cannot be told from their chords.
    double magnitude = std::max({std::fabs(double(p0.x)), std::fabs(double(p0.y)),
                                 std::fabs(double(p3.x)), std::fabs(double(p3.y))});
    double reach = std::max(4.0 / 3.0 * tolerance, std::ldexp(magnitude, -22));
    return NearChord(p0, mid, controls_[2], reach) && NearChord(p0, mid, controls_[3], reach) &&
           NearChord(mid, p3, controls_[4], reach) && NearChord(mid, p3, controls_[5], reach);
}

void floatBez3Base::SetErrorTolerance(float tol) {
    tolerance = (tol > 0 && std::isfinite(tol)) ? tol : DefaultTolerance;
}

void floatBez3Base::CalcCurve(const floatPoint& p0, const floatPoint& c1, const floatPoint& c2,
                              const floatPoint& p3, std::uint32_t t0) {
    floatPoint a = p0, b = c1, c = c2, d = p3;
    std::int8_t outer = depth;
    depth = 0;
    Subdivide(a, b, c, d, t0);
    depth = outer;
}

void floatBez3Base::Subdivide(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3,
                              std::uint32_t t0) {
    SubdivideCubic(*this, p0, c1, c2, p3, t0);
}

// ---------------------------------------------------------------------------------------------
// longBez3Base

longBez3Base::longBez3Base(std::int32_t tol)
    : tStart(0), tEnd(0), tolerance(1), deviation(0), depth(0) {
    SetErrorTolerance(tol);
}

void longBez3Base::Output(longPoint&, longPoint&, longPoint&, longPoint&) {}

int longBez3Base::CheckEntry(longPoint&, longPoint&, longPoint&, longPoint&) {
    return 1;
}

int longBez3Base::CheckOutput(longPoint& p0, longPoint& mid, longPoint& p3) {
    chordMid = Mid(p0, p3);
    std::int64_t dx = std::int64_t(mid.x) - chordMid.x;
    std::int64_t dy = std::int64_t(mid.y) - chordMid.y;
    deviation = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
    // One unit is the truncation error of the midpoints: with a tolerance of 1 it would keep
    // pieces that no longer shrink from ever being flat.
    return depth > 0 && deviation < std::max(tolerance, MinLongLimit);
}

void longBez3Base::SetErrorTolerance(std::int32_t tol) {
    tolerance = tol > 0 ? tol : 1;
}

void longBez3Base::CalcCurve(const longPoint& p0, const longPoint& c1, const longPoint& c2,
                             const longPoint& p3, std::uint32_t t0) {
    longPoint a = p0, b = c1, c = c2, d = p3;
    std::int8_t outer = depth;
    depth = 0;
    Subdivide(a, b, c, d, t0);
    depth = outer;
}

void longBez3Base::Subdivide(longPoint& p0, longPoint& c1, longPoint& c2, longPoint& p3,
                             std::uint32_t t0) {
    SubdivideCubic(*this, p0, c1, c2, p3, t0);
}
