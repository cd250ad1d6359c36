#pragma once
// A point found on a member: where, at which parameter and on which member.

#include <cstdint>

#include "pathkit/DynArr.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class PATHKIT_API Intersection {
public:
    Intersection() : param(0), index(0) {}

    void Fill(const floatPoint& p, std::uint32_t parameter, std::uint32_t memberIndex) {
        point = p;
        param = parameter;
        index = memberIndex;
    }

    floatPoint point;
    std::uint32_t param; // t * 2^31 along the member
    std::uint32_t index; // member index in its sub-path
};

using IntersectionDynArr = DynArr<Intersection>;
using IntersectionEDynArr = EDynArr<Intersection>;

// An intersection list with the default growth step.
class PATHKIT_API ISArray : public IntersectionEDynArr {
public:
    ISArray() : IntersectionEDynArr(DefaultGrowStep) {}
};
