#pragma once
// The record arrays of a design: guide lines (anchor and angle) and the stored ID pairs.

#include <cstdint>

#include <pathkit/DynArr.h>

struct GuideLine {
    float x;
    float y;
    double angle; // radians
};
static_assert(sizeof(GuideLine) == 16);

struct IDPair {
    std::uint32_t first;
    std::uint32_t second;
};
static_assert(sizeof(IDPair) == 8);

using GuideLineDynArr = DynArr<GuideLine>;
using IDPairDynArr = DynArr<IDPair>;
