#pragma once
// Visits the pairs of members of two sub-paths whose integer control boxes overlap within a
// tolerance: every ordered pair, so a sub-path visited with itself sees each pair twice; a
// member is never paired with itself.
//
// The order is that of a walk over the sub-paths' cluster groups: by a's group, then b's
// group, then by member index on each side. Callers that mark members as they go rely on it.

#include <algorithm>
#include <cstdint>
#include <memory>
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

// Cluster boxes are in units counted from 0 (floor(v * factor + 0.5), NaN at 0); the pair's map
// counts from its own origin o. For a coordinate whose cluster value c lies within the bounds
// below, the map gives c - o within one unit. A NaN gives 0 in both, that is o in cluster
// units, so a range that holds 0 is widened to o.
struct ClusterAxis {
    static constexpr std::int64_t Bound = std::int64_t(1) << 29;
    std::int64_t origin;

    // [lo, hi] in cluster units as far as the map may see it; false when the map could
    // saturate or round differently.
    bool Range(std::int64_t& lo, std::int64_t& hi) const {
        if (lo <= 0 && 0 <= hi) {
            lo = std::min(lo, origin);
            hi = std::max(hi, origin);
        }
        return lo >= -2 * Bound && hi <= 2 * Bound && lo - origin >= -Bound && hi - origin <= Bound;
    }
};

// The members of one side that may meet the other side, with their boxes in the map's units.
struct Side {
    SubPath* sp = nullptr;
    unsigned count = 0;
    unsigned step = 1;
    bool groupsUsable = false; // one cluster box per group of step members
    std::vector<std::uint16_t> index;
    std::vector<longBBox> boxes;

    // Without clusterBoxes only the grouping is wanted: clusters not yet built are left so,
    // and the groups are those that building them would give.
    void Init(SubPath& s, bool clusterBoxes = true) {
        sp = &s;
        index.clear();
        boxes.clear();
        count = s.members.Filled();
        if (!clusterBoxes && (s.state & SP_CLUSTERS_INVALID) && count) {
            step = SubPath::ClusterStep(
                count, s.clusterCount ? s.clusterCount : SubPath::DefaultClusterCount);
            groupsUsable = false;
            return;
        }
        s.Validate(SP_CLUSTERS_INVALID);
        step = s.clusters.Filled() && s.clusterStep ? s.clusterStep : count;
        if (!step) step = 1;
        groupsUsable = s.clusters.Filled() && s.clusterStep &&
                       s.clusters.Filled() == (count + step - 1) / step;
    }

    // The union of the cluster boxes.
    longBBox Extent() const {
        longBBox e = sp->clusters[0];
        for (const longBBox& c : sp->clusters) {
            e.left = std::min(e.left, c.left);
            e.right = std::max(e.right, c.right);
            e.bottom = std::min(e.bottom, c.bottom);
            e.top = std::max(e.top, c.top);
        }
        return e;
    }

    void FillGroup(unsigned first, const UnitMap& map) {
        unsigned last = std::min(first + step, count);
        LPathMember l;
        longBBox box;
        for (unsigned i = first; i < last; ++i) {
            map.Fill(l, sp->members[std::uint16_t(i)]);
            l.CtrlBBox(box);
            index.push_back(std::uint16_t(i));
            boxes.push_back(box);
        }
    }

