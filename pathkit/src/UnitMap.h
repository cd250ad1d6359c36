#pragma once
// Millimetres to the integer units of crossing and intersection searches (factor 4 / accuracy,
// so one unit is a quarter of the accuracy), counted from an origin near the geometry so that
// contours far from (0, 0) keep their resolution at fine accuracies.
//
// Coordinates saturate at +-Limit and NaN maps to 0: differences of two coordinates then fit
// in 32 bits and cross products of two differences stay exact in 64 bits.

#include <cmath>
#include <cstdint>

#include "pathkit/BBox.h"
#include "pathkit/LPathMember.h"
#include "pathkit/PathMember.h"
#include "pathkit/Point.h"

class UnitMap {
public:
    static constexpr std::int32_t Limit = (1 << 30) - 1;

    // The origin is the centre of `around`, rounded to whole units.
    UnitMap(double factor, const floatBBox& around) : factor(factor), ox(0), oy(0) {
        ox = Origin((double(around.left) + around.right) / 2);
        oy = Origin((double(around.bottom) + around.top) / 2);
    }

    std::int32_t X(float v) const { return Saturate(std::floor(double(v) * factor - ox + 0.5)); }
    std::int32_t Y(float v) const { return Saturate(std::floor(double(v) * factor - oy + 0.5)); }

    longPoint Map(const floatPoint& p) const {
        longPoint l;
        l.Fill(X(p.x), Y(p.y));
        return l;
    }

    // Lines get their end points as control points, so that a line splits like a curve.
    void Fill(LPathMember& l, const PathMember& m) const {
        l.flags = m.flags;
        l.start = Map(m.start);
        l.end = Map(m.end);
        if (m.IsCurve()) {
            l.ctrl1 = Map(m.ctrl1);
            l.ctrl2 = Map(m.ctrl2);
        } else {
            l.ctrl1 = l.start;
            l.ctrl2 = l.end;
        }
    }

    // Back to millimetres.
    floatPoint Unmap(double x, double y) const {
        return floatPoint(float((x + ox) / factor), float((y + oy) / factor));
    }

    // A length in millimetres as a whole number of units, rounded up and saturated.
    std::int64_t Length(double mm) const {
        double u = std::ceil(mm * factor);
        if (!(u > 0)) return 0;
        return u > Limit ? Limit : std::int64_t(u);
    }

    double factor;
    // The origin in whole units.
    double OriginX() const { return ox; }
    double OriginY() const { return oy; }

private:
    static std::int32_t Saturate(double u) {
        if (std::isnan(u)) return 0;
        if (u >= Limit) return Limit;
        if (u <= -Limit) return -Limit;
        return std::int32_t(u);
    }

    // Whole units, small enough to be subtracted exactly; 0 for a box that is not finite.
    double Origin(double centre) const {
        double o = std::floor(centre * factor + 0.5);
        if (!std::isfinite(o) || std::fabs(o) > 4.0e15) return 0;
        return o;
    }

    double ox;
    double oy;
};
