#include "pathkit/FragmentArray.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <new>
#include <queue>
#include <vector>

#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"
#include "pathkit/SubPath.h"

namespace {

// One end of a fragment in the junction graph.
struct Edge {
    floatPoint point;
    std::uint16_t fragment;
    bool atEnd;
};

// A junction: equal end points (exact comparison), as a run of the sorted edge list.
struct Node {
    floatPoint point;
    std::uint32_t firstEdge;
    std::uint32_t count;
};

// Two ends per fragment: a full fragment array has more ends than a library array holds.
using EdgeList = std::vector<Edge>;
using NodeList = std::vector<Node>;

// y first, then x, ascending; NaN after every number, so that the order is a strict weak one.
int CompareCoordinate(float a, float b) {
    bool an = std::isnan(a), bn = std::isnan(b);
    if (an || bn) return int(an) - int(bn);
    return a < b ? -1 : (a > b ? 1 : 0);
}

int ComparePoints(const floatPoint& a, const floatPoint& b) {
    int c = CompareCoordinate(a.y, b.y);
    return c ? c : CompareCoordinate(a.x, b.x);
}

// The member through which a chain enters the fragment, in the chain's direction.
PathMember EnteringMember(const Fragment& f, bool atEnd) {
    PathMember m = atEnd ? *f.EndPathMember() : *f.StartPathMember();
    if (atEnd) m.Reverse();
    return m;
}

// The member through which a chain leaves the fragment, in the chain's direction.
PathMember LeavingMember(const Fragment& f, bool backwards) {
    PathMember m = backwards ? *f.StartPathMember() : *f.EndPathMember();
    if (backwards) m.Reverse();
    return m;
}

class Arranger {
public:
    Arranger(FragmentArray& open, FragmentArray& result) : open(open), result(result) {}

    // Builds the graph; false when some junction has an odd number of ends.
    bool Build() {
        std::uint16_t n = open.Filled();
        edges.reserve(2 * std::size_t(n));
        for (std::uint16_t i = 0; i < n; ++i) {
            edges.push_back(Edge{open[i].start(), i, false});
            edges.push_back(Edge{open[i].end(), i, true});
        }
        std::stable_sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) {
            return ComparePoints(a.point, b.point) < 0;
        });
        endNode.resize(edges.size());
        bool even = true;
        for (std::uint32_t i = 0; i < edges.size();) {
            std::uint32_t j = i + 1;
            while (j < edges.size() && edges[j].point == edges[i].point)
                ++j;
            for (std::uint32_t e = i; e < j; ++e)
                endNode[2 * std::size_t(edges[e].fragment) + edges[e].atEnd] = nodes.size();
            nodes.push_back(Node{edges[i].point, i, j - i});
            if ((j - i) & 1) even = false;
            i = j;
        }
        return even;
    }

    // Chains from dangling ends: junctions where exactly one end is left unused, the lowest
    // junction first. A chain may leave such a junction behind it; the junctions at the ends
    // of the fragments it took are looked at again.
    void ChainFromDanglingEnds() {
        std::priority_queue<std::uint32_t, std::vector<std::uint32_t>, std::greater<>> queue;
        for (std::uint32_t k = 0; k < nodes.size(); ++k)
            queue.push(k);
        while (!queue.empty()) {
            std::uint32_t k = queue.top();
            queue.pop();
            long found = -1;
            int unused = 0;
            for (std::uint32_t e = 0; e < nodes[k].count; ++e) {
                std::uint32_t edge = nodes[k].firstEdge + e;
                if (!open[edges[edge].fragment].IsProcessed()) ++unused, found = edge;
            }
            if (unused != 1) continue;
            taken.clear();
            Chain(edges[found].fragment, edges[found].atEnd);
            for (std::uint16_t f : taken) {
                queue.push(endNode[2 * std::size_t(f)]);
                queue.push(endNode[2 * std::size_t(f) + 1]);
            }
        }
    }

    // Chains from the leftmost unused fragment (then the lowest), forwards.
    void ChainTheRest() {
        std::vector<std::uint16_t> order(open.Filled());
        for (std::uint16_t i = 0; i < open.Filled(); ++i)
            order[i] = i;
        // NaN boxes sort last; ties keep the array order.
        std::stable_sort(order.begin(), order.end(), [this](std::uint16_t a, std::uint16_t b) {
            const floatBBox &ba = open[a].box, &bb = open[b].box;
            int c = CompareCoordinate(ba.left, bb.left);
            return c ? c < 0 : CompareCoordinate(ba.bottom, bb.bottom) < 0;
        });
        for (std::uint16_t i : order)
            if (!open[i].IsProcessed()) Chain(i, false);
    }

