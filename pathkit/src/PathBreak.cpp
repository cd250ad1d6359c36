#include "pathkit/PathBreak.h"

#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"

namespace {

// b's box overlaps a's grown by tol (closed intervals).
bool Overlap(const floatBBox& a, const floatBBox& b, float tol) {
    return a.left - tol <= b.right && b.left <= a.right + tol && a.bottom - tol <= b.top &&
           b.bottom <= a.top + tol;
}

// Calls find(p, q) for the sub-paths p of a and q of b that take part and whose boxes overlap.
template <class Find> void ForPairs(Path& a, Path& b, float tol, int closedOnly, Find find) {
    a.Validate(SP_ALL_INVALID);
    if (&b != &a) b.Validate(SP_ALL_INVALID);
    bool same = &a == &b;
    for (SubPath& q : b.subPaths) {
        if (closedOnly && q.IsOpen()) continue;
        for (SubPath& p : a.subPaths) {
            if (same && &p == &q) continue;
            if (closedOnly && p.IsOpen()) continue;
            if (Overlap(p.ctrlBox, q.ctrlBox, tol)) find(p, q);
        }
    }
}

} // namespace

long BreakApart(Path& path) {
    long applied = 0;
    for (SubPath& sp : path.subPaths)
        applied += sp.BreakApart();
    path.Validate(SP_ALL_INVALID);
    return applied;
}

long BreakAtTouchPoints(Path& a, Path& b, float tol, int closedOnly) {
    if (!(tol > 0)) tol = a.accuracy;
    ForPairs(a, b, tol, closedOnly, [tol](SubPath& p, SubPath& q) { GetTouchPoints(p, q, tol); });
    long applied = BreakApart(a);
    if (&b != &a) applied += BreakApart(b);
    return applied;
}

long BreakAtIntersections(Path& a, Path& b, int closedOnly) {
    ForPairs(a, b, 0, closedOnly, [](SubPath& p, SubPath& q) { GetIntersections(p, q); });
    long applied = BreakApart(a);
    if (&b != &a) applied += BreakApart(b);
    return applied;
}