    // Every member, or with the other side's cluster extent only the groups whose clusters
    // may come within tol of it in the map's units.
    void Fill(const UnitMap& map, std::int64_t tol, const longBBox* other) {
        index.reserve(count);
        boxes.reserve(count);
        ClusterAxis ax{std::int64_t(map.OriginX())}, ay{std::int64_t(map.OriginY())};
        std::int64_t olx = 0, ohx = 0, oly = 0, ohy = 0;
        bool byX = false, byY = false;
        if (other && groupsUsable) {
            olx = other->left, ohx = other->right, oly = other->bottom, ohy = other->top;
            byX = ax.Range(olx, ohx);
            byY = ay.Range(oly, ohy);
        }
        for (unsigned g = 0, first = 0; first < count; ++g, first += step) {
            if (byX || byY) {
                const longBBox& c = sp->clusters[std::uint16_t(g)];
                std::int64_t lx = c.left, hx = c.right, ly = c.bottom, hy = c.top;
                if (byX && ax.Range(lx, hx) && (lx - tol - 2 > ohx || olx - tol - 2 > hx)) continue;
                if (byY && ay.Range(ly, hy) && (ly - tol - 2 > ohy || oly - tol - 2 > hy)) continue;
            }
            FillGroup(first, map);
        }
    }

    std::int32_t Low(std::size_t k, bool x) const { return x ? boxes[k].left : boxes[k].bottom; }
    std::int32_t High(std::size_t k, bool x) const { return x ? boxes[k].right : boxes[k].top; }
};

// The pairs (position on side a, position on side b) whose boxes overlap within tol, found by
// sweeping along one axis; with one side, each unordered pair once.
struct SweepItem {
    std::int32_t lo;
    std::uint32_t pos; // high bit: side b
};

// A box the sweep has passed, kept with its far edge so that a scan of the active boxes reads
// one array.
struct ActiveBox {
    std::int64_t reach; // far edge along the sweep, grown by tol
    longBBox box;
    std::uint32_t pos;
};

// The buffers of one search, kept by each thread between searches so that their memory is
// reused; a search started from within another gets buffers of its own.
struct Workspace {
    Side a, b;
    std::vector<SweepItem> items;
    std::vector<ActiveBox> activeA, activeB;
    std::vector<std::uint32_t> first, fill, groups;
    std::vector<std::uint64_t> pairs, spread;
    bool busy = false;
};

class BorrowedWorkspace {
public:
    BorrowedWorkspace() : kept_(Kept()) {
        if (kept_.busy) {
            own_ = std::make_unique<Workspace>();
            ws_ = own_.get();
        } else {
            kept_.busy = true;
            ws_ = &kept_;
        }
    }
    ~BorrowedWorkspace() {
        if (ws_ == &kept_) kept_.busy = false;
    }
    BorrowedWorkspace(const BorrowedWorkspace&) = delete;
    BorrowedWorkspace& operator=(const BorrowedWorkspace&) = delete;
    Workspace& operator*() const { return *ws_; }

private:
    static Workspace& Kept() {
        thread_local Workspace kept;
        return kept;
    }
    Workspace& kept_;
    std::unique_ptr<Workspace> own_;
    Workspace* ws_;
};

template <class Found>
void Sweep(Workspace& ws, const Side& a, const Side* b, std::int64_t tol, bool alongX,
           Found&& found) {
    using Item = SweepItem;
    constexpr std::uint32_t SideB = 0x80000000u;
    std::vector<Item>& items = ws.items;
    items.clear();
    items.reserve(a.boxes.size() + (b ? b->boxes.size() : 0));
    for (std::size_t k = 0; k < a.boxes.size(); ++k)
        items.push_back({a.Low(k, alongX), std::uint32_t(k)});
    if (b)
        for (std::size_t k = 0; k < b->boxes.size(); ++k)
            items.push_back({b->Low(k, alongX), std::uint32_t(k) | SideB});
    std::sort(items.begin(), items.end(), [](const Item& x, const Item& y) {
        return x.lo != y.lo ? x.lo < y.lo : x.pos < y.pos;
    });
    // Boxes already passed whose far edge (grown by tol) still reaches the sweep position; one
    // pass drops those left behind and tests the others.
    std::vector<ActiveBox>&activeA = ws.activeA, &activeB = ws.activeB;
    activeA.clear();
    activeB.clear();
    for (const Item& it : items) {
        bool onB = b && (it.pos & SideB);
        std::uint32_t pos = it.pos & ~SideB;
        const Side& mine = onB ? *b : a;
        std::vector<ActiveBox>& other = b ? (onB ? activeA : activeB) : activeA;
        const longBBox& box = mine.boxes[pos];
        std::int64_t at = it.lo;
        for (std::size_t k = 0; k < other.size();) {
            const ActiveBox& q = other[k];
            if (q.reach < at) {
                other[k] = other.back();
                other.pop_back();
                continue;
            }
            if (Overlap(box, q.box, tol)) {
                if (onB) {
                    found(q.pos, pos);
                } else {
                    found(pos, q.pos);
                }
            }
            ++k;
        }
        (onB ? activeB : activeA).push_back({std::int64_t(mine.High(pos, alongX)) + tol, box, pos});
    }
}