private:
    // The junction at the start (end: at the end) of a fragment: the one whose point equals
    // it, none for a point that is not a number.
    long NodeAt(std::uint16_t fragment, bool end) const {
        const Fragment& f = open[fragment];
        floatPoint p = end ? f.end() : f.start();
        if (std::isnan(p.x) || std::isnan(p.y)) return -1;
        return long(endNode[2 * std::size_t(fragment) + end]);
    }

    void Take(std::uint16_t index, bool backwards, std::uint8_t extra) {
        Fragment& f = open[index];
        f.fragmentFlags |= std::uint8_t(FR_PROCESSED | extra | (backwards ? FR_TURNING : 0));
        Fragment* copy = result.Append(f);
        // The copy is output later; it is processed only once copied.
        copy->fragmentFlags &= std::uint8_t(~FR_PROCESSED);
        taken.push_back(index);
    }

    // The chain turns the way its first fragment turns (seen in the direction it is used): at
    // each junction it prefers the smallest turn when that is counter-clockwise or straight,
    // the largest otherwise.
    void Chain(std::uint16_t first, bool backwards) {
        Take(first, backwards, FR_STARTING);
        const Fragment& f = open[first];
        double spin = f.Spin();
        bool preferSmallest = (backwards ? -spin : spin) >= 0;
        floatPoint chainStart = backwards ? f.end() : f.start();
        floatPoint at = backwards ? f.start() : f.end();
        std::uint16_t atFragment = first;
        bool atEnd = !backwards;
        PathMember last = LeavingMember(f, backwards);
        while (!(at == chainStart)) {
            long node = NodeAt(atFragment, atEnd);
            if (node < 0) return;
            const Node& nd = nodes[node];
            long best = -1;
            double bestAngle = 0;
            for (std::uint32_t e = 0; e < nd.count; ++e) {
                const Edge& edge = edges[nd.firstEdge + e];
                const Fragment& g = open[edge.fragment];
                if (g.IsProcessed()) continue;
                double a = Angle(last, EnteringMember(g, edge.atEnd));
                if (best < 0 || (preferSmallest ? a < bestAngle : a > bestAngle)) {
                    best = nd.firstEdge + e;
                    bestAngle = a;
                }
            }
            if (best < 0) return;
            const Edge& chosen = edges[best];
            Take(chosen.fragment, chosen.atEnd, 0);
            const Fragment& g = open[chosen.fragment];
            at = chosen.atEnd ? g.start() : g.end();
            atFragment = chosen.fragment;
            atEnd = !chosen.atEnd;
            last = LeavingMember(g, chosen.atEnd);
        }
    }

    FragmentArray& open;
    FragmentArray& result;
    EdgeList edges;
    NodeList nodes;
    std::vector<std::uint32_t> endNode; // the node of each fragment's start and end
    std::vector<std::uint16_t> taken;   // fragments taken by the last chain
};
} // namespace

FragmentArray::FragmentArray(const FragmentArray& other) : FragmentDynArr(GrowStep, DefaultLimit) {
    *this += other;
}

void FragmentArray::FillWithSelected(SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    if (!n) return;
    PathMember* m = sp.members.first();
    m[0].flags &= std::uint16_t(~PM_INSERTED);
    for (std::uint16_t i = 0; i < n;) {
        if (!m[i].IsPMSelected()) {
            ++i;
            continue;
        }
        std::uint16_t first = i;
        m[i].flags &= std::uint16_t(~PM_INSERTED);
        for (++i; i < n && m[i].IsPMSelected() && !m[i].IsInserted(); ++i) {
        }
        Append()->Fill(m + first, i - first, sp.accuracy);
    }
}

void FragmentArray::FillWithSelected(Path& path) {
    for (SubPath& sp : path.subPaths)
        FillWithSelected(sp);
}

namespace {

// The fragments FillByInsertions makes of the sub-path.
unsigned RunsByInsertions(SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    const PathMember* m = sp.members.first();
    unsigned runs = n ? 1 : 0;
    for (std::uint16_t i = 1; i < n; ++i)
        runs += m[i].IsInserted();
    return runs;
}

// Makes room for more fragments at once, in the capacity that growing step by step to them
// would reach; past the limit the appends fail as before.
void Reserve(FragmentArray& fragments, unsigned more) {
    unsigned capacity = fragments.Allocated();
    unsigned target = unsigned(fragments.Filled()) + more;
    if (target <= capacity || target > FragmentArray::DefaultLimit ||
        fragments.Filled() != capacity)
        return;
    unsigned step = FragmentArray::GrowStep;
    unsigned add = std::min((target - capacity + step - 1) / step * step,
                            unsigned(FragmentArray::DefaultLimit) - capacity);
    fragments.Grow(std::uint16_t(add));
}

} // namespace

