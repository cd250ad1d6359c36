#pragma once
// Axis-aligned boxes: x interval (left, right) first, then y interval (bottom, top);
// y grows upwards, so bottom is the smallest y.

#include <cstdint>

#include "pathkit/Point.h"
#include "pathkit/export.h"

class PATHKIT_API floatBBox {
public:
    floatBBox() : left(0), right(0), bottom(0), top(0) {}
    // The box of two corner points given in any order.
    floatBBox(float x1, float y1, float x2, float y2) { Fill(x1, y1, x2, y2); }

    void Fill(float x1, float y1, float x2, float y2);

    // A degenerate box at p.
    floatBBox& operator=(const floatPoint& p) {
        left = right = p.x;
        bottom = top = p.y;
        return *this;
    }
    // As std::min and std::max: a NaN on the right is left out, one kept on the left stays.
    floatBBox& operator+=(const floatPoint& p) {
        left = p.x < left ? p.x : left;
        right = right < p.x ? p.x : right;
        bottom = p.y < bottom ? p.y : bottom;
        top = top < p.y ? p.y : top;
        return *this;
    }
    floatBBox& operator+=(const floatBBox& b) {
        left = b.left < left ? b.left : left;
        right = right < b.right ? b.right : right;
        bottom = b.bottom < bottom ? b.bottom : bottom;
        top = top < b.top ? b.top : top;
        return *this;
    }

    floatPoint LB() const { return floatPoint(left, bottom); }
    floatPoint LT() const { return floatPoint(left, top); }
    floatPoint RB() const { return floatPoint(right, bottom); }
    floatPoint RT() const { return floatPoint(right, top); }

    void Inflate(float d) { Inflate(d, d); }
    void Inflate(float dx, float dy);

    // Length of the diagonal.
    float Size() const;

    // Closed, widened by tol on every side.
    bool IsInside(const floatPoint& p, float tol) const {
        return left - tol <= p.x && p.x <= right + tol && bottom - tol <= p.y && p.y <= top + tol;
    }
    // Half-open: excludes the right and top edges.
    bool OpenInside(const floatPoint& p) const;
    // Every edge of b lies within this box.
    bool IsInside(const floatBBox& b) const {
        return left <= b.left && b.right <= right && bottom <= b.bottom && b.top <= top;
    }

    float left;
    float right;
    float bottom;
    float top;
};

class PATHKIT_API intBBox {
public:
    intBBox() : left(0), right(0), bottom(0), top(0) {}

    intBBox& operator+=(const intPoint& p);
    intBBox& operator+=(const intBBox& b);

    intPoint LB() const { return Corner(left, bottom); }
    intPoint LT() const { return Corner(left, top); }
    intPoint RB() const { return Corner(right, bottom); }
    intPoint RT() const { return Corner(right, top); }

    void Inflate(int dx, int dy);
    // Length of the diagonal.
    double Size() const;

    int left;
    int right;
    int bottom;
    int top;

private:
    static intPoint Corner(int x, int y) {
        intPoint p;
        p.Fill(x, y);
        return p;
    }
};

class PATHKIT_API longBBox {
public:
    longBBox() : left(0), right(0), bottom(0), top(0) {}

    // Inline: the hot loops of the integer searches widen boxes member by member.
    longBBox& operator+=(const longPoint& p) {
        left = p.x < left ? p.x : left;
        right = right < p.x ? p.x : right;
        bottom = p.y < bottom ? p.y : bottom;
        top = top < p.y ? p.y : top;
        return *this;
    }
    longBBox& operator+=(const longBBox& b) {
        left = b.left < left ? b.left : left;
        right = right < b.right ? b.right : right;
        bottom = b.bottom < bottom ? b.bottom : bottom;
        top = top < b.top ? b.top : top;
        return *this;
    }

    longPoint LB() const { return Corner(left, bottom); }
    longPoint LT() const { return Corner(left, top); }
    longPoint RB() const { return Corner(right, bottom); }
    longPoint RT() const { return Corner(right, top); }

    void Inflate(std::int32_t dx, std::int32_t dy);
    // Length of the diagonal.
    double Size() const;

    std::int32_t left;
    std::int32_t right;
    std::int32_t bottom;
    std::int32_t top;

private:
    static longPoint Corner(std::int32_t x, std::int32_t y) {
        longPoint p;
        p.Fill(x, y);
        return p;
    }
};
