#pragma once
// A 2D point, stored in float or double like WVektor; point − point is a vector.

#include <cmath>

#include "geomkit/WVektor.h"

template <class T> class WPont {
public:
    constexpr WPont() : x(0), y(0) {}
    constexpr WPont(T px, T py) : x(px), y(py) {}
    template <class U>
    explicit constexpr WPont(const WPont<U>& p) : x(static_cast<T>(p.x)), y(static_cast<T>(p.y)) {}

    WPont operator+(const WVektor<T>& v) const {
        return WPont(T(double(x) + double(v.x)), T(double(y) + double(v.y)));
    }
    WPont operator-(const WVektor<T>& v) const {
        return WPont(T(double(x) - double(v.x)), T(double(y) - double(v.y)));
    }
    WVektor<T> operator-(const WPont& p) const {
        return WVektor<T>(T(double(x) - double(p.x)), T(double(y) - double(p.y)));
    }
    WPont operator*(double f) const { return WPont(T(double(x) * f), T(double(y) * f)); }
    WPont operator-() const { return WPont(-x, -y); }
    WPont& operator+=(const WVektor<T>& v) { return *this = *this + v; }
    WPont& operator-=(const WVektor<T>& v) { return *this = *this - v; }

    // Exact comparison.
    bool operator==(const WPont& p) const { return x == p.x && y == p.y; }
    bool operator!=(const WPont& p) const { return !(*this == p); }

    // Distance from the origin.
    double Length() const { return std::sqrt(SquaredLength()); }
    double SquaredLength() const { return double(x) * double(x) + double(y) * double(y); }
    // The point seen as a vector from the origin.
    WVektor<T> AsVector() const { return WVektor<T>(x, y); }

    T x;
    T y;
};

template <class T> double SquaredDistance(const WPont<T>& p, const WPont<T>& q) {
    double dx = double(p.x) - double(q.x), dy = double(p.y) - double(q.y);
    return dx * dx + dy * dy;
}

template <class T> double Distance(const WPont<T>& p, const WPont<T>& q) {
    return std::sqrt(SquaredDistance(p, q));
}

// Sign of (q.y − p.y)·(r.x − p.x) − (r.y − p.y)·(q.x − p.x): 1, 0 or −1.
template <class T> int Orientation(const WPont<T>& p, const WPont<T>& q, const WPont<T>& r) {
    double v = (double(q.y) - double(p.y)) * (double(r.x) - double(p.x)) -
               (double(r.y) - double(p.y)) * (double(q.x) - double(p.x));
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}