void FragmentArray::FillByInsertions(SubPath& sp) {
    Reserve(*this, RunsByInsertions(sp));
    std::uint16_t n = sp.members.Filled();
    PathMember* m = sp.members.first();
    for (std::uint16_t i = 0; i < n;) {
        std::uint16_t first = i;
        for (++i; i < n && !m[i].IsInserted(); ++i) {
        }
        Append()->Fill(m + first, i - first, sp.accuracy);
    }
}

void FragmentArray::FillByInsertions(Path& path) {
    unsigned runs = 0;
    for (SubPath& sp : path.subPaths)
        runs += RunsByInsertions(sp);
    Reserve(*this, runs);
    for (SubPath& sp : path.subPaths)
        FillByInsertions(sp);
}

int FragmentArray::SearchUnProcessed() const {
    for (std::uint16_t i = 0; i < Filled(); ++i)
        if (!(*this)[i].IsProcessed()) return i;
    return -1;
}

int FragmentArray::SearchStartConnection(const floatPoint* p) const {
    for (std::uint16_t i = 0; i < Filled(); ++i) {
        const Fragment& f = (*this)[i];
        if (!f.IsProcessed() && f.count > 0 && f.start() == *p) return i;
    }
    return -1;
}

int FragmentArray::SearchEndConnection(const floatPoint* p) const {
    for (std::uint16_t i = 0; i < Filled(); ++i) {
        const Fragment& f = (*this)[i];
        if (!f.IsProcessed() && f.count > 0 && f.end() == *p) return i;
    }
    return -1;
}

void FragmentArray::ForwardCopy(int index, Path& path, unsigned& newSubPath) {
    Fragment& f = (*this)[std::uint16_t(index)];
    f.fragmentFlags |= FR_PROCESSED;
    if (f.count <= 0) return;
    if (newSubPath) {
        floatPoint s = f.start();
        path.Append(PC_MOVETO, s.x, s.y);
        newSubPath = 0;
    }
    for (int i = 0; i < f.count; ++i) {
        const PathMember& m = f.members[i];
        if (m.IsCurve()) {
            path.Append(m.ctrl1.x, m.ctrl1.y, m.ctrl2.x, m.ctrl2.y, m.end.x, m.end.y);
        } else {
            path.Append(m.end.x, m.end.y);
        }
    }
}

void FragmentArray::BackCopy(int index, Path& path, unsigned& newSubPath) {
    Fragment& f = (*this)[std::uint16_t(index)];
    f.fragmentFlags |= FR_PROCESSED;
    if (f.count <= 0) return;
    if (newSubPath) {
        floatPoint e = f.end();
        path.Append(PC_MOVETO, e.x, e.y);
        newSubPath = 0;
    }
    for (int i = f.count - 1; i >= 0; --i) {
        const PathMember& m = f.members[i];
        if (m.IsCurve()) {
            path.Append(m.ctrl2.x, m.ctrl2.y, m.ctrl1.x, m.ctrl1.y, m.start.x, m.start.y);
        } else {
            path.Append(m.start.x, m.start.y);
        }
    }
}

int FragmentArray::Arrange() {
    FragmentArray result, open;
    result.Grow(Filled());
    open.Grow(Filled());
    for (Fragment& f : *this) {
        f.fragmentFlags = 0;
        if (f.count <= 0) continue;
        if (f.IsClosed()) {
            result.Append(f)->fragmentFlags = FR_STARTING;
        } else {
            open.Append(f);
        }
    }
    bool even;
    try {
        Arranger arranger(open, result);
        even = arranger.Build();
        if (!even) arranger.ChainFromDanglingEnds();
        arranger.ChainTheRest();
    } catch (const std::bad_alloc&) {
        throw NoMemory();
    }
    Transfer(result);
    return even ? 0 : -1;
}

int FragmentArray::BuildPath(Path& path) {
    int result = Arrange();
    unsigned newSubPath = 0;
    for (std::uint16_t i = 0; i < Filled(); ++i) {
        if ((*this)[i].IsStarting()) {
            newSubPath = 1;
            // Room for the whole chain at once.
            unsigned members = 0;
            for (std::uint16_t k = i; k < Filled() && (k == i || !(*this)[k].IsStarting()); ++k)
                members += unsigned((*this)[k].count);
            path.ClosePath();
            path.building.members.Grow(std::uint16_t(members < 0xFFFE ? members : 0xFFFE));
        }
        if ((*this)[i].IsTurning()) {
            BackCopy(i, path, newSubPath);
        } else {
            ForwardCopy(i, path, newSubPath);
        }
    }
    path.ClosePath();
    return result;
}
