// The guarded boolean operations: shortcuts for disjoint inputs and retries at finer accuracy.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

#include "NormalForm.h"
#include "SubPathPairs.h"
#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"
#include "pathkit/PathQueries.h"

// The clusters of from, whose members and accuracy sp shares, where Validate would build the
// same ones for sp.
void CarryClusters(const SubPath& from, SubPath& sp) {
    unsigned count = sp.clusterCount ? sp.clusterCount : SubPath::DefaultClusterCount;
    if (!(from.state & SP_CLUSTERS_INVALID) && from.clusterCount == count) {
        sp.clusters.Reset();
        sp.clusters += from.clusters;
        sp.clusterStep = from.clusterStep;
        sp.clusterCount = from.clusterCount;
        sp.state = std::uint16_t(sp.state & ~SP_CLUSTERS_INVALID);
    }
}

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

// What the searches of Normalize read of a member: its points and whether it is a curve.
struct MemberShape {
    float v[8];
    std::uint16_t curve;

    explicit MemberShape(const PathMember& m)
        : v{m.start.x, m.start.y, m.end.x, m.end.y, m.ctrl1.x, m.ctrl1.y, m.ctrl2.x, m.ctrl2.y},
          curve(std::uint16_t(m.flags & PM_CURVE)) {}
    bool operator==(const MemberShape& o) const {
        return std::memcmp(v, o.v, sizeof v) == 0 && curve == o.curve;
    }
};

// A key for finding candidates only (SameContour decides): the member count and the first,
// middle and last members, so that hashing stays cheap on long contours.
std::uint64_t ShapeDigest(const SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    std::uint64_t h = 1469598103934665603ull ^ n;
    if (!n) return h;
    for (std::uint16_t i : {std::uint16_t(0), std::uint16_t(n / 2), std::uint16_t(n - 1)}) {
        MemberShape s(sp.members[i]);
        std::uint32_t w[9];
        std::memcpy(w, s.v, sizeof s.v);
        w[8] = s.curve;
        for (std::uint32_t x : w)
            h = (h ^ x) * 1099511628211ull;
    }
    return h;
}

// Bit for bit the same members (as far as the searches read them) and accuracy.
bool SameContour(const SubPath& p, const SubPath& q) {
    std::uint16_t n = p.members.Filled();
    if (n != q.members.Filled() || !(p.accuracy == q.accuracy)) return false;
    for (std::uint16_t i = 0; i < n; ++i)
        if (!(MemberShape(p.members[i]) == MemberShape(q.members[i]))) return false;
    return true;
}

// Contours of out equal to contours of source (bit for bit the same members and accuracy) take
// their boxes, clusters, turn and freedom from self-connections where those are known:
// computed again from the same members, they would come out the same. Where source is in normal
// form at out's accuracy, they are marked SP_CARRIED as well, and the result is true.
bool CarryKnown(Path& out, Path& source) {
    if (!out.subPaths.Filled()) return false;
    bool normal = out.accuracy == source.accuracy && source.IsNormal();
    std::unordered_multimap<std::uint64_t, std::uint16_t> known;
    known.reserve(source.subPaths.Filled());
    for (std::uint16_t j = 0; j < source.subPaths.Filled(); ++j)
        known.emplace(ShapeDigest(source.subPaths[j]), j);
    for (SubPath& sp : out.subPaths) {
        auto [first, end] = known.equal_range(ShapeDigest(sp));
        const SubPath* from = nullptr;
        for (auto it = first; it != end && !from; ++it)
            if (SameContour(sp, source.subPaths[it->second])) from = &source.subPaths[it->second];
        if (!from) continue;
        if (normal) sp.state = std::uint16_t(sp.state | SP_CARRIED);
        if (from->state & SP_SELF_CLEAN) sp.state = std::uint16_t(sp.state | SP_SELF_CLEAN);
        if (!(from->state & (SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID))) {
            sp.ctrlBox = from->ctrlBox;
            sp.accBox = from->accBox;
            sp.state = std::uint16_t(sp.state & ~(SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID));
        }
        CarryClusters(*from, sp);
        // Prepare turns closed contours only, and leaves the turn of a flat or infinite box.
        if ((from->state & SP_TURN_KNOWN) && !(sp.state & SP_ACCBOX_INVALID) && sp.IsClosed() &&
            !IsFlatOrInfinite(from->accBox)) {
            sp.rotation = from->rotation;
            sp.state = std::uint16_t(sp.state | SP_TURN_KNOWN);
        }
    }
    return normal;
}

