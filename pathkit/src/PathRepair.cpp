// Path-level clean-up: snapping, coinciding members, connections between and within contours.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "MemberPairs.h"
#include "NormalForm.h"
#include "SubPathPairs.h"
#include "UnitMap.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"
#include "pathkit/PathBreak.h"
#include "pathkit/PathQueries.h"

namespace {

bool Overlap(const floatBBox& a, const floatBBox& b, float tol) {
    return a.left - tol <= b.right && b.left <= a.right + tol && a.bottom - tol <= b.top &&
           b.bottom <= a.top + tol;
}

// Marks left from earlier work (overlays, inserted points) would decide what is dropped and
// where runs end.
void ClearMarks(Path& path) {
    for (SubPath& sp : path.subPaths)
        for (PathMember& m : sp.members)
            m.flags &= std::uint16_t(~(PM_OVERLAYED | PM_INSERTED));
}

void SelectAllButOverlaid(Path& path) {
    for (SubPath& sp : path.subPaths) {
        for (PathMember& m : sp.members) {
            if (m.IsOverlayed()) {
                m.flags &= std::uint16_t(~PM_SELECTED);
            } else {
                m.flags |= PM_SELECTED;
            }
        }
    }
}

// The same contours in the same order, member by member: kind and points.
bool SameContours(const Path& a, const Path& b) {
    if (a.subPaths.Filled() != b.subPaths.Filled()) return false;
    for (std::uint16_t i = 0; i < a.subPaths.Filled(); ++i) {
        const SubPath &p = a.subPaths[i], &q = b.subPaths[i];
        if (p.members.Filled() != q.members.Filled() || p.IsClosed() != q.IsClosed()) return false;
        for (std::uint16_t k = 0; k < p.members.Filled(); ++k) {
            const PathMember &m = p.members[k], &n = q.members[k];
            if (m.IsCurve() != n.IsCurve() || !(m.start == n.start) || !(m.end == n.end))
                return false;
            if (m.IsCurve() && (!(m.ctrl1 == n.ctrl1) || !(m.ctrl2 == n.ctrl2))) return false;
        }
    }
    return true;
}

} // namespace

void MarkEqualMembers(SubPath& p, SubPath& q, float tol) {
    p.Validate(SP_CTRLBOX_INVALID);
    q.Validate(SP_CTRLBOX_INVALID);
    floatBBox box = p.ctrlBox;
    box += q.ctrlBox;
    UnitMap map(p.ScaleFactor(), box);
    VisitMemberPairs(p, q, map, map.Length(tol), [&](unsigned i, unsigned j) {
        PathMember& m = p.members[std::uint16_t(i)];
        PathMember& n = q.members[std::uint16_t(j)];
        int e = IsEqual(m, n, tol);
        if (!e) return;
        std::uint16_t bit = e > 0 ? 0x1 : 0x2;
        m.flags |= bit;
        n.flags |= bit;
    });
}

void MarkEqualPM(Path& a, Path& b, float tol) {
    if (!(tol > 0)) tol = 4 * a.accuracy;
    a.Validate(SP_ALL_INVALID);
    if (&b != &a) b.Validate(SP_ALL_INVALID);
    std::vector<std::uint32_t> pairs; // p << 16 | q
    VisitSubPathXOverlaps(a, b, tol, [&](unsigned i, unsigned k) {
        if (Overlap(a.subPaths[std::uint16_t(i)].ctrlBox, b.subPaths[std::uint16_t(k)].ctrlBox,
                    tol))
            pairs.push_back(std::uint32_t(i) << 16 | k);
    });
    std::sort(pairs.begin(), pairs.end());
    for (std::uint32_t pq : pairs)
        MarkEqualMembers(a.subPaths[std::uint16_t(pq >> 16)],
                         b.subPaths[std::uint16_t(pq & 0xFFFF)], tol);
}

void Path::Snap() {
    for (SubPath& sp : subPaths)
        sp.Snap();
}

// Open sub-paths take no part in the breaking: overlaps are a matter of areas. Contours that
// only touch at existing nodes are broken there and built again as they were: the rebuilt
// path replaces them all the same, but counts as no change, so that such a path reaches the
// normal form (a node put into a member on the way is a change).
int Path::RemoveSPConnections() {
    Validate(SP_ALL_INVALID);
    if (!subPaths.Filled()) return 0;
    ClearMarks(*this);
    unsigned members = 0;
    for (const SubPath& sp : subPaths)
        members += sp.members.Filled();
    BreakAtTouchPoints(*this, *this, 0, 1);
    BreakAtIntersections(*this, *this, 1);
    if (!Count(PM_INSERTED, PM_INSERTED)) return 0;

    MarkEqualPM(*this, *this, 0);
    SelectAllButOverlaid(*this);
    FragmentArray fragments;
    fragments.FillWithSelected(*this);
    Path rebuilt(accuracy);
    fragments.BuildPath(rebuilt);
    unsigned broken = 0;
    for (const SubPath& sp : subPaths)
        broken += sp.members.Filled();
    const bool same = broken == members && SameContours(*this, rebuilt);
    subPaths = rebuilt.subPaths;
    return same ? 0 : 1;
}

// The sub-paths are replaced only once all pieces are made, so that a failure on the way
// leaves every contour in the path. A run that changes nothing records the normal form: run
// again on the same contours it would find the same nothing.
void Path::Normalize() {
    if (IsNormal()) {
        // What a run that finds nothing leaves: no overlay or insertion marks, no intersection
        // lists, valid caches.
        ClearMarks(*this);
        for (SubPath& sp : subPaths)
            sp.intersections.Destroy();
        Validate(SP_ALL_INVALID);
        return;
    }
    auto size = [this] {
        unsigned n = subPaths.Filled();
        for (const SubPath& sp : subPaths)
            n += sp.members.Filled();
        return n;
    };
    unsigned before = size();
    Clean();
    // Clusters are built where a search needs them, not for contours replaced on the way.
    Validate(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID);
    bool changed = size() != before;

    Path pieces(accuracy);
    DynArr<std::uint16_t> replaced;
    for (std::uint16_t i = 0; i < subPaths.Filled(); ++i) {
        SubPath& sp = subPaths[i];
        if (sp.state & SP_SELF_CLEAN) {
            // What the search that finds nothing leaves.
            for (PathMember& m : sp.members)
                m.flags &= std::uint16_t(~PM_INSERTED);
            sp.intersections.Destroy();
            sp.Validate(SP_ALL_INVALID);
            continue;
        }
        if (sp.RemoveSelfConnections(pieces)) {
            replaced.Append(i);
        } else {
            sp.state = std::uint16_t(sp.state | SP_SELF_CLEAN);
        }
    }

    if (replaced.Filled()) {
        std::uint16_t made = pieces.subPaths.Filled();
        if (unsigned(subPaths.Filled()) - replaced.Filled() + made >
            SubPathEClassDynArr::DefaultLimit)
            throw SubPathEClassDynArr::LimitCheck();
        if (made > replaced.Filled()) subPaths.Grow(std::uint16_t(made - replaced.Filled()));
        for (std::uint16_t k = replaced.Filled(); k-- > 0;)
            subPaths.DeleteAt(replaced[k], 1);
        Concat(pieces);
        changed = true;
    }
    if (RemoveSPConnections()) changed = true;
    if (!PrepareCountingReversals(*this, true) && !changed) MarkNormal();
}
