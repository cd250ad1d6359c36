#include "pathkit/NodeDelete.h"

#include "MemberRefitter.h"
#include "NodeGeometry.h"
#include "pathkit/Path.h"
#include "pathkit/SubPath.h"
#include "win32/user.h"

using namespace nodegeom;

namespace {

PathMember LineBetween(const floatPoint& s, const floatPoint& e, std::uint16_t flags) {
    PathMember m(s, e);
    m.ctrl1 = s;
    m.ctrl2 = e;
    m.flags = flags;
    return m;
}

bool NodeSelectedAt(const SubPath& sp, unsigned i) {
    return IsNodeSelected(sp.members[sp.members.Prev(int(i))], sp.members[std::uint16_t(i)]);
}

// Replaces the run first .. last; returns the number of members now in its place, 0 when the
// run stays.
unsigned DeleteRun(SubPath& sp, unsigned first, unsigned last, int kind) {
    const PathMember& a = sp.members[std::uint16_t(first)];
    const PathMember& b = sp.members[std::uint16_t(last)];
    if (kind == 0) {
        MemberRefitter refitter(sp.accuracy);
        for (unsigned k = first; k <= last; ++k)
            refitter.Feed(sp.members[std::uint16_t(k)]);
        PathMember curve;
        if (!refitter.Fit(curve)) return 0;
        curve.flags = PM_CURVE | PM_SELECTED | PM_CHANGED;
        ReplaceRun(sp, first, last, &curve, 1);
        return 1;
    }
    if (kind == 1) {
        PathMember line = LineBetween(a.start, b.end, PM_SELECTED | PM_CHANGED);
        ReplaceRun(sp, first, last, &line, 1);
        return 1;
    }
    if (kind == 2) {
        if (last - first + 1 < 3) return 0;
        floatPoint corner;
        if (!CrossLines(a.start, StartTangentTo(a), EndTangentFrom(b), b.end, corner)) {
            MessageBeep(0);
            return 0;
        }
        PathMember lines[2] = {LineBetween(a.start, corner, PM_SELECTED | PM_CHANGED),
                               LineBetween(corner, b.end, PM_SELECTED | PM_CHANGED)};
        ReplaceRun(sp, first, last, lines, 2);
        return 2;
    }
    return 0;
}

} // namespace

void DeleteConnection(const PathMember& a, const PathMember& b, PathMember& out, float accuracy) {
    float acc = Path::ValidAccuracy(accuracy);
    std::uint16_t lineFlags = std::uint16_t(a.flags & ~PM_CURVE);
    if (a.IsCurve() || b.IsCurve()) {
        MemberRefitter refitter(acc);
        refitter.Feed(a);
        refitter.Feed(b);
        PathMember fitted;
        if (refitter.Fit(fitted)) {
            fitted.flags = std::uint16_t(a.flags | PM_CURVE);
            if (fitted.IsLine(acc)) MakeLine(fitted);
            out = fitted;
            return;
        }
    }
    out = LineBetween(a.start, b.end, lineFlags);
}

int DeleteConnectionAt(SubPath& sp, unsigned node) {
    std::uint16_t n = sp.members.Filled();
    if (n < 2 || node >= n) return -1;
    if (node == 0) {
        if (!sp.IsClosed()) return -1;
        sp.Rotate(n - 1);
        node = 1;
    }
    PathMember merged;
    DeleteConnection(sp.members[std::uint16_t(node - 1)], sp.members[std::uint16_t(node)], merged,
                     sp.accuracy);
    merged.flags |= PM_CHANGED;
    sp.members[std::uint16_t(node - 1)] = merged;
    sp.members.DeleteAt(std::uint16_t(node), 1);
    sp.Invalidate(SP_ALL_INVALID);
    return int(node - 1);
}

void DeleteSelNodesIn(SubPath& sp, int kind) {
    std::uint16_t n = sp.members.Filled();
    if (!n) return;
    if (sp.IsClosed()) {
        unsigned selected = 0, lastUnselected = 0;
        for (unsigned i = 0; i < n; ++i) {
            if (NodeSelectedAt(sp, i)) {
                ++selected;
            } else {
                lastUnselected = i;
            }
        }
        if (!selected) return;
        if (selected == n) {
            sp.members.Destroy();
            sp.clusters.Destroy();
            sp.Invalidate(SP_ALL_INVALID);
            return;
        }
        // Node 0 is then unselected, so no run wraps around the end of the array.
        if (NodeSelectedAt(sp, 0)) sp.Rotate(int(lastUnselected));
    }
    // Node 0 (an open sub-path's start) and the end of an open sub-path are never removed.
    for (unsigned i = 1; i < sp.members.Filled();) {
        if (!NodeSelectedAt(sp, i)) {
            ++i;
            continue;
        }
        unsigned j = i + 1;
        while (j < sp.members.Filled() && NodeSelectedAt(sp, j))
            ++j;
        unsigned placed = DeleteRun(sp, i - 1, j - 1, kind);
        // Past the new members, or past the run when it stayed.
        i = placed ? i - 1 + placed + 1 : j + 1;
    }
    sp.Invalidate(SP_ALL_INVALID);
}

void DeleteSelNodesIn(Path& path, int kind) {
    for (SubPath& sp : path.subPaths)
        DeleteSelNodesIn(sp, kind);
    path.Validate(SP_ALL_INVALID);
}

void DeleteSelLinesIn(Path& path) {
    Path built(Path::ValidAccuracy(path.accuracy));
    for (SubPath& sp : path.subPaths) {
        std::uint16_t n = sp.members.Filled();
        if (!n) continue;
        if (sp.IsClosed() && !sp.members[0].IsPMSelected() &&
            !sp.members[std::uint16_t(n - 1)].IsPMSelected()) {
            // The kept run around the closing node is drawn as one piece.
            for (std::uint16_t i = n; i-- > 0;) {
                if (sp.members[i].IsPMSelected()) {
                    sp.Rotate(i + 1);
                    break;
                }
            }
        }
        for (const PathMember& m : sp.members) {
            if (m.IsPMSelected()) {
                built.ClosePath();
            } else {
                built.building.members.Append(m);
            }
        }
        built.ClosePath();
    }
    built.Invalidate(SP_ALL_INVALID);
    built.Prepare();
    path.subPaths.Destroy();
    path.subPaths = built.subPaths;
    path.building.Destroy();
    path.building = built.building;
    path.ctrlBox = built.ctrlBox;
    path.accBox = built.accBox;
    path.accuracy = built.accuracy;
}
