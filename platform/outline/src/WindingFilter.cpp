#include "WindingFilter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "FlatContours.h"
#include "pathkit/AbortHandler.h"
#include "pathkit/Fragment.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"
#include "pathkit/PathBreak.h"
#include "pathkit/PathQueries.h"

namespace {

constexpr std::uint16_t WorkBits = PM_OVERLAYED | PM_SELECTED | PM_CONTAINED | PM_INSERTED;
// Of the overlay field: lies on another piece running the same way.
constexpr std::uint16_t SameWayOverlay = 0x1;
// Pieces decided between two polls of the abort handler.
constexpr unsigned PollInterval = 256;
// Pieces of contours within this many accuracies of each other are taken as lying on each
// other; chain ends as far apart are taken as one point.
constexpr float CoincidenceTolerance = 4;
// Corner points of different contours as near as this many accuracies are taken as one.
constexpr double NoiseReach = 1e-6;

// Corner points of different contours closer than `reach` (far below the accuracy: rounding
// apart, such as a tangent's direction taken from a handle 10^-38 off the axis) are made one
// point. The breaking inserts no point at an end that another contour touches, and pieces
// lying on each other are only recognised between equal end points.
void WeldNearCorners(Path& raw, double reach) {
    struct Corner {
        double x, y;
        std::uint16_t subPath, member;
    };
    std::vector<Corner> corners;
    for (std::uint16_t s = 0; s < raw.subPaths.Filled(); ++s) {
        const SubPath& sp = raw.subPaths[s];
        for (std::uint16_t i = 0; i < sp.members.Filled(); ++i)
            corners.push_back({sp.members[i].start.x, sp.members[i].start.y, s, i});
    }
    std::sort(corners.begin(), corners.end(),
              [](const Corner& a, const Corner& b) { return a.x < b.x; });
    const std::size_t none = corners.size();
    std::vector<std::size_t> target(corners.size(), none);
    for (std::size_t i = 0; i < corners.size(); ++i) {
        if (target[i] != none) continue;
        const Corner& a = corners[i];
        for (std::size_t j = i + 1; j < corners.size() && corners[j].x - a.x <= reach; ++j) {
            const Corner& b = corners[j];
            if (target[j] != none || b.subPath == a.subPath || (b.x == a.x && b.y == a.y)) continue;
            if (std::hypot(b.x - a.x, b.y - a.y) <= reach) target[j] = i;
        }
    }
    for (std::size_t j = 0; j < corners.size(); ++j) {
        if (target[j] == none) continue;
        const Corner& c = corners[j];
        const Corner& to = corners[target[j]];
        floatPoint p(float(to.x), float(to.y));
        SubPath& sp = raw.subPaths[c.subPath];
        PathMember& next = sp.members[c.member];
        PathMember& prev = sp.members[sp.members.Prev(c.member)];
        if (next.ctrl1 == next.start || !next.IsCurve()) next.ctrl1 = p;
        next.start = p;
        if (prev.end == floatPoint(float(c.x), float(c.y))) {
            if (prev.ctrl2 == prev.end || !prev.IsCurve()) prev.ctrl2 = p;
            prev.end = p;
        }
        sp.Invalidate(SP_ALL_INVALID);
    }
}

// Whether the run of members [first, end) of sub-path s bounds the area: sampled beside its
// middle member first, then beside the members around it, until the two sides differ as a
// boundary's must.
bool Bounds(const FlatContours& contours, std::size_t s, std::uint16_t first, std::uint16_t end,
            const WindingFilter::Admissible& admissible) {
    int count = end - first, middle = first + count / 2;
    for (int k = 0, tried = 0; k < count && tried < WindingFilter::MaxSamples; ++k) {
        // middle, middle - 1, middle + 1, middle - 2, ...
        int j = middle + ((k & 1) ? -(k + 1) / 2 : k / 2);
        if (j < first || j >= end) continue;
        double mx, my, lx, ly, rx, ry;
        if (!contours.Beside(s, std::size_t(j), mx, my, lx, ly, rx, ry)) continue;
        ++tried;
        int left, right;
        contours.Windings(lx, ly, rx, ry, left, right);
        if (left - right >= 1)
            return left >= 1 && right <= 0 && (!admissible || admissible(mx, my));
    }
    return false;
}

// Whether every point of the line from a to b, taken at steps of tol, passes the test.
bool LinePasses(const floatPoint& a, const floatPoint& b, float tol,
                const WindingFilter::Admissible& test) {
    double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    double steps = std::ceil(std::hypot(dx, dy) / tol);
    if (!(steps < 1e7)) return false;
    for (double k = 0; k <= steps; ++k)
        if (!test(a.x + dx * (k / steps), a.y + dy * (k / steps))) return false;
    return true;
}

// An open chain whose end does not meet its own start (within tol) is continued by the open
// chain with the start or end nearest to it, turned round if need be, where the two meet or
// the line between them passes `closable` everywhere: pieces of one boundary decided apart
// around a fold finer than the accuracy.
void JoinChains(Path& path, float tol, const WindingFilter::Admissible& closable) {
    auto gap = [](const floatPoint& a, const floatPoint& b) {
        return std::hypot(double(a.x) - b.x, double(a.y) - b.y);
    };
    auto open = [](const SubPath& sp) { return sp.members.Filled() && !sp.IsClosed(); };
    for (std::uint16_t i = 0; i < path.subPaths.Filled(); ++i) {
        while (open(path.subPaths[i])) {
            floatPoint end = path.subPaths[i].members.last()->end;
            double own = gap(end, path.subPaths[i].members[0].start);
            if (own <= tol) break;
            // The nearest end of another open chain, nearer than this chain's own start.
            std::uint16_t best = i;
            bool forward = true;
            double nearest = own;
            for (std::uint16_t k = 0; k < path.subPaths.Filled(); ++k) {
                const SubPath& other = path.subPaths[k];
                if (k == i || !open(other)) continue;
                double a = gap(other.members[0].start, end),
                       b = gap(other.members.last()->end, end);
                if (std::fmin(a, b) < nearest) {
                    nearest = std::fmin(a, b);
                    best = k;
                    forward = a <= b;
                }
            }
            if (best == i) break;
            const SubPath& other = path.subPaths[best];
            floatPoint to = forward ? other.members[0].start : other.members.last()->end;
            bool bridge = nearest > tol;
            if (bridge && !(closable && LinePasses(end, to, tol, closable))) break;
            std::vector<PathMember> next(other.members.begin(), other.members.end());
            if (!forward) {
                std::reverse(next.begin(), next.end());
                for (PathMember& m : next)
                    m.Reverse();
            }
            SubPath& chain = path.subPaths[i];
            if (bridge) {
                PathMember* line = chain.members.Append(PathMember(end, to));
                line->ctrl1 = line->start;
                line->ctrl2 = line->end;
            } else {
                next[0].start = end;
                if (!next[0].IsCurve()) next[0].ctrl1 = end;
            }
            for (const PathMember& m : next)
                chain.members.Append(m);
            chain.Invalidate(SP_ALL_INVALID);
            path.subPaths.DeleteAt(best, 1);
            if (best < i) --i;
        }
    }
}

// Chains that did not come back to their start (a piece near a crossing finer than the
// accuracy decided wrongly) are closed: over the gap when it is that small, else by a line
// when the line passes `closable` everywhere, else they are dropped. Contours smaller than
// the tolerance are dropped.
void CloseChains(Path& path, float tol, const WindingFilter::Admissible& closable) {
    for (std::uint16_t i = 0; i < path.subPaths.Filled();) {
        SubPath& sp = path.subPaths[i];
        PathMember* last = sp.members.last();
        if (last && !sp.IsClosed()) {
            floatPoint start = sp.members[0].start;
            if (std::hypot(double(last->end.x) - start.x, double(last->end.y) - start.y) <= tol) {
                last->end = start;
                if (!last->IsCurve()) last->ctrl2 = start;
            } else if (closable && !LinePasses(last->end, start, tol, closable)) {
                path.subPaths.DeleteAt(i, 1);
                continue;
            } else {
                PathMember* line = sp.members.Append(PathMember(last->end, start));
                line->ctrl1 = line->start;
                line->ctrl2 = line->end;
            }
            sp.Invalidate(SP_ALL_INVALID);
        }
        sp.Validate(SP_CTRLBOX_INVALID);
        if (!sp.members.Filled() || sp.ctrlBox.Size() < tol) {
            path.subPaths.DeleteAt(i, 1);
            continue;
        }
        ++i;
    }
}

} // namespace

