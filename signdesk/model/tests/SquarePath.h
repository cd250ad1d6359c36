#pragma once
// A closed square for the geometry tests, counter-clockwise from its lower left corner.

#include "pathkit/Path.h"

inline void AddSquare(Path& p, float x0, float y0, float s) {
    p.MoveTo({x0, y0});
    p.LineTo({x0 + s, y0});
    p.LineTo({x0 + s, y0 + s});
    p.LineTo({x0, y0 + s});
    p.LineTo({x0, y0});
    p.ClosePath();
}
