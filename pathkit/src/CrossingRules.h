#pragma once
// The pieces of the ray-crossing rule of SubPathQueries.cpp (where the rule is written down),
// shared with the containment index that answers the same questions for a whole operation.

#include <cmath>
#include <cstdint>

#include "pathkit/BBox.h"
#include "pathkit/Bez3Engines.h"
#include "pathkit/Point.h"

namespace crossing {

// Flatness of the chords, in units.
constexpr std::int32_t ChordTolerance = 2;

struct Ray {
    int direction;
    std::int64_t px;
    std::int64_t py;

    // The box (closed) meets the ray (closed, from p on).
    bool Meets(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top) const {
        switch (direction) {
        case 0:
            return bottom <= py && py <= top && left <= px;
        case 1:
            return left <= px && px <= right && bottom <= py;
        case 2:
            return bottom <= py && py <= top && right >= px;
        default:
            return left <= px && px <= right && top >= py;
        }
    }

    bool Meets(const longBBox& b, std::int64_t widen = 0) const {
        return Meets(b.left - widen, b.bottom - widen, b.right + widen, b.top + widen);
    }

    // v relative to p, turned so that the ray points to -x.
    void Turn(const longPoint& v, std::int64_t& x, std::int64_t& y) const {
        std::int64_t dx = v.x - px, dy = v.y - py;
        switch (direction) {
        case 0:
            x = dx, y = dy;
            break;
        case 1:
            x = dy, y = -dx;
            break;
        case 2:
            x = -dx, y = -dy;
            break;
        default:
            x = -dy, y = dx;
            break;
        }
    }

    // +1 or -1 for a crossing chord in the turned frame, else 0.
    int Chord(const longPoint& a, const longPoint& b) const {
        std::int64_t ax, ay, bx, by;
        Turn(a, ax, ay);
        Turn(b, bx, by);
        if ((ay > 0) == (by > 0)) return 0;
        // The chord meets the line at x = cross / dy; both fit in 64 bits (coordinates are
        // differences of two values below 2^30).
        std::int64_t cross = ax * by - ay * bx, dy = by - ay;
        if (cross == 0 || (cross < 0) != (dy > 0)) return 0;
        return dy > 0 ? 1 : -1;
    }
};

struct Tally {
    int sum = 0;
    int count = 0;

    void Add(int c) {
        if (!c) return;
        sum += c;
        ++count;
    }
};

// Subdivides only the pieces whose control box meets the ray: the chords of a piece lie in its
// box, so the pieces left out cannot cross.
class CurveCrossings : public longBez3Base {
public:
    CurveCrossings(const Ray& ray, Tally& tally)
        : longBez3Base(ChordTolerance), ray(ray), tally(tally) {}

    int CheckEntry(longPoint& p0, longPoint& c1, longPoint& c2, longPoint& p3) override {
        longBBox b;
        b.left = b.right = p0.x;
        b.bottom = b.top = p0.y;
        b += c1;
        b += c2;
        b += p3;
        return ray.Meets(b);
    }

    void Output(longPoint& p0, longPoint&, longPoint&, longPoint& p3) override {
        tally.Add(ray.Chord(p0, p3));
    }

private:
    const Ray& ray;
    Tally& tally;
};

// floor(factor * v + 0.5) saturated to 32 bits, as the cluster index converts.
inline std::int64_t ClusterUnits(float v, double factor) {
    double u = std::floor(double(v) * factor + 0.5);
    if (std::isnan(u)) return 0;
    if (u >= 2147483647.0) return 2147483647;
    if (u <= -2147483648.0) return -2147483648LL;
    return std::int64_t(u);
}

inline bool IsFinite(const floatPoint& p) {
    return std::isfinite(p.x) && std::isfinite(p.y);
}

// Sign of a crossing in the turned frame relative to the documented sign for each direction.
constexpr int DirectionSign[4] = {1, -1, -1, 1};


} // namespace crossing
