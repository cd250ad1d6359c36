// Rectangles and arcs built into a path.

#include <cmath>
#include <numbers>

#include "pathkit/Path.h"

void BuildBox(const floatBBox& box, Path& path) {
    path.subPaths.Destroy();
    path.MoveTo(floatPoint(box.left, box.bottom));
    path.Append(box.right, box.bottom);
    path.Append(box.right, box.top);
    path.Append(box.left, box.top);
    path.Append(box.left, box.bottom);
    path.ClosePath();
    path.Prepare();
}

void Arc(Path& path, float cx, float cy, float r, double a0, double a1, float ys) {
    double sweep = a1 - a0;
    if (!std::isfinite(sweep) || std::fabs(sweep) < 0.0001) return;
    // One cubic per 45 degrees or part of it. The slack keeps a quarter circle given in float
    // radians at two cubics.
    double pieces = std::ceil(std::fabs(sweep) * 4 / std::numbers::pi - 1e-6);
    if (pieces > PathMemberEDynArr::DefaultLimit) throw PathMemberEDynArr::LimitCheck();
    int n = int(pieces);
    double t = sweep / n;
    double rs = double(r) * ys;

    double theta = a0;
    double px = cx + r * std::cos(theta), py = cy + rs * std::sin(theta);
    path.Append(path.building.members.Filled() ? PC_LINETO : PC_MOVETO, float(px), float(py));
    for (int i = 0; i < n; ++i) {
        double next = theta + t;
        double qx = cx + r * std::cos(next), qy = cy + rs * std::sin(next);
        double c1x = px - t * r * std::sin(theta) / 3, c1y = py + t * rs * std::cos(theta) / 3;
        double c2x = qx + t * r * std::sin(next) / 3, c2y = qy - t * rs * std::cos(next) / 3;
        path.Append(float(c1x), float(c1y), float(c2x), float(c2y), float(qx), float(qy));
        px = qx;
        py = qy;
        theta = next;
    }
}
