// Hit test and inside tests over all contours of a path.

#include <cmath>
#include <cstdint>

#include "pathkit/Path.h"

namespace {

// The union of the sub-paths' control boxes, validated first; false without sub-paths. Formed
// here rather than taken from the path, whose box is only as fresh as its last validation.
bool ControlBox(Path& path, unsigned bits, floatBBox& box) {
    path.Validate(bits | SP_CTRLBOX_INVALID);
    if (!path.subPaths.Filled()) return false;
    box = path.subPaths[0].ctrlBox;
    for (const SubPath& sp : path.subPaths)
        box += sp.ctrlBox;
    return true;
}

} // namespace

int Path::IsBeside(const floatPoint& p, float tol, unsigned& subPath, unsigned& member,
                   std::uint32_t& param) {
    floatBBox box;
    if (!ControlBox(*this, 0, box) || !box.IsInside(p, tol)) return 0;
    for (std::uint16_t i = 0; i < subPaths.Filled(); ++i) {
        if (subPaths[i].IsBeside(p, tol, member, param)) {
            subPath = i;
            return 1;
        }
    }
    return 0;
}

int Path::Inside(const floatPoint& p) {
    floatBBox box;
    if (!ControlBox(*this, 0, box) || !box.IsInside(p, 0)) return 0;
    int n = 0;
    for (SubPath& sp : subPaths)
        if (sp.IsClosed() && sp.ctrlBox.IsInside(p, 0) && sp.IsInside(p, 0)) ++n;
    return n;
}

int Path::QuickInside(const floatPoint& p) {
    floatBBox box;
    if (!ControlBox(*this, 0, box) || !box.IsInside(p, 0)) return 0;
    for (SubPath& sp : subPaths)
        if (sp.IsClosed() && sp.ctrlBox.IsInside(p, 0) && sp.IsInside(p, 0)) return sp.depth + 1;
    return 0;
}

// Every sub-path must see the same ray, so "towards the nearest edge" is settled here on the
// path's box.
int Path::SimpleInside(const floatPoint& p, int direction, int rule) {
    floatBBox box;
    if (!ControlBox(*this, SP_ALL_INVALID, box)) return 0;
    if (direction < 0 || direction > 3) {
        double d[4] = {double(p.x) - box.left, double(p.y) - box.bottom, double(box.right) - p.x,
                       double(box.top) - p.y};
        direction = 0;
        for (int k = 1; k < 4; ++k)
            if (d[k] < d[direction]) direction = k;
    }
    long sum = 0;
    for (SubPath& sp : subPaths)
        sum += sp.GetCrossings(p, direction, rule);
    return rule == 1 ? sum != 0 : (sum & 1) != 0;
}

int Path::IsInside(const floatPoint& p, int rule) {
    floatBBox box;
    if (!ControlBox(*this, SP_ALL_INVALID, box)) return 0;
    if (rule == 0 && !box.IsInside(p, 0)) return 0;
    int answer[4] = {-1, -1, -1, -1};
    auto at = [&](int d) {
        if (answer[d] < 0) answer[d] = SimpleInside(p, d, rule);
        return answer[d];
    };
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (i != j && at(i) == at(j)) return answer[i];
    return 0;
}
