#pragma once
// Points along a baseline by arc length, with the members' lengths measured once. Every
// question answers exactly as PointAtLength, which asks one of these.

#include <vector>

#include "pathkit/Point.h"

class SubPath;

class BaselineWalker {
public:
    explicit BaselineWalker(const SubPath& sp);

    void PointAt(float d, floatPoint& point, floatPoint& tangent) const;

private:
    const SubPath& sp_;
    std::vector<float> lengths_;
    float total_ = 0;
};
