// Union, intersection and difference of two paths: preparation, selection and assembly.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "pathkit/AbortHandler.h"
#include "pathkit/Fragment.h"
#include "pathkit/FragmentArray.h"
#include "pathkit/Path.h"
#include "pathkit/PathBreak.h"
#include "pathkit/PathCombination.h"

namespace {

// Overlay, selection, containment and insertion marks.
constexpr std::uint16_t CombinationMarks = PM_OVERLAYED | PM_SELECTED | PM_CONTAINED | PM_INSERTED;

bool HasSubPaths(Path& path) {
    path.Validate(0); // drops empty sub-paths
    return path.subPaths.Filled() != 0;
}

void ClearMarks(Path& path, std::uint16_t marks) {
    path.SetPMState(marks, 0, 0, 0);
}

// A number ordering points by y, then x, each by its bits turned so that they compare as
// unsigned integers: zeros of either sign alike, NaN after every number, so that the order
// is a strict weak one.
std::uint64_t OrderKey(const floatPoint& p) {
    auto bits = [](float v) -> std::uint64_t {
        if (std::isnan(v)) return 0xFFFFFFFFu;
        v += 0.0f; // -0 to +0
        std::uint32_t u;
        std::memcpy(&u, &v, sizeof u);
        return (u & 0x80000000u) ? ~u : (u | 0x80000000u);
    };
    return bits(p.y) << 32 | bits(p.x);
}

// The fragments of an array ordered by one of their end points, for finding the ones that
// begin or end exactly at a point. The points are kept beside the indices, read once.
class EndIndex {
public:
    EndIndex(FragmentArray& fragments, bool byEnd) {
        entries.resize(fragments.Filled());
        for (std::uint16_t i = 0; i < fragments.Filled(); ++i) {
            floatPoint p = byEnd ? fragments[i].end() : fragments[i].start();
            entries[i] = Entry{OrderKey(p), p, i};
        }
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.key < b.key; });
    }
    // Appends the indices of the fragments whose point equals p.
    void Find(const floatPoint& p, std::vector<std::uint16_t>& out) const {
        std::uint64_t key = OrderKey(p);
        auto it = std::lower_bound(entries.begin(), entries.end(), key,
                                   [](const Entry& e, std::uint64_t k) { return e.key < k; });
        for (; it != entries.end() && it->point == p; ++it)
            out.push_back(it->index);
    }

private:
    struct Entry {
        std::uint64_t key;
        floatPoint point;
        std::uint16_t index;
    };
    std::vector<Entry> entries;
};

// Marks the runs between inserted members of a and b that lie on each other (tol 0: six times
// a's accuracy) as overlaid, in the same or the opposite direction. Each run of a is paired with
// the first unmatched run of b that coincides with it; coinciding runs share their first point,
// or each one's first point is the other's last, so only those runs of b are compared.
void MarkOverlaps(Path& a, Path& b, float tol) {
    if (!(tol > 0)) tol = 6 * a.accuracy;
    // The runs are compared member by member: no clusters needed.
    a.Validate(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID);
    b.Validate(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID);
    FragmentArray fa, fb;
    fa.FillByInsertions(a);
    fb.FillByInsertions(b);
    EndIndex starts(fb, false), ends(fb, true);
    std::vector<std::uint16_t> candidates;
    // FR_PROCESSED serves as the matched mark.
    for (Fragment& f : fa) {
        if (f.count <= 0) continue;
        candidates.clear();
        starts.Find(f.start(), candidates);
        ends.Find(f.start(), candidates);
        std::sort(candidates.begin(), candidates.end());
        for (std::uint16_t j : candidates) {
            Fragment& g = fb[j];
            if (g.IsProcessed()) continue;
            int e = IsEqual(f, g, tol);
            if (!e) continue;
            std::uint16_t state = e > 0 ? 0x1 : 0x2;
            f.SetPMState(PM_OVERLAYED, state);
            g.SetPMState(PM_OVERLAYED, state);
            f.fragmentFlags |= FR_PROCESSED;
            g.fragmentFlags |= FR_PROCESSED;
            break;
        }
    }
}

// Long contours get clusters of eight members instead of the default count, so that the
// crossing and hit tests made for every fragment look at short runs of members. The index only
// prunes the searches; what they find is the same.
void ScaleClusters(Path& path) {
    for (SubPath& sp : path.subPaths) {
        unsigned want = sp.members.Filled() / 8u;
        if (want <= SubPath::DefaultClusterCount || want == sp.clusterCount) continue;
        sp.clusterCount = std::uint16_t(want);
        sp.Invalidate(SP_CLUSTERS_INVALID);
    }
}

