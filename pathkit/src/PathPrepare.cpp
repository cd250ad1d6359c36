// Path clean-up and canonical form.

#include <cmath>
#include <cstdint>

#include "pathkit/Path.h"

namespace {

// Closed intervals in x and y; a NaN edge overlaps nothing.
bool Overlap(const floatBBox& a, const floatBBox& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

// Ascending, NaN last, so that the order is a strict weak one.
int CompareLeft(float a, float b) {
    bool an = std::isnan(a), bn = std::isnan(b);
    if (an || bn) return int(an) - int(bn);
    return a < b ? -1 : (a > b ? 1 : 0);
}

// Deepest first (open sub-paths, depth -1, last), then by the left edge of the control box.
int CompareForPrepare(const SubPath* a, const SubPath* b) {
    if (a->depth != b->depth) return a->depth > b->depth ? -1 : 1;
    return CompareLeft(a->ctrlBox.left, b->ctrlBox.left);
}

} // namespace

void Path::Clean() {
    float tol = ValidAccuracy(accuracy);
    for (std::uint16_t i = 0; i < subPaths.Filled();) {
        SubPath& sp = subPaths[i];
        PathMemberEDynArr& m = sp.members;
        std::uint16_t kept = 0;
        for (std::uint16_t j = 0; j < m.Filled(); ++j) {
            const PathMember& pm = m[j];
            // A curve returning to its start stays when it bulges out (a loop).
            if (pm.start == pm.end && pm.IsLine(tol)) continue;
            if (kept != j) m[kept] = m[j];
            ++kept;
        }
        if (kept != m.Filled()) {
            m.ResetTo(kept);
            // Member indices moved: the clusters no longer match them.
            sp.Invalidate(SP_ALL_INVALID);
        }
        if (!kept) {
            subPaths.DeleteAt(i, 1);
            continue;
        }
        ++i;
    }
}

void Path::Prepare() {
    Clean();
    Validate(SP_ALL_INVALID);

    std::uint16_t n = subPaths.Filled();
    for (std::uint16_t i = 0; i < n; ++i) {
        SubPath& sp = subPaths[i];
        if (!sp.IsClosed()) {
            sp.depth = -1;
            continue;
        }
        int d = 0;
        for (std::uint16_t j = 0; j < n; ++j) {
            if (j == i) continue;
            SubPath& other = subPaths[j];
            if (!other.IsClosed() || !Overlap(sp.ctrlBox, other.ctrlBox)) continue;
            if (sp.IsContainedBy(other) && d < INT16_MAX) ++d;
        }
        sp.depth = std::int16_t(d);
    }

    // Stable: equal keys keep their order, so the result does not vary between runs.
    subPaths.Sort(CompareForPrepare);

    for (SubPath& sp : subPaths) {
        if (!sp.IsClosed()) continue;
        sp.CalcRotation();
        bool hole = sp.depth & 1;
        if (hole ? sp.rotation < 0 : sp.rotation >= 0) sp.Reverse();
    }
}

int Path::CollectOpenSubPaths() {
    Validate(SP_ACCBOX_INVALID | SP_CLUSTERS_INVALID);

    // The pieces are collected aside first, so that nothing is lost when they do not fit.
    Path pieces(accuracy);
    DynArr<std::uint16_t> split;
    for (std::uint16_t i = 0; i < subPaths.Filled(); ++i) {
        SubPath& sp = subPaths[i];
        PathMemberEDynArr& m = sp.members;
        std::uint16_t n = m.Filled();
        int firstGap = -1;
        for (std::uint16_t k = 0; k < n && firstGap < 0; ++k)
            if (m[k].start != m[m.Prev(k)].end) firstGap = k;
        if (firstGap < 0) continue;

        sp.Rotate(firstGap);
        for (std::uint16_t k = 0; k < n; ++k) {
            if (k == 0 || m[k].start != m[k - 1].end) pieces.ClosePath();
            pieces.building.members.Append(m[k]);
        }
        pieces.ClosePath();
        split.Append(i);
    }
    if (!split.Filled()) return 0;

    std::uint16_t made = pieces.subPaths.Filled();
    if (unsigned(subPaths.Filled()) - split.Filled() + made > SubPathEClassDynArr::DefaultLimit)
        throw SubPathEClassDynArr::LimitCheck();
    // Room first, so that the moves below cannot fail.
    if (made > split.Filled()) subPaths.Grow(std::uint16_t(made - split.Filled()));
    for (std::uint16_t k = split.Filled(); k-- > 0;)
        subPaths.DeleteAt(split[k], 1);
    Concat(pieces);
    Prepare();
    return made;
}
