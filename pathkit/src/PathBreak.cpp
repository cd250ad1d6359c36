#include "pathkit/PathBreak.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "SubPathPairs.h"

#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"

namespace {

// b's box overlaps a's grown by tol (closed intervals).
bool Overlap(const floatBBox& a, const floatBBox& b, float tol) {
    return a.left - tol <= b.right && b.left <= a.right + tol && a.bottom - tol <= b.top &&
           b.bottom <= a.top + tol;
}

// Calls find(p, q) for the sub-paths p of a and q of b that take part and whose boxes overlap,
// q by q and for each q in a's order.
template <class Find> void ForPairs(Path& a, Path& b, float tol, int closedOnly, Find find) {
    a.Validate(SP_ALL_INVALID);
    if (&b != &a) b.Validate(SP_ALL_INVALID);
    bool same = &a == &b;
    std::vector<std::uint32_t> pairs; // q << 16 | p
    VisitSubPathXOverlaps(a, b, tol, [&](unsigned i, unsigned k) {
        if (same && i == k) return;
        SubPath& p = a.subPaths[std::uint16_t(i)];
        SubPath& q = b.subPaths[std::uint16_t(k)];
        if (closedOnly && (q.IsOpen() || p.IsOpen())) return;
        if (Overlap(p.ctrlBox, q.ctrlBox, tol)) pairs.push_back(std::uint32_t(k) << 16 | i);
    });
    std::sort(pairs.begin(), pairs.end());
    for (std::uint32_t pq : pairs)
        find(a.subPaths[std::uint16_t(pq & 0xFFFF)], b.subPaths[std::uint16_t(pq >> 16)]);
}

// Breaks every sub-path and validates the bits asked for.
long BreakSubPaths(Path& path, unsigned bits) {
    long applied = 0;
    for (SubPath& sp : path.subPaths)
        applied += sp.BreakApart();
    path.Validate(bits);
    return applied;
}

// The boxes only: the next search builds the clusters of broken contours, at the count it
// asks for.
long BreakBoth(Path& a, Path& b) {
    constexpr unsigned boxes = SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID;
    long applied = BreakSubPaths(a, boxes);
    if (&b != &a) applied += BreakSubPaths(b, boxes);
    return applied;
}

} // namespace

long BreakApart(Path& path) {
    return BreakSubPaths(path, SP_ALL_INVALID);
}

long BreakAtTouchPoints(Path& a, Path& b, float tol, int closedOnly) {
    if (!(tol > 0)) tol = a.accuracy;
    ForPairs(a, b, tol, closedOnly, [tol](SubPath& p, SubPath& q) { GetTouchPoints(p, q, tol); });
    return BreakBoth(a, b);
}

long BreakAtIntersections(Path& a, Path& b, int closedOnly) {
    ForPairs(a, b, 0, closedOnly, [](SubPath& p, SubPath& q) { GetIntersections(p, q); });
    return BreakBoth(a, b);
}
