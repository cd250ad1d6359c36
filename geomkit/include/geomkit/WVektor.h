#pragma once
// A 2D vector, stored in float (the library's storage precision) or double (intermediate
// precision). Arithmetic is done in double and stored back in the type's precision.

#include <cmath>

template <class T> class WVektor {
public:
    constexpr WVektor() : x(0), y(0) {}
    constexpr WVektor(T vx, T vy) : x(vx), y(vy) {}
    // Between the two precisions.
    template <class U>
    explicit constexpr WVektor(const WVektor<U>& v)
        : x(static_cast<T>(v.x)), y(static_cast<T>(v.y)) {}

    WVektor operator+(const WVektor& v) const {
        return WVektor(T(double(x) + double(v.x)), T(double(y) + double(v.y)));
    }
    WVektor operator-(const WVektor& v) const {
        return WVektor(T(double(x) - double(v.x)), T(double(y) - double(v.y)));
    }
    WVektor operator-() const { return WVektor(-x, -y); }
    WVektor operator*(double f) const { return WVektor(T(double(x) * f), T(double(y) * f)); }
    WVektor operator/(double f) const { return WVektor(T(double(x) / f), T(double(y) / f)); }
    WVektor& operator+=(const WVektor& v) { return *this = *this + v; }
    WVektor& operator-=(const WVektor& v) { return *this = *this - v; }
    WVektor& operator*=(double f) { return *this = *this * f; }

    // Exact comparison.
    bool operator==(const WVektor& v) const { return x == v.x && y == v.y; }
    bool operator!=(const WVektor& v) const { return !(*this == v); }

    double SquaredLength() const { return double(x) * double(x) + double(y) * double(y); }
    double Length() const { return std::sqrt(SquaredLength()); }
    bool IsZero() const { return x == 0 && y == 0; }

    // Scales to length 1; a vector of length exactly 0 stays as it is.
    WVektor& Normalize() {
        double l = Length();
        if (l != 0) {
            x = T(double(x) / l);
            y = T(double(y) / l);
        }
        return *this;
    }
    WVektor Normalized() const { return WVektor(*this).Normalize(); }

    T x;
    T y;
};

template <class T> WVektor<T> operator*(double f, const WVektor<T>& v) {
    return v * f;
}

template <class T> double Dot(const WVektor<T>& a, const WVektor<T>& b) {
    return double(a.x) * double(b.x) + double(a.y) * double(b.y);
}

// z of the cross product a × b: positive when b lies anticlockwise of a.
template <class T> double Cross(const WVektor<T>& a, const WVektor<T>& b) {
    return double(a.x) * double(b.y) - double(a.y) * double(b.x);
}
