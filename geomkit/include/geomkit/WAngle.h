#pragma once
// Angles in radians, angle ranges and directed angle ranges. A stored angle lies within two
// turns either way of zero.

#include "geomkit/WVektor.h"
#include "geomkit/export.h"

// 2π rounded to single precision and widened.
inline constexpr double kFullTurn = 6.2831854820251465;
// Two turns; a stored angle lies in [−kAngleLimit, kAngleLimit].
inline constexpr double kAngleLimit = 12.56637061436;

class GEOMKIT_API WAngle {
public:
    WAngle() : m_value(0) {}
    WAngle(double radians) : m_value(radians) { Normalize(); }

    // Into [−two turns, two turns] by whole turns. A non-finite value becomes 0.
    void Normalize();
    // Into [0, full turn] by whole turns (the full turn itself stays); returns the value.
    double NormToCircle();

    WAngle operator+(const WAngle& a) const { return WAngle(m_value + a.m_value); }
    WAngle operator-(const WAngle& a) const { return WAngle(m_value - a.m_value); }
    WAngle Diff(const WAngle& a) const { return *this - a; }
    WAngle operator/(double f) const { return WAngle(m_value / f); }
    WAngle& operator+=(const WAngle& a);
    WAngle& operator-=(const WAngle& a);

    // this − other in [0, full turn]: the anticlockwise distance from other to this.
    double FDiff(const WAngle& other) const;

    // Exact comparisons of the stored values.
    bool operator<(const WAngle& a) const { return m_value < a.m_value; }
    bool operator>(const WAngle& a) const { return m_value > a.m_value; }
    bool operator==(const WAngle& a) const { return m_value == a.m_value; }

    double Value() const { return m_value; }

private:
    double m_value;
};

class GEOMKIT_API WAngleRange {
public:
    WAngleRange() : m_start(0.0), m_end(kFullTurn) {}
    WAngleRange(const WAngle& start, const WAngle& end) : m_start(start), m_end(end) {}

    void Normalize();
    // end.FDiff(start).
    double FAngleDiff() const;
    void Exchange();

    const WAngle& Start() const { return m_start; }
    const WAngle& End() const { return m_end; }

protected:
    WAngle m_start;
    WAngle m_end;
};

class GEOMKIT_API WDirectedAngleRange : public WAngleRange {
public:
    WDirectedAngleRange() : m_direction(0) {}
    // direction: 0 towards increasing angles, anything else towards decreasing ones.
    WDirectedAngleRange(const WAngle& start, const WAngle& end, int direction)
        : WAngleRange(start, end), m_direction(direction ? 1 : 0) {}

    // The swept angle in [0, full turn] in the range's own direction.
    double FAngleDiff() const;
    // The part from t1 to t2 of the sweep (0 = start, 1 = end), same direction.
    WDirectedAngleRange PieceOfRange(double t1, double t2) const;
    // Tangent vectors of length r at the two ends: p points back from the start, q on from the
    // end, both along the direction of travel.
    void Tangent(double r, WVektor<float>& p, WVektor<float>& q) const;

    int Direction() const { return m_direction; }

private:
    int m_direction;
};
