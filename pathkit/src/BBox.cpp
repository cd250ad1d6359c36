#include "pathkit/BBox.h"

#include <algorithm>
#include <cmath>

void floatBBox::Fill(float x1, float y1, float x2, float y2) {
    *this = floatPoint(x1, y1);
    *this += floatPoint(x2, y2);
}

void floatBBox::Inflate(float dx, float dy) {
    left -= dx;
    right += dx;
    bottom -= dy;
    top += dy;
}

float floatBBox::Size() const {
    double w = double(right) - left, h = double(top) - bottom;
    return float(std::sqrt(w * w + h * h));
}

bool floatBBox::OpenInside(const floatPoint& p) const {
    return left <= p.x && p.x < right && bottom <= p.y && p.y < top;
}

namespace {

template <class Box, class Point> void Include(Box& box, const Point& p) {
    box.left = std::min(box.left, p.x);
    box.right = std::max(box.right, p.x);
    box.bottom = std::min(box.bottom, p.y);
    box.top = std::max(box.top, p.y);
}

template <class Box> void Include(Box& box, const Box& b) {
    box.left = std::min(box.left, b.left);
    box.right = std::max(box.right, b.right);
    box.bottom = std::min(box.bottom, b.bottom);
    box.top = std::max(box.top, b.top);
}

// In double, so that no difference of two coordinates overflows.
template <class Box> double Diagonal(const Box& b) {
    double w = double(b.right) - double(b.left), h = double(b.top) - double(b.bottom);
    return std::sqrt(w * w + h * h);
}

} // namespace

intBBox& intBBox::operator+=(const intPoint& p) {
    Include(*this, p);
    return *this;
}

intBBox& intBBox::operator+=(const intBBox& b) {
    Include(*this, b);
    return *this;
}

void intBBox::Inflate(int dx, int dy) {
    left -= dx;
    right += dx;
    bottom -= dy;
    top += dy;
}

double intBBox::Size() const {
    return Diagonal(*this);
}


void longBBox::Inflate(std::int32_t dx, std::int32_t dy) {
    left -= dx;
    right += dx;
    bottom -= dy;
    top += dy;
}

double longBBox::Size() const {
    return Diagonal(*this);
}