// Sorts the keys (group of i, group of j, i, j) ascending. Many keys are first spread by i
// (whose group follows from it), so that only the keys of one group of i need ordering.
inline void SortKeys(Workspace& ws, std::vector<std::uint64_t>& keys, unsigned stepA) {
    constexpr std::size_t FewKeys = 256;
    if (keys.size() < FewKeys) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    unsigned lo = 0xFFFF, hi = 0;
    for (std::uint64_t k : keys) {
        unsigned i = unsigned(k >> 16 & 0xFFFF);
        lo = std::min(lo, i);
        hi = std::max(hi, i);
    }
    if (hi - lo > 4 * keys.size()) {
        std::sort(keys.begin(), keys.end());
        return;
    }
    std::vector<std::uint32_t>& first = ws.first;
    first.assign(hi - lo + 2, 0);
    for (std::uint64_t k : keys)
        ++first[(k >> 16 & 0xFFFF) - lo + 1];
    for (std::size_t k = 1; k < first.size(); ++k)
        first[k] += first[k - 1];
    std::vector<std::uint64_t>& spread = ws.spread;
    spread.resize(keys.size());
    std::vector<std::uint32_t>& fill = ws.fill;
    fill.assign(first.begin(), first.end() - 1);
    for (std::uint64_t k : keys)
        spread[fill[(k >> 16 & 0xFFFF) - lo]++] = k;
    // One group of i after the other: each i's keys by j, then the group's keys by j's group,
    // keeping that order (counted out when j's groups span few values).
    std::vector<std::uint32_t>& groups = ws.groups;
    for (unsigned i = lo; i <= hi;) {
        unsigned end = std::min(hi + 1, (i / stepA + 1) * stepA);
        std::uint32_t from = first[i - lo], to = first[end - lo];
        if (to - from < 2) {
            std::copy(spread.begin() + from, spread.begin() + to, keys.begin() + from);
            i = end;
            continue;
        }
        std::uint64_t* k = spread.data();
        unsigned low = 0xFFFF, high = 0;
        for (unsigned ii = i; ii < end; ++ii) {
            std::uint32_t b0 = first[ii - lo], b1 = first[ii - lo + 1];
            if (b1 - b0 > 32) {
                std::sort(k + b0, k + b1);
                continue;
            }
            // Few keys: an insertion sort.
            for (std::uint32_t a = b0 + 1; a < b1; ++a) {
                std::uint64_t v = k[a];
                std::uint32_t b = a;
                for (; b > b0 && v < k[b - 1]; --b)
                    k[b] = k[b - 1];
                k[b] = v;
            }
        }
        for (std::uint32_t a = from; a < to; ++a) {
            unsigned g = unsigned(k[a] >> 32 & 0xFFFF);
            low = std::min(low, g);
            high = std::max(high, g);
        }
        if (high - low > 4 * (to - from)) {
            std::sort(spread.begin() + from, spread.begin() + to);
            std::copy(spread.begin() + from, spread.begin() + to, keys.begin() + from);
        } else {
            groups.assign(high - low + 2, from);
            for (std::uint32_t a = from; a < to; ++a)
                ++groups[(k[a] >> 32 & 0xFFFF) - low + 1];
            for (std::size_t g = 1; g < groups.size(); ++g)
                groups[g] += groups[g - 1] - from;
            for (std::uint32_t a = from; a < to; ++a)
                keys[groups[(k[a] >> 32 & 0xFFFF) - low]++] = k[a];
        }
        i = end;
    }
}

} // namespace memberpairs

