#pragma once
// Cutting cubic Bezier curves by de Casteljau's construction: the one place for the path
// library, its flatteners and the outline engine. Every result depends only on the midpoint or
// interpolation rule given, so pieces cut here match bit for bit wherever they are cut.

#include "pathkit/PathMember.h"
#include "pathkit/Point.h"

// A float that is one: the value is held as a float before it goes on. When optimising, GCC 12
// vectorises chains of float midpoints into doubles and drops the rounding in between, so the
// optimised build halved curves differently from the unoptimised one.
inline float RoundedToFloat(double v) {
    float f = float(v);
    asm("" : "+x"(f));
    return f;
}

// The midpoint of two float points: the sum taken in double and rounded to float once, so the
// average of two floats never overflows.
inline floatPoint MidPoint(const floatPoint& a, const floatPoint& b) {
    return floatPoint(RoundedToFloat((double(a.x) + b.x) * 0.5),
                      RoundedToFloat((double(a.y) + b.y) * 0.5));
}

// The halves of the cubic p0 c1 c2 p3 at t = 1/2 under the midpoint rule `mid`: the left half
// is p0 l1 l2 m, the right half m r1 r2 p3.
template <class Pt> struct CubicHalves { Pt l1, l2, m, r1, r2; };

template <class Pt, class Mid>
CubicHalves<Pt> HalveCubic(const Pt& p0, const Pt& c1, const Pt& c2, const Pt& p3, Mid mid) {
    Pt l1 = mid(p0, c1), h = mid(c1, c2), r2 = mid(c2, p3);
    Pt l2 = mid(l1, h), r1 = mid(h, r2);
    return {l1, l2, mid(l2, r1), r1, r2};
}

// The halves of a curve member with float midpoints; both keep the member's flags.
inline void HalveMember(const PathMember& m, PathMember& left, PathMember& right) {
    CubicHalves<floatPoint> h = HalveCubic(m.start, m.ctrl1, m.ctrl2, m.end, MidPoint);
    left = m;
    left.ctrl1 = h.l1;
    left.ctrl2 = h.l2;
    left.end = h.m;
    right = m;
    right.start = h.m;
    right.ctrl1 = h.r1;
    right.ctrl2 = h.r2;
}

// Cuts at a parameter t of [0, 1] for points of two doubles (a + (b - a) t at every step): p
// becomes the part of the cubic p[0] .. p[3] from t to 1, or from 0 to t.
template <class Pt> Pt LerpPoint(const Pt& a, const Pt& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t};
}

template <class Pt> void KeepCubicFrom(Pt p[4], double t) {
    Pt a = LerpPoint(p[0], p[1], t), b = LerpPoint(p[1], p[2], t), c = LerpPoint(p[2], p[3], t);
    Pt d = LerpPoint(a, b, t), e = LerpPoint(b, c, t);
    p[0] = LerpPoint(d, e, t);
    p[1] = e;
    p[2] = c;
}

template <class Pt> void KeepCubicTo(Pt p[4], double t) {
    Pt a = LerpPoint(p[0], p[1], t), b = LerpPoint(p[1], p[2], t), c = LerpPoint(p[2], p[3], t);
    Pt d = LerpPoint(a, b, t), e = LerpPoint(b, c, t);
    p[1] = a;
    p[2] = d;
    p[3] = LerpPoint(d, e, t);
}
