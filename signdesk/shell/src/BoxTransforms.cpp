#include "shell/BoxTransforms.h"

#include <algorithm>
#include <cmath>

#include "shell/CLinearSystem.h"
#include "win32/DeviceRange.h"

void TransformBBox(const floatTMatrix& m, floatBBox& box) {
    float xs[4] = {box.left, box.right, box.right, box.left};
    float ys[4] = {box.bottom, box.bottom, box.top, box.top};
    for (int i = 0; i < 4; ++i) m.Transform(xs[i], ys[i]);
    box.left = *std::min_element(xs, xs + 4);
    box.right = *std::max_element(xs, xs + 4);
    box.bottom = *std::min_element(ys, ys + 4);
    box.top = *std::max_element(ys, ys + 4);
}

POINT TransformToPoint(const floatTMatrix& m, const floatPoint& p) {
    float x = p.x, y = p.y;
    m.Transform(x, y);
    POINT r;
    r.x = SdDeviceCoord(std::floor(static_cast<double>(x) + 0.5));
    r.y = SdDeviceCoord(std::floor(static_cast<double>(y) + 0.5));
    return r;
}

floatBBox TransformRect(const floatTMatrix& m, const RECT& r) {
    floatBBox box;
    box.left = static_cast<float>(std::min(r.left, r.right));
    box.right = static_cast<float>(std::max(r.left, r.right));
    box.bottom = static_cast<float>(std::min(r.top, r.bottom));
    box.top = static_cast<float>(std::max(r.top, r.bottom));
    TransformBBox(m, box);
    return box;
}

BOOL MatrixFromThreePoints(floatTMatrix& m, const floatPoint& s1, const floatPoint& s2,
                           const floatPoint& s3, const floatPoint& d1, const floatPoint& d2,
                           const floatPoint& d3) {
    // Unknowns a, b, c, d, e, f; x' = a*x + c*y + e, y' = b*x + d*y + f.
    CLinearSystem sys(6);
    const floatPoint* src[3] = {&s1, &s2, &s3};
    const floatPoint* dst[3] = {&d1, &d2, &d3};
    for (int i = 0; i < 3; ++i) {
        const int rx = 2 * i, ry = 2 * i + 1;
        sys.At(rx, 0) = src[i]->x;
        sys.At(rx, 2) = src[i]->y;
        sys.At(rx, 4) = 1.0;
        sys.Rhs(rx) = dst[i]->x;
        sys.At(ry, 1) = src[i]->x;
        sys.At(ry, 3) = src[i]->y;
        sys.At(ry, 5) = 1.0;
        sys.Rhs(ry) = dst[i]->y;
    }
    if (!sys.Solve()) return FALSE;
    m.Init(static_cast<float>(sys.Solution(0)), static_cast<float>(sys.Solution(1)),
           static_cast<float>(sys.Solution(2)), static_cast<float>(sys.Solution(3)),
           static_cast<float>(sys.Solution(4)), static_cast<float>(sys.Solution(5)));
    return TRUE;
}