// visit(i, j) with i a member index of a and j one of b, for every pair whose boxes overlap
// within tol, in the order of (i's group, j's group, i, j). Only the members in clusters that
// may come near the other sub-path get boxes, and the pairs are found by a sweep. With
// ascending and a sub-path paired with itself, only the pairs with i < j, in the same order.
template <class Visit>
void VisitMemberPairs(SubPath& a, SubPath& b, const UnitMap& map, std::int64_t tol, Visit&& visit,
                      bool ascending = false) {
    std::uint16_t na = a.members.Filled(), nb = b.members.Filled();
    if (!na || !nb) return;
    bool self = &a == &b;
    memberpairs::BorrowedWorkspace borrowed;
    memberpairs::Workspace& ws = *borrowed;
    memberpairs::Side &sa = ws.a, &sb = ws.b;
    // With itself the cluster boxes prune nothing.
    sa.Init(a, !self);
    if (self) {
        sa.Fill(map, tol, nullptr);
    } else {
        sb.Init(b);
        // Cluster units are comparable only at the map's own scale.
        bool comparable = sa.groupsUsable && sb.groupsUsable &&
                          a.ScaleFactor() == b.ScaleFactor() &&
                          double(a.ScaleFactor()) == map.factor;
        longBBox ea, eb;
        if (comparable) {
            ea = sa.Extent();
            eb = sb.Extent();
        }
        sa.Fill(map, tol, comparable ? &eb : nullptr);
        if (sa.boxes.empty()) return;
        sb.Fill(map, tol, comparable ? &ea : nullptr);
        if (sb.boxes.empty()) return;
    }

    // Along the axis on which the boxes spread more.
    const memberpairs::Side& other = self ? sa : sb;
    std::int64_t lx = INT64_MAX, hx = INT64_MIN, ly = INT64_MAX, hy = INT64_MIN;
    for (const memberpairs::Side* s : {static_cast<const memberpairs::Side*>(&sa), &other})
        for (const longBBox& box : s->boxes) {
            lx = std::min<std::int64_t>(lx, box.left);
            hx = std::max<std::int64_t>(hx, box.right);
            ly = std::min<std::int64_t>(ly, box.bottom);
            hy = std::max<std::int64_t>(hy, box.top);
        }
    bool alongX = hx - lx >= hy - ly;

    // (group of i, group of j, i, j) in 16 bits each, so that sorting gives the visiting order.
    std::vector<std::uint64_t>& pairs = ws.pairs;
    pairs.clear();
    auto key = [&](unsigned i, unsigned j) {
        return std::uint64_t(i / sa.step) << 48 | std::uint64_t(j / other.step) << 32 |
               std::uint64_t(i) << 16 | j;
    };
    memberpairs::Sweep(ws, sa, self ? nullptr : &sb, tol, alongX,
                       [&](std::uint32_t p, std::uint32_t q) {
                           unsigned i = sa.index[p], j = other.index[q];
                           if (self) {
                               if (i == j) return;
                               if (ascending) {
                                   pairs.push_back(i < j ? key(i, j) : key(j, i));
                                   return;
                               }
                               pairs.push_back(key(j, i));
                           }
                           pairs.push_back(key(i, j));
                       });
    memberpairs::SortKeys(ws, pairs, sa.step);
    for (std::uint64_t k : pairs)
        visit(unsigned(k >> 16 & 0xFFFF), unsigned(k & 0xFFFF));
}

// Sets the overlay bits of the members of p and q that coincide (IsEqual within tol): 0x1 in
// the same direction, 0x2 in opposite directions. p and q may be the same sub-path.
void MarkEqualMembers(SubPath& p, SubPath& q, float tol);