// Breaks a and b where they touch and cross, and marks every member of each as lying on the
// other, inside it or outside it. Both paths are prepared first.
void PrepareCombination(Path& a, Path& b) {
    ClearMarks(a, CombinationMarks);
    ClearMarks(b, CombinationMarks);
    // Before Prepare too, so that the clusters it builds are those the searches use.
    ScaleClusters(a);
    ScaleClusters(b);
    a.Prepare();
    b.Prepare();
    ScaleClusters(a);
    ScaleClusters(b);
    // Coinciding members are only marked inserted, without a break point: they are looked for
    // all the same.
    if (BreakAtTouchPoints(a, b, 0, 1) || a.Count(PM_INSERTED, PM_INSERTED) ||
        b.Count(PM_INSERTED, PM_INSERTED))
        MarkOverlaps(a, b, 0);
    if (BreakAtIntersections(a, b, 1)) MarkOverlaps(a, b, 0);
    ScaleClusters(a);
    ScaleClusters(b);
    MarkContainment(a, b);
    MarkContainment(b, a);
    ClearMarks(a, PM_INSERTED);
    ClearMarks(b, PM_INSERTED);
}

// Runs the operation with b replaced by a copy when both name the same path: the steps mark
// and break each path against the other.
template <class Op> int WithDistinctOperands(Path& a, Path& b, Path* out, Op op) {
    if (&a != &b) return op(a, b, out);
    Path copy(b);
    return op(a, copy, out);
}

void ReplaceSubPaths(Path& out, Path& from) {
    out.ClosePath();
    out.subPaths.Destroy();
    out.Concat(from);
}

} // namespace

int BuildPath(Path& a, Path& b, Path& out) {
    FragmentArray fragments;
    fragments.FillWithSelected(a);
    if (&b != &a) fragments.FillWithSelected(b);
    int result;
    if (&out == &a || &out == &b) {
        // The fragments point into out's members: build aside, then replace.
        Path built(out.accuracy);
        result = fragments.BuildPath(built);
        fragments.Reset();
        ReplaceSubPaths(out, built);
    } else {
        result = fragments.BuildPath(out);
    }
    out.Clean();
    return result;
}

int Merge(Path& a, Path& b, Path* out) {
    DefAbortProc();
    return WithDistinctOperands(a, b, out, [](Path& a, Path& b, Path* out) {
        if (HasSubPaths(a) && HasSubPaths(b)) {
            PrepareCombination(a, b);
        } else {
            // Marks left from earlier work must not drop members of the path that is there.
            ClearMarks(a, CombinationMarks);
            ClearMarks(b, CombinationMarks);
        }
        a.SelectPM(PM_OVERLAYED | PM_CONTAINED, 0);
        b.SelectPM(PM_OVERLAYED | PM_CONTAINED, 0);
        // A shared boundary running the same way bounds the union; it is taken from a only.
        a.SelectPM(0x1, 0x1);
        return out ? BuildPath(a, b, *out) : 0;
    });
}

int Section(Path& a, Path& b, Path* out) {
    DefAbortProc();
    if (!HasSubPaths(a) || !HasSubPaths(b)) return 0;
    return WithDistinctOperands(a, b, out, [](Path& a, Path& b, Path* out) {
        PrepareCombination(a, b);
        a.SelectPM(PM_OVERLAYED | PM_CONTAINED, PM_CONTAINED);
        b.SelectPM(PM_OVERLAYED | PM_CONTAINED, PM_CONTAINED);
        a.SelectPM(0x1, 0x1);
        return out ? BuildPath(a, b, *out) : 0;
    });
}

int Subtract(Path& a, Path& b, Path* out) {
    DefAbortProc();
    if (!HasSubPaths(b)) {
        if (out) {
            out->ClosePath();
            out->subPaths.Destroy();
        }
        return 0;
    }
    if (!HasSubPaths(a)) {
        if (out && out != &b) {
            b.ClosePath();
            Path copy(b);
            ReplaceSubPaths(*out, copy);
        }
        return 0;
    }
    return WithDistinctOperands(a, b, out, [](Path& a, Path& b, Path* out) {
        PrepareCombination(a, b);
        // a's boundary inside b and b's outside a; a shared boundary running the opposite way
        // separates b's area from a's outside, so it stays.
        a.SelectPM(PM_OVERLAYED | PM_CONTAINED, PM_CONTAINED);
        b.SelectPM(PM_OVERLAYED | PM_CONTAINED, 0);
        a.SelectPM(0x2, 0x2);
        return out ? BuildPath(a, b, *out) : 0;
    });
}
