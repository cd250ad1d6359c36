// Rectangle helpers. Arithmetic wraps around in 32 bits, as on Windows, instead of
// overflowing.

#include <algorithm>
#include <cstdint>

#include "win32/user.h"

namespace {

bool emptyRect(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}
LONG wrapAdd(LONG a, int b) {
    return LONG(std::uint32_t(a) + std::uint32_t(b));
}
LONG wrapSub(LONG a, int b) {
    return LONG(std::uint32_t(a) - std::uint32_t(b));
}

} // namespace

BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT rect) {
    return SetRect(rect, 0, 0, 0, 0);
}

BOOL IsRectEmpty(const RECT* rect) {
    return !rect || emptyRect(*rect);
}

BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && a->left == b->left && a->top == b->top && a->right == b->right &&
           a->bottom == b->bottom;
}

BOOL PtInRect(const RECT* rect, POINT p) {
    return rect && p.x >= rect->left && p.x < rect->right && p.y >= rect->top && p.y < rect->bottom;
}

BOOL OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left = wrapAdd(rect->left, dx);
    rect->right = wrapAdd(rect->right, dx);
    rect->top = wrapAdd(rect->top, dy);
    rect->bottom = wrapAdd(rect->bottom, dy);
    return TRUE;
}

BOOL InflateRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left = wrapSub(rect->left, dx);
    rect->right = wrapAdd(rect->right, dx);
    rect->top = wrapSub(rect->top, dy);
    rect->bottom = wrapAdd(rect->bottom, dy);
    return TRUE;
}

BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b) {
    if (!dest) return FALSE;
    if (!a || !b || emptyRect(*a) || emptyRect(*b)) {
        *dest = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dest = RECT{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                 std::min(a->bottom, b->bottom)};
    if (emptyRect(*dest)) *dest = RECT{0, 0, 0, 0};
    return !emptyRect(*dest);
}

BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b) {
    if (!dest) return FALSE;
    bool aEmpty = !a || emptyRect(*a);
    bool bEmpty = !b || emptyRect(*b);
    if (aEmpty && bEmpty) {
        *dest = RECT{0, 0, 0, 0};
        return FALSE;
    }
    *dest = aEmpty   ? *b
            : bEmpty ? *a
                     : RECT{std::min(a->left, b->left), std::min(a->top, b->top),
                            std::max(a->right, b->right), std::max(a->bottom, b->bottom)};
    return TRUE;
}

BOOL CopyRect(LPRECT dest, const RECT* source) {
    if (!dest || !source) return FALSE;
    *dest = *source;
    return TRUE;
}
