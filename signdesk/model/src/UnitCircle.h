#pragma once
// The circle of radius 1 about the origin as four cubic quarter arcs, counter-clockwise from
// (1, 0), shared by round gradients and ellipse shapes.

#include "pathkit/Path.h"

// Control point distance of a quarter circle of radius 1 (0x3F0D6289).
inline constexpr float UnitCircleKappa = 0.5522848f;

inline void AppendUnitCircle(Path& path) {
    constexpr float k = UnitCircleKappa;
    path.Append(PC_MOVETO, 1, 0);
    path.Append(1, k, k, 1, 0, 1);
    path.Append(-k, 1, -1, k, -1, 0);
    path.Append(-1, -k, -k, -1, 0, -1);
    path.Append(k, -1, 1, -k, 1, 0);
    path.ClosePath();
}
