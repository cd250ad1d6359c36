#include "driverframe/SaturatingPoint.h"

#include "driverframe/Saturate.h"

SaturatingPoint SaturatingPoint::operator+(const SaturatingPoint& p) const {
    return {Saturate32(std::int64_t(x) + p.x), Saturate32(std::int64_t(y) + p.y)};
}

SaturatingPoint SaturatingPoint::operator-(const SaturatingPoint& p) const {
    return {Saturate32(std::int64_t(x) - p.x), Saturate32(std::int64_t(y) - p.y)};
}

SaturatingPoint& SaturatingPoint::operator+=(const SaturatingPoint& p) {
    return *this = *this + p;
}

SaturatingPoint& SaturatingPoint::operator-=(const SaturatingPoint& p) {
    return *this = *this - p;
}

SaturatingPoint SaturatingPoint::operator*(double f) const {
    return {TruncateToInt32(x * f), TruncateToInt32(y * f)};
}

SaturatingPoint SaturatingPoint::operator/(double f) const {
    return {TruncateToInt32(x / f), TruncateToInt32(y / f)};
}
