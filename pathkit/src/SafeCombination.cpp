// The guarded boolean operations: shortcuts for disjoint inputs and retries at finer accuracy.

#include <algorithm>
#include <cmath>

#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"

namespace {

using Operation = int (*)(Path&, Path&, Path*);

// Relative to the extent of both inputs.
constexpr float FloorFactor = 2.5e-7f;
constexpr float StartFactor = 0.0005f;
// Tenfold refinements at most; bounds the loop whatever the floor is.
constexpr int MaxAttempts = 12;

// The union of the sub-paths' boxes after validating bits; false without sub-paths.
bool UnitedBox(Path& path, unsigned bits, bool exact, floatBBox& box) {
    path.Validate(bits);
    bool any = false;
    for (const SubPath& sp : path.subPaths) {
        const floatBBox& b = exact ? sp.accBox : sp.ctrlBox;
        if (any) {
            box += b;
        } else {
            box = b;
        }
        any = true;
    }
    return any;
}

// Both have sub-paths and their exact boxes are apart (touching boxes count as overlapping).
bool Disjoint(Path& a, Path& b) {
    floatBBox ba, bb;
    if (!UnitedBox(a, SP_ACCBOX_INVALID, true, ba) || !UnitedBox(b, SP_ACCBOX_INVALID, true, bb))
        return false;
    return !(ba.left <= bb.right && bb.left <= ba.right && ba.bottom <= bb.top &&
             bb.bottom <= ba.top);
}

// out's sub-paths give way to from's; from is left empty.
void ReplaceSubPaths(Path& out, Path& from) {
    out.ClosePath();
    out.subPaths.Destroy();
    out.Concat(from);
}

// Appends copies of b (and first of a, with withA) to out; replaces out's sub-paths when out
// is one of the inputs.
void CopyInto(Path& out, Path& a, Path& b, bool withA) {
    Path copies(out.accuracy);
    for (Path* p : {withA ? &a : nullptr, &b}) {
        if (!p) continue;
        p->ClosePath();
        Path copy(*p);
        copies.Concat(copy);
    }
    if (&out == &a || &out == &b) {
        ReplaceSubPaths(out, copies);
    } else {
        out.ClosePath();
        out.Concat(copies);
    }
    out.Invalidate(SP_ALL_INVALID);
    out.Prepare();
}

int SafeCombine(Path& a, Path& b, Path& out, Operation op) {
    a.ClosePath();
    b.ClosePath();
    a.Validate(0);
    b.Validate(0);
    if (!a.subPaths.Filled() && !b.subPaths.Filled()) return 0;
    a.Normalize();
    b.Normalize();

    floatBBox box, bb;
    bool hasA = UnitedBox(a, SP_CTRLBOX_INVALID, false, box);
    if (UnitedBox(b, SP_CTRLBOX_INVALID, false, bb)) {
        if (hasA) {
            box += bb;
        } else {
            box = bb;
        }
    }
    float w = box.right - box.left, h = box.top - box.bottom;
    float floor = FloorFactor * std::max(w, h);
    float accuracy = a.accuracy;
    float limit = StartFactor * (std::min(w, h) > 0 ? std::min(w, h) : std::max(w, h));
    if (limit < accuracy) accuracy = limit;
    if (accuracy < floor) accuracy = floor;

    // Every attempt starts from fresh copies; out is written once at the end, so that it may
    // also be one of the inputs.
    Path result(accuracy);
    int code = 0;
    for (int attempt = 0;; ++attempt) {
        Path ca(a), cb(b);
        ca.SetAccuracy(accuracy);
        cb.SetAccuracy(accuracy);
        Path attemptResult(accuracy);
        code = op(ca, cb, &attemptResult);
        attemptResult.ClosePath();
        result.subPaths.Destroy();
        result.Concat(attemptResult);
        if (code == 0 || !(accuracy > floor) || attempt + 1 >= MaxAttempts) break;
        accuracy *= 0.1f;
        if (!(accuracy > 0)) break;
    }

    ReplaceSubPaths(out, result);
    for (const SubPath& sp : out.subPaths) {
        if (sp.accuracy != out.accuracy) {
            out.SetAccuracy(out.accuracy);
            break;
        }
    }
    out.Prepare();
    return code;
}

} // namespace

int SafeMerge(Path& a, Path& b, Path& out) {
    if (Disjoint(a, b)) {
        CopyInto(out, a, b, true);
        return 0;
    }
    return SafeCombine(a, b, out, Merge);
}

int SafeSection(Path& a, Path& b, Path& out) {
    if (Disjoint(a, b)) return 0;
    return SafeCombine(a, b, out, Section);
}

int SafeSubtract(Path& a, Path& b, Path& out) {
    if (Disjoint(a, b)) {
        CopyInto(out, a, b, false);
        return 0;
    }
    return SafeCombine(a, b, out, Subtract);
}
