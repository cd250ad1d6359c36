// Touch points and crossings between two contours (or a contour and itself).

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "MemberPairs.h"
#include "UnitMap.h"
#include "pathkit/Bez3Engines.h"
#include "pathkit/Intersection.h"
#include "pathkit/LPathMember.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPath.h"

namespace {

// The crossing search works at a tolerance of 4 units: the accuracy.
constexpr std::int32_t SearchTolerance = 4;
constexpr int MaxDepth = 31;
// Search steps allowed per member pair; only members lying on each other for a long stretch at
// a fine accuracy come near it.
constexpr long SearchBudget = 1L << 20;

floatBBox Union(const SubPath& a, const SubPath& b) {
    floatBBox box = a.ctrlBox;
    box += b.ctrlBox;
    return box;
}

bool Before(const LPathMember& a, const LPathMember& b) {
    const std::int32_t ka[4] = {a.start.x, a.start.y, a.end.x, a.end.y};
    const std::int32_t kb[4] = {b.start.x, b.start.y, b.end.x, b.end.y};
    for (int i = 0; i < 4; ++i)
        if (ka[i] != kb[i]) return ka[i] < kb[i];
    return false;
}

std::uint32_t Param(std::uint32_t t0, int depth, double t) {
    return t0 + std::uint32_t(std::floor(t * double(longBez3Base::Mask[depth]) + 0.5));
}

// The integer forms of a sub-path's members, each made once per search when first asked for;
// kept per thread so that a search costs nothing for the members it does not pair.
class ChordCache {
public:
    void Begin(std::uint16_t n) {
        if (chords_.size() < n) {
            chords_.resize(n);
            stamp_.resize(n, 0);
        }
        if (++now_ == 0) {
            std::fill(stamp_.begin(), stamp_.end(), 0);
            now_ = 1;
        }
    }
    const LPathMember& Get(const SubPath& sp, const UnitMap& map, unsigned i) {
        if (stamp_[i] != now_) {
            map.Fill(chords_[i], sp.members[std::uint16_t(i)]);
            stamp_[i] = now_;
        }
        return chords_[i];
    }

private:
    std::vector<LPathMember> chords_;
    std::vector<std::uint32_t> stamp_;
    std::uint32_t now_ = 0;
};

// Halves the members of one pair until both are lines within the tolerance, then crosses the
// lines. Pieces carry their parameter range as start and depth (width Mask[depth]).
class CrossingSearch {
public:
    CrossingSearch(SubPath& a, SubPath& b, const UnitMap& map)
        : found(0), a(a), b(b), map(map), chordsA(Cache(0)), chordsB(Cache(&a == &b ? 0 : 1)) {
        chordsA.Begin(a.members.Filled());
        if (&a != &b) chordsB.Begin(b.members.Filled());
    }

    void Pair(unsigned i, unsigned j) {
        ia = i;
        jb = j;
        const LPathMember& la = chordsA.Get(a, map, i);
        const LPathMember& lb = chordsB.Get(b, map, j);
        budget = SearchBudget;
        Search(la, 0, 0, lb, 0, 0);
    }

    int found;

private:
    void Search(const LPathMember& A, std::uint32_t a0, int ad, const LPathMember& B,
                std::uint32_t b0, int bd) {
        if (budget <= 0) return;
        --budget;
        longBBox ba, bb;
        A.CtrlBBox(ba);
        B.CtrlBBox(bb);
        if (!memberpairs::Overlap(ba, bb, SearchTolerance)) return;
        bool lineA = A.IsLine(SearchTolerance), lineB = B.IsLine(SearchTolerance);
        if (lineA && lineB) {
            Lines(A, a0, ad, B, b0, bd);
            return;
        }
        if ((!lineA && ad >= MaxDepth) || (!lineB && bd >= MaxDepth)) return;
        LPathMember a1, a2, b1, b2;
        if (!lineA && !lineB) {
            A.SplitAtHalf(a1, a2);
            B.SplitAtHalf(b1, b2);
            std::uint32_t ah = longBez3Base::Mask[ad + 1], bh = longBez3Base::Mask[bd + 1];
            Search(a1, a0, ad + 1, b1, b0, bd + 1);
            Search(a1, a0, ad + 1, b2, b0 + bh, bd + 1);
            Search(a2, a0 + ah, ad + 1, b1, b0, bd + 1);
            Search(a2, a0 + ah, ad + 1, b2, b0 + bh, bd + 1);
        } else if (!lineA) {
            A.SplitAtHalf(a1, a2);
            Search(a1, a0, ad + 1, B, b0, bd);
            Search(a2, a0 + longBez3Base::Mask[ad + 1], ad + 1, B, b0, bd);
        } else {
            B.SplitAtHalf(b1, b2);
            Search(A, a0, ad, b1, b0, bd + 1);
            Search(A, a0, ad, b2, b0 + longBez3Base::Mask[bd + 1], bd + 1);
        }
    }

