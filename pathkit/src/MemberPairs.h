#pragma once
// Visits the pairs of members of two sub-paths whose integer control boxes overlap within a
// tolerance, cluster by cluster: every ordered pair, so a sub-path visited with itself sees
// each pair twice; a member is never paired with itself.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "UnitMap.h"
#include "pathkit/BBox.h"
#include "pathkit/LPathMember.h"
#include "pathkit/SubPath.h"
#include "pathkit/ValueArrays.h"

namespace memberpairs {

inline bool Overlap(const longBBox& a, const longBBox& b, std::int64_t tol) {
    return std::int64_t(a.left) - tol <= b.right && std::int64_t(b.left) - tol <= a.right &&
           std::int64_t(a.bottom) - tol <= b.top && std::int64_t(b.bottom) - tol <= a.top;
}

// The members' boxes in the map's units, and the boxes of the groups of the sub-path's
// cluster index (one group of all members when it has no clusters).
struct Boxes {
    BBLDynArr members;
    BBLDynArr groups;
    unsigned step = 1;

    void Fill(SubPath& sp, const UnitMap& map) {
        sp.Validate(SP_CLUSTERS_INVALID);
        std::uint16_t n = sp.members.Filled();
        members.Grow(n);
        LPathMember l;
        longBBox box;
        for (const PathMember& m : sp.members) {
            map.Fill(l, m);
            l.CtrlBBox(box);
            members.Append(box);
        }
        step = sp.clusters.Filled() && sp.clusterStep ? sp.clusterStep : n;
        if (!step) step = 1;
        for (unsigned first = 0; first < n; first += step) {
            longBBox g = members[std::uint16_t(first)];
            for (unsigned i = first + 1; i < first + step && i < n; ++i)
                g += members[std::uint16_t(i)];
            groups.Append(g);
        }
    }
};

} // namespace memberpairs

// visit(i, j) with i a member index of a and j one of b, cluster pair by cluster pair and
// within one in member order. Only the members of each cluster that meet the other cluster's
// box are paired, and among many of them a member looks only at those whose boxes lie within
// reach along x; this leaves the pairs and their order as they are.
template <class Visit>
void VisitMemberPairs(SubPath& a, SubPath& b, const UnitMap& map, std::int64_t tol, Visit&& visit) {
    std::uint16_t na = a.members.Filled(), nb = b.members.Filled();
    if (!na || !nb) return;
    bool self = &a == &b;
    memberpairs::Boxes boxA, boxB;
    boxA.Fill(a, map);
    if (!self) boxB.Fill(b, map);
    const memberpairs::Boxes& bb = self ? boxA : boxB;
    // Beyond this many candidates they are searched by their left edges.
    constexpr std::uint16_t FewCandidates = 32;
    std::vector<std::uint16_t> near, hits;
    auto leftOf = [&bb](std::uint16_t j) { return std::int64_t(bb.members[j].left); };

    for (unsigned ga = 0; ga < boxA.groups.Filled(); ++ga) {
        const longBBox& groupA = boxA.groups[std::uint16_t(ga)];
        for (unsigned gb = 0; gb < bb.groups.Filled(); ++gb) {
            const longBBox& groupB = bb.groups[std::uint16_t(gb)];
            if (!memberpairs::Overlap(groupA, groupB, tol)) continue;
            unsigned iEnd = (ga + 1) * boxA.step, jEnd = (gb + 1) * bb.step;
            if (iEnd > na) iEnd = na;
            if (jEnd > nb) jEnd = nb;
            near.clear();
            std::int64_t widest = 0;
            for (unsigned j = gb * bb.step; j < jEnd; ++j) {
                const longBBox& mj = bb.members[std::uint16_t(j)];
                if (!memberpairs::Overlap(mj, groupA, tol)) continue;
                near.push_back(std::uint16_t(j));
                std::int64_t width = std::int64_t(mj.right) - mj.left;
                if (width > widest) widest = width;
            }
            if (near.empty()) continue;
            bool sorted = near.size() > FewCandidates;
            // Stable, so that equal left edges keep member order.
            if (sorted)
                std::stable_sort(near.begin(), near.end(), [&](std::uint16_t x, std::uint16_t y) {
                    return leftOf(x) < leftOf(y);
                });
            for (unsigned i = ga * boxA.step; i < iEnd; ++i) {
                const longBBox& mi = boxA.members[std::uint16_t(i)];
                if (!memberpairs::Overlap(mi, groupB, tol)) continue;
                const std::uint16_t* from = near.data();
                const std::uint16_t* to = near.data() + near.size();
                if (sorted) {
                    // Boxes that meet mi have their left edge within [lo, hi].
                    std::int64_t lo = mi.left - tol - widest, hi = mi.right + tol;
                    from = std::lower_bound(from, to, lo, [&](std::uint16_t j, std::int64_t v) {
                        return leftOf(j) < v;
                    });
                    to = std::upper_bound(from, to, hi, [&](std::int64_t v, std::uint16_t j) {
                        return v < leftOf(j);
                    });
                }
                hits.clear();
                for (const std::uint16_t* j = from; j != to; ++j) {
                    if (self && i == *j) continue;
                    if (memberpairs::Overlap(mi, bb.members[*j], tol)) hits.push_back(*j);
                }
                if (sorted) std::sort(hits.begin(), hits.end());
                for (std::uint16_t j : hits)
                    visit(i, unsigned(j));
            }
        }
    }
}

// Sets the overlay bits of the members of p and q that coincide (IsEqual within tol): 0x1 in
// the same direction, 0x2 in opposite directions. p and q may be the same sub-path.
void MarkEqualMembers(SubPath& p, SubPath& q, float tol);
