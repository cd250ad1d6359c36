#pragma once
// Measuring along one path member: arc length, the parameter at an arc length, and the foot
// point of a point on the member.
//
// Parameters are t * 2^31 (PM_PARAM_ONE is the end). Curves are measured on their flattening:
// the accuracy (millimetres) bounds the distance between the curve and the chords summed.
// An accuracy that is not a positive finite number means Path::DefAccuracy.

#include <cstdint>

#include "pathkit/export.h"

class PathMember;
class floatPoint;

// Arc length. A member with a point that is not finite gives the length of its control
// polygon (infinite or NaN).
PATHKIT_API float GetPMLength(const PathMember& m, float accuracy);

// The parameter at arc length `length` from the start: 0 for a length of 0 or less (or NaN),
// PM_PARAM_ONE for a length at or beyond the member's end. A zero-length line gives
// PM_PARAM_ONE for every length from 0 on; a member that cannot be measured gives 0.
PATHKIT_API std::uint32_t GetTParamAt(const PathMember& m, float length, float accuracy);

// Where the perpendicular from `centre` meets the member. A line: the projection onto
// start-end (a zero-length line projects at 0). A curve: the projection onto every chord of
// its flattening; the last chord that takes it gives the parameter. Returns the number of
// chords (0 or 1 for a line) whose projection lies within them; param is set only when that
// is not 0.
PATHKIT_API int FindFootPoint(const PathMember& m, const floatPoint& centre, float accuracy,
                              std::uint32_t& param);
