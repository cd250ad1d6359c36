#include "driverframe/longPoint.h"

#include "driverframe/Saturate.h"

longPoint longPoint::operator+(const longPoint& p) const {
    return {Saturate32(std::int64_t(x) + p.x), Saturate32(std::int64_t(y) + p.y)};
}

longPoint longPoint::operator-(const longPoint& p) const {
    return {Saturate32(std::int64_t(x) - p.x), Saturate32(std::int64_t(y) - p.y)};
}

longPoint& longPoint::operator+=(const longPoint& p) {
    return *this = *this + p;
}

longPoint& longPoint::operator-=(const longPoint& p) {
    return *this = *this - p;
}

longPoint longPoint::operator*(double f) const {
    return {TruncateToInt32(x * f), TruncateToInt32(y * f)};
}

longPoint longPoint::operator/(double f) const {
    return {TruncateToInt32(x / f), TruncateToInt32(y / f)};
}