    // The chords cross where both parameters lie in [0, 1). The two chords are taken in a
    // fixed order, so that a pair visited the other way round gives the very same numbers.
    void Lines(const LPathMember& A, std::uint32_t a0, int ad, const LPathMember& B,
               std::uint32_t b0, int bd) {
        bool swap = Before(B, A);
        const LPathMember& P = swap ? B : A;
        const LPathMember& Q = swap ? A : B;
        std::int64_t rx = std::int64_t(P.end.x) - P.start.x, ry = std::int64_t(P.end.y) - P.start.y;
        std::int64_t sx = std::int64_t(Q.end.x) - Q.start.x, sy = std::int64_t(Q.end.y) - Q.start.y;
        std::int64_t qx = std::int64_t(Q.start.x) - P.start.x;
        std::int64_t qy = std::int64_t(Q.start.y) - P.start.y;
        std::int64_t det = rx * sy - ry * sx;
        if (det == 0) return;
        std::int64_t nt = qx * sy - qy * sx, nu = qx * ry - qy * rx;
        if (det < 0) det = -det, nt = -nt, nu = -nu;
        if (nt < 0 || nt >= det || nu < 0 || nu >= det) return;
        double t = double(nt) / double(det), u = double(nu) / double(det);
        floatPoint at = map.Unmap(P.start.x + t * double(rx), P.start.y + t * double(ry));
        std::uint32_t pa = Param(a0, ad, swap ? u : t), pb = Param(b0, bd, swap ? t : u);
        if (!pa || !pb) return;
        a.intersections.Append()->Fill(at, pa, ia);
        b.intersections.Append()->Fill(at, pb, jb);
        ++found;
    }

    static ChordCache& Cache(int k) {
        thread_local ChordCache caches[2];
        return caches[k];
    }

    SubPath& a;
    SubPath& b;
    const UnitMap& map;
    ChordCache &chordsA, &chordsB;
    unsigned ia = 0, jb = 0;
    long budget = 0;
};

} // namespace

int GetIntersections(SubPath& a, SubPath& b) {
    if (!a.members.Filled() || !b.members.Filled()) return 0;
    a.Validate(SP_CTRLBOX_INVALID);
    b.Validate(SP_CTRLBOX_INVALID);
    UnitMap map(a.ScaleFactor(), Union(a, b));
    CrossingSearch search(a, b, map);
    bool self = &a == &b;
    // With itself, the pair (j, i) would find what (i, j) found.
    VisitMemberPairs(
        a, b, map, 0, [&](unsigned i, unsigned j) { search.Pair(i, j); }, self);
    return search.found;
}

int GetTouchPoints(SubPath& a, SubPath& b, float tol) {
    if (!a.members.Filled() || !b.members.Filled()) return 0;
    if (!(tol > 0)) tol = a.accuracy;
    float curveAccuracy = a.accuracy / 4;
    a.Validate(SP_CTRLBOX_INVALID);
    b.Validate(SP_CTRLBOX_INVALID);
    UnitMap map(a.ScaleFactor(), Union(a, b));
    bool self = &a == &b;
    int appended = 0;
    VisitMemberPairs(a, b, map, map.Length(tol), [&](unsigned i, unsigned j) {
        PathMember& m = a.members[std::uint16_t(i)];
        PathMember& n = b.members[std::uint16_t(j)];
        if (IsEqual(m, n, tol)) {
            m.flags |= PM_INSERTED;
            n.flags |= PM_INSERTED;
            return;
        }
        std::uint32_t param;
        if (m.IsBeside(n.start, tol, curveAccuracy, param, 1) && param < PM_PARAM_ONE) {
            a.intersections.Append()->Fill(n.start, param, i);
            n.flags |= PM_INSERTED;
            ++appended;
        }
        if (n.IsBeside(m.start, tol, curveAccuracy, param, 1) && param < PM_PARAM_ONE) {
            b.intersections.Append()->Fill(m.start, param, j);
            m.flags |= PM_INSERTED;
            ++appended;
        }
        if (!self && m.start == n.start) {
            m.flags |= PM_INSERTED;
            n.flags |= PM_INSERTED;
        }
    });
    return appended;
}
