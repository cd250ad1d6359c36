#include "pathkit/SubPath.h"

#include <utility>

#include "pathkit/LPathMember.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"

namespace {

constexpr std::uint16_t MemberGrowStep = 20;
constexpr std::uint16_t IntersectionGrowStep = 50;
constexpr std::uint16_t ClusterGrowStep = 1;

floatPoint Transformed(const floatTMatrix& m, floatPoint p) {
    m.Transform(p.x, p.y);
    return p;
}

} // namespace

SubPath::SubPath(float a)
    : members(MemberGrowStep), accuracy(Path::ValidAccuracy(a)),
      intersections(IntersectionGrowStep), clusters(ClusterGrowStep), clusterStep(0),
      clusterCount(0), state(SP_ALL_INVALID), depth(0), rotation(0) {}

SubPath::SubPath(const SubPath& other)
    : members(MemberGrowStep), ctrlBox(other.ctrlBox), accBox(other.accBox),
      accuracy(other.accuracy), intersections(IntersectionGrowStep), clusters(ClusterGrowStep),
      clusterStep(other.clusterStep), clusterCount(other.clusterCount),
      state(std::uint16_t(other.state | SP_CLUSTERS_INVALID)), depth(other.depth),
      rotation(other.rotation) {
    members += other.members;
}

SubPath::SubPath(SubPath&& other) noexcept
    : members(std::move(other.members)), ctrlBox(other.ctrlBox), accBox(other.accBox),
      accuracy(other.accuracy), intersections(std::move(other.intersections)),
      clusters(std::move(other.clusters)), clusterStep(other.clusterStep),
      clusterCount(other.clusterCount), state(other.state), depth(other.depth),
      rotation(other.rotation) {}

SubPath& SubPath::operator=(SubPath& other) noexcept {
    if (this == &other) return *this;
    members = other.members;
    ctrlBox = other.ctrlBox;
    accBox = other.accBox;
    accuracy = other.accuracy;
    intersections = other.intersections;
    clusters = other.clusters;
    clusterStep = other.clusterStep;
    clusterCount = other.clusterCount;
    state = other.state;
    depth = other.depth;
    rotation = other.rotation;
    return *this;
}

SubPath& SubPath::operator=(SubPath&& other) noexcept {
    return *this = other;
}

bool SubPath::IsClosed() const {
    const PathMember* last = members.last();
    return last && members[0].start == last->end;
}

void SubPath::Empty() {
    members.Empty();
    intersections.Empty();
    clusters.Empty();
}

void SubPath::Destroy() {
    members.Destroy();
    intersections.Destroy();
    clusters.Destroy();
}

void SubPath::Concat(const PathMemberDynArr& other) {
    members += other;
    Invalidate(SP_ALL_INVALID);
}

void SubPath::Rotate(int n) {
    members.Rotate(n);
    Invalidate(SP_CLUSTERS_INVALID);
}

void SubPath::Transform(const floatTMatrix& m) {
    std::uint16_t n = members.Filled();
    if (!n) return;
    // The last end is transformed from its own value, unless it closes the sub-path: then it
    // takes the first start, as every other end takes the next start. A point is transformed
    // once, so joints stay joints however the compiler rounds.
    const bool closesUp = members[n - 1].end == members[0].start;
    floatPoint lastEnd = closesUp ? floatPoint() : Transformed(m, members[n - 1].end);
    for (std::uint16_t i = 0; i < n; ++i) {
        PathMember& pm = members[i];
        floatPoint s = Transformed(m, pm.start);
        pm.start = s;
        if (i > 0) members[i - 1].end = s;
        if (pm.IsCurve()) {
            pm.ctrl1 = Transformed(m, pm.ctrl1);
            pm.ctrl2 = Transformed(m, pm.ctrl2);
        }
    }
    members[n - 1].end = closesUp ? members[0].start : lastEnd;
    Invalidate(SP_ALL_INVALID);
}

void SubPath::Reverse() {
    std::uint16_t n = members.Filled();
    if (n > 1) members.Reverse(0, std::uint16_t(n - 1));
    for (PathMember& pm : members)
        pm.Reverse();
    rotation = std::int8_t(-rotation);
    state = std::uint16_t(state & ~SP_KNOWN);
    RebuildClusters();
}

