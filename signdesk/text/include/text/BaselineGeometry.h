#pragma once
// Arc length along a text's baseline. A closed baseline wraps around; an open one continues
// straight on before its start and after its end, so a free line's tiny segment stands for
// the whole straight line through it.

#include <cstdint>

#include "pathkit/Point.h"

class SubPath;

// The length of the members before `member`, plus: nothing for t = 0, the whole member when
// t has its top bit set, else the member's part from its start to parameter t.
float SubPathLengthTo(const SubPath& sp, int member, std::uint32_t t);

// The point at arc length d and the unit tangent there (zero when the baseline has no
// direction there). A closed baseline of zero length gives its start for every d; no
// members give the origin and (1, 0); a d that is no number gives a point that is none.
void PointAtLength(const SubPath& sp, float d, floatPoint& point, floatPoint& tangent);
