#include "pathkit/PathGroup.h"

namespace {

constexpr std::uint16_t PathGrowStep = 10;

} // namespace

PathGroup::PathGroup() : PathEClassDynArr(PathGrowStep, DefaultLimit) {}

PathGroup& PathGroup::operator=(PathGroup& other) noexcept {
    Transfer(other);
    return *this;
}

PathGroup& PathGroup::operator=(PathGroup&& other) noexcept {
    Transfer(other);
    return *this;
}

PathGroup& PathGroup::operator<<(Path& source) {
    source.Prepare();
    std::uint16_t first = Filled();
    SubPathEClassDynArr& rest = source.subPaths;
    // Prepared order is deepest first with open sub-paths last, so the last sub-path is always
    // a shallowest one that no remaining sub-path can surround.
    while (rest.Filled()) {
        Path island(source.accuracy);
        std::uint16_t last = std::uint16_t(rest.Filled() - 1);
        island.AddSubPath(rest[last]);
        rest.DeleteAt(last, 1);
        SubPath& outer = island.subPaths[0];
        // Only a closed contour has an inside; an open one stands alone.
        if (outer.IsClosed()) {
            int holeDepth = outer.depth + 1;
            for (std::uint16_t i = 0; i < rest.Filled();) {
                SubPath& sp = rest[i];
                if (sp.depth == holeDepth && sp.IsContainedBy(island.subPaths[0])) {
                    island.AddSubPath(sp);
                    rest.DeleteAt(i, 1);
                    continue;
                }
                ++i;
            }
        }
        island.Invalidate(SP_ALL_INVALID);
        island.Prepare();
        *Append() = island;
    }
    if (Filled() > first + 1) Reverse(first, std::uint16_t(Filled() - 1));
    return *this;
}