void SubPath::MakeContinuous() {
    std::uint16_t n = members.Filled();
    if (n < 2) return;
    for (std::uint16_t i = 0; i + 1 < n; ++i)
        members[i].end = members[i + 1].start;
    Invalidate(SP_CLUSTERS_INVALID);
}

unsigned SubPath::Validate(unsigned bits) {
    unsigned todo = bits & state & SP_ALL_INVALID;
    if (todo & SP_ACCBOX_INVALID) AccBBox();
    if (todo & SP_CTRLBOX_INVALID) CtrlBBox();
    if (todo & SP_CLUSTERS_INVALID)
        BuildClusters(clusterCount ? clusterCount : DefaultClusterCount);
    return todo;
}

void SubPath::CtrlBBox() {
    std::uint16_t n = members.Filled();
    if (n) {
        members[0].CtrlBBox(ctrlBox);
        floatBBox b;
        for (std::uint16_t i = 1; i < n; ++i) {
            members[i].CtrlBBox(b);
            ctrlBox += b;
        }
    }
    state = std::uint16_t(state & ~SP_CTRLBOX_INVALID);
}

void SubPath::AccBBox() {
    std::uint16_t n = members.Filled();
    if (n) {
        members[0].AccBBox(accBox);
        floatBBox b;
        for (std::uint16_t i = 1; i < n; ++i) {
            const PathMember& pm = members[i];
            pm.CtrlBBox(b);
            // A curve's exact box lies within its control box: compute it only when that
            // sticks out of what was found so far.
            if (pm.IsCurve()) {
                if (accBox.IsInside(b)) continue;
                pm.AccBBox(b);
            }
            accBox += b;
        }
    }
    state = std::uint16_t(state & ~SP_ACCBOX_INVALID);
}

void SubPath::BuildClusters(unsigned n) {
    clusters.Destroy();
    std::uint16_t count = members.Filled();
    if (count && n) {
        clusterCount = std::uint16_t(n > 0xFFFF ? 0xFFFF : n);
        clusterStep = std::uint16_t(ClusterStep(count, n));
        // Reserved in at most two allocations.
        clusters.SetGrowStep(std::uint16_t(count / clusterStep));
        double factor = ScaleFactor();
        LPathMember l;
        longBBox groupBox, memberBox;
        for (unsigned first = 0; first < count; first += clusterStep) {
            unsigned last = first + clusterStep;
            if (last > count) last = count;
            for (unsigned i = first; i < last; ++i) {
                l.Fill(members[std::uint16_t(i)], factor);
                l.CtrlBBox(memberBox);
                if (i == first) {
                    groupBox = memberBox;
                } else {
                    groupBox += memberBox;
                }
            }
            clusters.Append(groupBox);
        }
    }
    state = std::uint16_t(state & ~SP_CLUSTERS_INVALID);
}

unsigned SubPath::ClusterStep(unsigned count, unsigned n) {
    unsigned step = count / n;
    return step ? step : 1;
}

void SubPath::SetAccuracy(float a) {
    accuracy = Path::ValidAccuracy(a);
    Invalidate(SP_ACCBOX_INVALID | SP_CLUSTERS_INVALID);
}

float SubPath::ScaleFactor() const {
    return 4 / Path::ValidAccuracy(accuracy);
}

void SubPath::SetPMState(std::uint16_t mask, std::uint16_t value, std::uint16_t testMask,
                         std::uint16_t testValue) {
    for (PathMember& pm : members) {
        if ((pm.flags & testMask) != testValue) continue;
        std::uint16_t f = std::uint16_t((pm.flags & ~mask) | (mask & value));
        if (f != pm.flags) f |= PM_CHANGED;
        pm.flags = f;
    }
}

void SubPath::SelectPM(std::uint16_t testMask, std::uint16_t testValue) {
    for (PathMember& pm : members)
        if ((pm.flags & testMask) == testValue) pm.flags |= PM_SELECTED;
}

void SubPath::UnSelectPM(std::uint16_t testMask, std::uint16_t testValue) {
    for (PathMember& pm : members)
        if ((pm.flags & testMask) == testValue) pm.flags &= std::uint16_t(~PM_SELECTED);
}

unsigned SubPath::Count(std::uint16_t testMask, std::uint16_t testValue) const {
    unsigned n = 0;
    for (const PathMember& pm : members)
        if ((pm.flags & testMask) == testValue) ++n;
    return n;
}
