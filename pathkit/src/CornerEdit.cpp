#include "pathkit/CornerEdit.h"

#include <cmath>

#include "NodeGeometry.h"
#include "pathkit/MemberOffsetter.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/PathMeasure.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPath.h"
#include "pathkit/SubPathArc.h"

using namespace nodegeom;

namespace {

// Tangents differing by more than this (160 degrees) meet at a U-turn.
constexpr double MaxCornerTurn = 2.792526803190927;

constexpr std::uint16_t ConnectionMarks = PM_SMOOTH | PM_SYMMETRIC;

void ClearMarks(PathMember& m) {
    m.flags = std::uint16_t((m.flags & ~ConnectionMarks) | PM_CHANGED);
}

} // namespace

int CreateCornerAt(SubPath& sp, unsigned index) {
    std::uint16_t n = sp.members.Filled();
    if (n < 3 || index >= n) return -1;
    PathMember& prev = sp.members[sp.members.Prev(int(index))];
    PathMember& m = sp.members[std::uint16_t(index)];
    PathMember& next = sp.members[sp.members.Next(int(index))];
    if (prev.end != m.start || m.end != next.start) return -1;

    const floatPoint prevFrom = EndTangentFrom(prev);
    const floatPoint nextTo = StartTangentTo(next);
    Vec nextDir = Diff(nextTo, next.start);
    floatPoint corner;
    if (std::fabs(VectAngle(Diff(prev.end, prevFrom), nextDir)) <= MaxCornerTurn) {
        if (!CrossLines(prevFrom, prev.end, next.start, nextTo, corner)) return -1;
        SetEnd(prev, corner);
        prev.flags |= PM_CHANGED;
        SetStart(next, corner);
        ClearMarks(next);
        sp.members.DeleteAt(std::uint16_t(index), 1);
        sp.Invalidate(SP_ALL_INVALID);
        return 1;
    }
    if (!m.IsCurve()) return -1;
    double startTurn = std::fabs(VectAngle(Diff(m.ctrl1, m.start), nextDir));
    double endTurn = std::fabs(VectAngle(Diff(m.end, m.ctrl2), nextDir));
    if (startTurn >= endTurn) {
        if (!CrossLines(m.ctrl2, m.end, prevFrom, prev.end, corner)) return -1;
        SetEnd(prev, corner);
        prev.flags |= PM_CHANGED;
        m.start = corner;
    } else {
        if (!CrossLines(m.start, m.ctrl1, next.start, nextTo, corner)) return -1;
        SetStart(next, corner);
        ClearMarks(next);
        m.end = corner;
    }
    MakeLine(m);
    ClearMarks(m);
    sp.Invalidate(SP_ALL_INVALID);
    return 0;
}

int CreateCornersIn(SubPath& sp) {
    int any = 0;
    for (unsigned i = 0; i < sp.members.Filled();) {
        if (!sp.members[std::uint16_t(i)].IsPMSelected()) {
            ++i;
            continue;
        }
        int r = CreateCornerAt(sp, i);
        if (r == 1) {
            any = 1;
            continue;
        }
        if (r == 0) {
            any = 1;
            sp.members[std::uint16_t(i)].UnselectPM();
        }
        ++i;
    }
    return any;
}

int RoundCorner(PathMember& prev, PathMember& next, float radius, SubPath& out) {
    if (!(radius > 0) || !std::isfinite(radius) || !IsFinite(prev) || !IsFinite(next)) return -1;
    float accuracy = Path::ValidAccuracy(out.accuracy);
    // Offsets on the inside of the turn: to the left of a left turn.
    float d = Angle(prev, next) > 0 ? -radius : radius;
    MemberOffsetter offsetter(accuracy, MemberOffsetter::DefaultHandleRatio);
    SubPath prevOffset(accuracy), nextOffset(accuracy);
    offsetter.OffsetMember(prev, d, prevOffset.members);
    offsetter.OffsetMember(next, d, nextOffset.members);
    if (!GetIntersections(prevOffset, nextOffset) || !prevOffset.intersections.Filled()) return -1;
    const floatPoint centre = prevOffset.intersections[0].point;

    std::uint32_t tp, tn;
    if (!FindFootPoint(prev, centre, accuracy, tp) || !FindFootPoint(next, centre, accuracy, tn))
        return -1;
    floatPoint p, q;
    prev.GetPointAt(tp, p);
    next.GetPointAt(tn, q);
    Vec cp = Diff(p, centre);
    double sweep = VectAngle(cp, Diff(q, centre));
    double from = VectAngle(Vec{1, 0}, cp);
    std::uint16_t first = out.members.Filled();
    Arc(centre, radius, float(from), float(from + sweep), out);
    if (out.members.Filled() == first) return -1;

    PathMember cutPrev, cutNext;
    prev.Cut(0, tp, cutPrev, nullptr, nullptr);
    next.Cut(tn, PM_PARAM_ONE, cutNext, nullptr, nullptr);
    prev = cutPrev;
    next = cutNext;
    prev.flags |= PM_CHANGED;
    next.flags |= PM_CHANGED;
    out.members[first].start = prev.end;
    out.members.last()->end = next.start;
    return 0;
}

int RoundCornerAt(SubPath& sp, unsigned node, float radius) {
    std::uint16_t n = sp.members.Filled();
    if (n < 2 || node >= n) return 0;
    std::uint16_t pi = sp.members.Prev(int(node));
    PathMember prev = sp.members[pi], next = sp.members[std::uint16_t(node)];
    if (prev.end != next.start) return 0;
    SubPath arc(sp.accuracy);
    if (RoundCorner(prev, next, radius, arc) != 0) return 0;
    std::uint16_t count = arc.members.Filled();
    arc.members[0].flags |= PM_SMOOTH;
    for (PathMember& m : arc.members)
        m.flags |= PM_SELECTED;
    next.flags |= PM_SMOOTH;
    // Inserted first: a failing array leaves the sub-path as it was.
    sp.members.InsertAt(std::uint16_t(node), arc.members.first(), count);
    sp.members[std::uint16_t(pi < node ? pi : pi + count)] = prev;
    sp.members[std::uint16_t(node + count)] = next;
    sp.Invalidate(SP_ALL_INVALID);
    return count;
}
