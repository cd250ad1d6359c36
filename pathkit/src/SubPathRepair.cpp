// Snapping, cutting at recorded points and removing self-connections of one contour.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "MemberPairs.h"
#include "UnitMap.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPath.h"

namespace {

constexpr std::uint16_t MemberGrowStep = 20;

int ByMemberAndParam(const Intersection* a, const Intersection* b) {
    if (a->index != b->index) return a->index < b->index ? -1 : 1;
    if (a->param != b->param) return a->param < b->param ? -1 : 1;
    return 0;
}

float SnapValue(float v, double accuracy) {
    return float(std::round(double(v) / accuracy) * accuracy);
}

// Builds the cut members of a contour.
class Cutter {
public:
    explicit Cutter(float accuracy) : out(MemberGrowStep), accuracy(accuracy) {}

    // Appends the pieces of m between the cut points (sorted by parameter); pieces after the
    // first begin at a cut point and are marked inserted, pieces of zero length are dropped.
    // Returns the index of the first piece appended (out's count when there was none).
    std::uint16_t Cut(PathMember& m, const Intersection* cuts, int n) {
        std::uint16_t first = out.Filled();
        std::uint32_t from = 0;
        const floatPoint* fromPoint = nullptr;
        bool inserted = false;
        for (int k = 0; k < n; ++k) {
            std::uint32_t p = cuts[k].param;
            if (p == 0 || p >= PM_PARAM_ONE || p <= from) continue;
            Add(m, from, p, fromPoint, &cuts[k].point, inserted);
            from = p;
            fromPoint = &cuts[k].point;
            inserted = true;
        }
        Add(m, from, PM_PARAM_ONE, fromPoint, nullptr, inserted);
        return first;
    }

    PathMemberEDynArr out;

private:
    void Add(PathMember& m, std::uint32_t p1, std::uint32_t p2, const floatPoint* s,
             const floatPoint* e, bool inserted) {
        PathMember piece;
        floatPoint ps, pe;
        if (s) ps = *s;
        if (e) pe = *e;
        if (!m.Cut(p1, p2, piece, s ? &ps : nullptr, e ? &pe : nullptr)) return;
        if (piece.start == piece.end && piece.IsLine(accuracy)) return;
        if (inserted) piece.flags |= PM_INSERTED;
        out.Append(piece);
    }

    float accuracy;
};

} // namespace

void SubPath::Snap() {
    double a = accuracy;
    for (PathMember& m : members) {
        m.start.Fill(SnapValue(m.start.x, a), SnapValue(m.start.y, a));
        m.end.Fill(SnapValue(m.end.x, a), SnapValue(m.end.y, a));
        // A line keeps its end points as control points.
        if (!m.IsCurve()) {
            m.ctrl1 = m.start;
            m.ctrl2 = m.end;
        }
    }
    Invalidate(SP_ALL_INVALID);
}