void WindingFilter::Apply(Path& raw, Path& out, const Admissible& admissible,
                          const Admissible& closable) {
    raw.Validate(SP_ALL_INVALID);
    if (!raw.subPaths.Filled()) return;
    for (SubPath& sp : raw.subPaths)
        for (PathMember& m : sp.members)
            m.flags &= std::uint16_t(~WorkBits);

    WeldNearCorners(raw, NoiseReach * raw.accuracy);
    raw.Validate(SP_ALL_INVALID);

    // Each contour with itself first (that step starts by clearing the inserted marks), then
    // the contours with each other; every cut leaves the member after it marked inserted.
    for (SubPath& sp : raw.subPaths)
        sp.BreakAtSelfConnections();
    DefAbortProc();
    BreakAtTouchPoints(raw, raw, 0, 1);
    BreakAtIntersections(raw, raw, 1);
    float tol = CoincidenceTolerance * raw.accuracy;
    MarkEqualPM(raw, raw, tol);
    DefAbortProc();

    FlatContours contours(raw, raw.accuracy / 4);
    // Of pieces lying on each other in the same direction only the first is kept.
    std::vector<Fragment> keptTwins;
    unsigned decided = 0;
    for (std::size_t s = 0; s < raw.subPaths.Filled(); ++s) {
        SubPath& sp = raw.subPaths[std::uint16_t(s)];
        PathMemberEDynArr& members = sp.members;
        std::uint16_t n = members.Filled();
        for (std::uint16_t i = 0; i < n;) {
            std::uint16_t first = i;
            for (++i; i < n && !members[i].IsInserted(); ++i) {
            }
            bool keep = Bounds(contours, s, first, i, admissible);
            if (keep && (members[first].flags & SameWayOverlay)) {
                Fragment run;
                run.Fill(&members[first], i - first, sp.accuracy);
                for (Fragment& twin : keptTwins) {
                    if (IsEqual(run, twin, tol) > 0) {
                        keep = false;
                        break;
                    }
                }
                if (keep) keptTwins.push_back(run);
            }
            for (std::uint16_t j = first; j < i; ++j) {
                if (keep) {
                    members[j].flags |= PM_SELECTED;
                } else {
                    members[j].flags &= std::uint16_t(~PM_SELECTED);
                }
            }
            if (++decided % PollInterval == 0) DefAbortProc();
        }
    }

    FragmentArray kept;
    kept.FillWithSelected(raw);
    Path built(raw.accuracy);
    kept.BuildPath(built);
    JoinChains(built, tol, closable);
    CloseChains(built, tol, closable);
    out.Concat(built);
}
