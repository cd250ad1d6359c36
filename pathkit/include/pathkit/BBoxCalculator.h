#pragma once
// Box accumulators: collect a box into a target without a sentinel first value.
// The first point or box given replaces whatever the target held.

#include "pathkit/BBox.h"
#include "pathkit/export.h"

template <class Box, class Point> class BBoxCalculatorBase {
public:
    explicit BBoxCalculatorBase(Box& target) : box(target), initialized(0) {}

    BBoxCalculatorBase& operator=(const Point& p) {
        SetTo(p);
        initialized = 1;
        return *this;
    }
    BBoxCalculatorBase& operator+=(const Point& p) {
        if (initialized) {
            box += p;
        } else {
            SetTo(p);
        }
        initialized = 1;
        return *this;
    }
    BBoxCalculatorBase& operator+=(const Box& b) {
        if (initialized) {
            box += b;
        } else {
            box = b;
        }
        initialized = 1;
        return *this;
    }

    int IsInitialized() const { return initialized; }

private:
    void SetTo(const Point& p) {
        box.left = box.right = p.x;
        box.bottom = box.top = p.y;
    }

    Box& box;
    int initialized;
};

class PATHKIT_API floatBBoxCalculator : public BBoxCalculatorBase<floatBBox, floatPoint> {
public:
    using BBoxCalculatorBase::BBoxCalculatorBase;
    using BBoxCalculatorBase::operator=;
};

class PATHKIT_API intBBoxCalculator : public BBoxCalculatorBase<intBBox, intPoint> {
public:
    using BBoxCalculatorBase::BBoxCalculatorBase;
    using BBoxCalculatorBase::operator=;
};

class PATHKIT_API longBBoxCalculator : public BBoxCalculatorBase<longBBox, longPoint> {
public:
    using BBoxCalculatorBase::BBoxCalculatorBase;
    using BBoxCalculatorBase::operator=;
};
