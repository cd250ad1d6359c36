#pragma once
// Area of a path for the geometry tests: shoelace over 64 steps per curve.

#include <cstdint>

#include "pathkit/Path.h"

// Signed areas summed: outer contours count up, holes down.
inline double SignedArea(const Path& path) {
    double sum = 0;
    for (const SubPath& sp : path.subPaths) {
        double twice = 0;
        for (const PathMember& m : sp.members) {
            const int steps = m.IsCurve() ? 64 : 1;
            floatPoint a = m.start;
            for (int k = 1; k <= steps; ++k) {
                floatPoint b;
                m.GetPointAt(std::uint32_t(double(PM_PARAM_ONE) * k / steps), b);
                twice += double(a.x) * b.y - double(b.x) * a.y;
                a = b;
            }
        }
        sum += twice / 2;
    }
    return sum;
}