int SubPath::BreakApart() {
    int held = intersections.Filled();
    std::uint16_t n = members.Filled();
    bool changed = held && n;
    if (held && n) {
        intersections.Sort(ByMemberAndParam);
        Cutter cutter(accuracy);
        const Intersection* list = intersections.first();
        // Every cut inside a member adds at most one piece: room for them all at once, in
        // whole growth steps as appending would have made it.
        unsigned inside = 0;
        for (int k = 0; k < held; ++k)
            inside += list[k].param > 0 && list[k].param < PM_PARAM_ONE;
        unsigned room = n + (inside + MemberGrowStep - 1) / MemberGrowStep * MemberGrowStep;
        cutter.out.Grow(std::uint16_t(std::min(room, unsigned(PathMemberEDynArr::DefaultLimit))));
        bool closed = IsClosed();
        bool markNext = false, markFirst = false;
        int k = 0;
        for (std::uint16_t i = 0; i < n; ++i) {
            while (k < held && list[k].index < i)
                ++k;
            int from = k;
            while (k < held && list[k].index == i)
                ++k;
            if (k == from) {
                PathMember* kept = cutter.out.Append(members[i]);
                if (markNext) kept->flags |= PM_INSERTED;
                markNext = false;
                continue;
            }
            bool startHit = markNext, endHit = false;
            for (int c = from; c < k; ++c) {
                if (list[c].param == 0) startHit = true;
                if (list[c].param >= PM_PARAM_ONE) endHit = true;
            }
            std::uint16_t first = cutter.Cut(members[i], list + from, k - from);
            if (startHit && first < cutter.out.Filled()) cutter.out[first].flags |= PM_INSERTED;
            markNext = endHit;
            if (endHit && i == n - 1 && closed) markFirst = true;
        }
        if (markFirst && cutter.out.Filled()) cutter.out[0].flags |= PM_INSERTED;
        members = cutter.out;
    }
    intersections.Destroy();

    // Out-and-back spikes at cut points.
    bool closed = IsClosed();
    for (std::uint16_t i = 0; members.Filled() > 2 && i < members.Filled();) {
        std::uint16_t j = std::uint16_t(i + 1);
        if (j == members.Filled()) {
            if (!closed) break;
            j = 0;
        }
        PathMember &a = members[i], &b = members[j];
        if (a.IsInserted() && b.IsInserted() && IsEqual(a, b, accuracy) == -1) {
            changed = true;
            if (j > i) {
                members.DeleteAt(i, 2);
                if (i > 0) --i;
            } else {
                // The pair across the end: the new last and first members meet next.
                members.DeleteAt(i, 1);
                members.DeleteAt(0, 1);
                i = std::uint16_t(members.Filled() ? members.Filled() - 1 : 0);
            }
            continue;
        }
        ++i;
    }

    if (IsClosed()) {
        for (std::uint16_t i = 0; i < members.Filled(); ++i) {
            if (members[i].IsInserted()) {
                if (i) {
                    members.Rotate(i);
                    changed = true;
                }
                break;
            }
        }
    }
    // Untouched members keep their boxes and clusters.
    if (changed) Invalidate(SP_ALL_INVALID);
    return held;
}

// Stale inserted marks would hide touch points (a member already marked is not looked at), so
// they are cleared first.
int SubPath::BreakAtSelfConnections() {
    if (!members.Filled()) return 0;
    for (PathMember& m : members)
        m.flags &= std::uint16_t(~PM_INSERTED);
    intersections.Reset();
    // The searches with itself read no cluster boxes.
    Validate(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID);

    float tol = accuracy, curveAccuracy = accuracy / 4;
    UnitMap map(ScaleFactor(), ctrlBox);
    bool closed = IsClosed();
    unsigned n = members.Filled();
    int touches = 0;
    VisitMemberPairs(*this, *this, map, map.Length(tol), [&](unsigned i, unsigned j) {
        PathMember& mi = members[std::uint16_t(i)];
        PathMember& mj = members[std::uint16_t(j)];
        if (mj.IsInserted() || IsEqual(mi, mj, tol)) return;
        std::uint32_t param;
        if (!mi.IsBeside(mj.start, tol, curveAccuracy, param, 1)) return;
        if (param == 0 || param >= PM_PARAM_ONE) {
            bool follows = j == i + 1 || (closed && i == n - 1 && j == 0);
            if (follows) return;
        } else {
            intersections.Append()->Fill(mj.start, param, i);
        }
        mj.flags |= PM_INSERTED;
        ++touches;
    });
    BreakApart();

    Validate(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID);
    int crossings = GetIntersections(*this, *this);
    intersections.Unique(ByMemberAndParam);
    BreakApart();
    return touches + crossings;
}

// Overlay marks left from earlier work would drop members, so they are cleared before the
// coinciding members are marked.
int SubPath::RemoveSelfConnections(Path& out) {
    if (!BreakAtSelfConnections()) return 0;
    for (PathMember& m : members)
        m.flags &= std::uint16_t(~PM_OVERLAYED);
    MarkEqualMembers(*this, *this, 4 * accuracy);
    for (PathMember& m : members) {
        if (m.IsOverlayed()) {
            m.flags &= std::uint16_t(~PM_SELECTED);
        } else {
            m.flags |= PM_SELECTED;
        }
    }
    FragmentArray fragments;
    fragments.FillWithSelected(*this);
    fragments.BuildPath(out);
    return 1;
}