// Whether Normalize would change nothing in out, which was just prepared without a contour
// reversed, after CarryKnown from a path in normal form. Normalize changes nothing when no
// contour touches or crosses itself and no pair of closed contours with overlapping boxes
// touches or crosses, and then its Prepare repeats the last one. Contours still marked
// SP_CARRIED equal contours of that path and passed those searches there, alone and in pairs
// among themselves, so only the other contours and the pairs with one of them are searched
// here, on copies: out stays untouched.
bool ShownNormal(Path& out) {
    std::uint16_t n = out.subPaths.Filled();
    if (!n) return false;
    out.Validate(SP_ALL_INVALID);
    std::vector<char> old(n);
    for (std::uint16_t i = 0; i < n; ++i)
        old[i] = (out.subPaths[i].state & SP_CARRIED) != 0;

    // Copies as Normalize's searches find the contours: without overlay and insertion marks.
    std::vector<std::unique_ptr<SubPath>> copies(n);
    auto copy = [&](std::uint16_t i) -> SubPath& {
        if (!copies[i]) {
            copies[i] = std::make_unique<SubPath>(out.subPaths[i]);
            for (PathMember& m : copies[i]->members)
                m.flags &= std::uint16_t(~(PM_OVERLAYED | PM_INSERTED));
        }
        return *copies[i];
    };
    // Every contour not known free of self-connections is searched, so that the next
    // Normalize finds those that are known.
    bool selfClean = true;
    for (SubPath& sp : out.subPaths) {
        if (sp.state & SP_SELF_CLEAN) continue;
        SubPath alone(sp);
        if (alone.BreakAtSelfConnections()) {
            selfClean = false;
        } else {
            sp.state = std::uint16_t(sp.state | SP_SELF_CLEAN);
        }
    }
    if (!selfClean) return false;

    // The pairs of Path::RemoveSPConnections (BreakAtTouchPoints and BreakAtIntersections of
    // the path with itself) that hold a new contour.
    // Which pair is searched first does not matter: any find ends in false. The few contours
    // not carried are tested against every other one directly.
    float tol = out.accuracy;
    std::vector<std::uint32_t> pairs; // p << 16 | q
    auto consider = [&](std::uint16_t i, std::uint16_t k) {
        const SubPath& p = out.subPaths[i];
        const SubPath& q = out.subPaths[k];
        if (p.IsOpen() || q.IsOpen()) return;
        const floatBBox &a = p.ctrlBox, &b = q.ctrlBox;
        if (a.left - tol <= b.right && b.left <= a.right + tol && a.bottom - tol <= b.top &&
            b.bottom <= a.top + tol)
            pairs.push_back(std::uint32_t(i) << 16 | k);
    };
    for (std::uint16_t i = 0; i < n; ++i) {
        if (old[i]) continue;
        for (std::uint16_t k = 0; k < n; ++k) {
            // A pair of two new contours is taken when the first of them comes.
            if (k == i || (!old[k] && k < i)) continue;
            consider(i, k);
            consider(k, i);
        }
    }
    for (std::uint32_t pq : pairs)
        if (GetTouchPoints(copy(std::uint16_t(pq >> 16)), copy(std::uint16_t(pq & 0xFFFF)), tol))
            return false;
    for (const auto& c : copies)
        if (c && c->Count(PM_INSERTED, PM_INSERTED)) return false;
    for (std::uint32_t pq : pairs)
        if (GetIntersections(copy(std::uint16_t(pq >> 16)), copy(std::uint16_t(pq & 0xFFFF))))
            return false;
    return true;
}

// A copy at the same accuracy knows what its original knows: boxes, clusters, turns, freedom
// from self-connections and the normal form.
void CarryNormal(const Path& from, Path& copy) {
    if (!(copy.accuracy == from.accuracy) || copy.subPaths.Filled() != from.subPaths.Filled())
        return;
    for (const SubPath& sp : from.subPaths)
        if (!(sp.accuracy == from.accuracy)) return;
    constexpr unsigned boxes = SP_CTRLBOX_INVALID | SP_ACCBOX_INVALID;
    for (std::uint16_t i = 0; i < from.subPaths.Filled(); ++i) {
        const SubPath& sp = from.subPaths[i];
        SubPath& c = copy.subPaths[i];
        if (!(sp.state & boxes)) c.state = std::uint16_t(c.state & ~boxes);
        CarryClusters(sp, c);
        c.state = std::uint16_t(c.state | (sp.state & (SP_TURN_KNOWN | SP_SELF_CLEAN)));
    }
    if (from.IsNormal()) copy.MarkNormal();
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
        CarryNormal(a, ca);
        CarryNormal(b, cb);
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
    bool carried = &out != &a && &out != &b && CarryKnown(out, b);
    bool reversed = PrepareCountingReversals(out, true) != 0;
    // The running outline of a weld comes back as b: shown in normal form here, it is not
    // worked through again on the next call.
    if (carried && !reversed && ShownNormal(out)) out.MarkNormal();
    for (SubPath& sp : out.subPaths)
        sp.state = std::uint16_t(sp.state & ~SP_CARRIED);
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
