#pragma once
// Flattening of cubic Bezier curves by recursive midpoint subdivision.
//
// Curve parameters are unsigned fixed point: 0x80000000 is 1.0. A piece at subdivision depth k
// spans longBez3Base::Mask[k] = 0x80000000 >> k. A curve is always split at least twice (the
// test at depth 0 never accepts), so it comes out as four pieces or more; depth stops at 31.

#include <cstdint>

#include "pathkit/Point.h"
#include "pathkit/export.h"

// The destructor is not virtual (derived classes add it after the three slots below): do not
// delete a derived object through this base.
class PATHKIT_API floatBez3Base {
public:
    // Used in place of a tolerance that is not a positive finite number (millimetres).
    static constexpr float DefaultTolerance = 0.01f;

    explicit floatBez3Base(float tolerance = DefaultTolerance);

    // Called for every accepted piece, in parameter order; [tStart, tEnd] is its range.
    virtual void Output(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3);
    // Asked before a piece is examined; 0 drops the piece and everything below it.
    virtual int CheckEntry(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3);
    // Non-zero accepts the piece p0..p3 with curve midpoint mid as flat. The base test compares
    // the larger coordinate distance between mid and the chord midpoint with the tolerance
    // (never flat at depth 0); a NaN distance counts as flat. An S-shaped piece (control
    // points on opposite sides of its chord) can pass that test while straying far from its
    // chord: it is flat only when the control points of both its halves also lie within 4/3 of
    // the tolerance of their chords (the curve then lies within the tolerance).
    virtual int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3);

    // A tolerance that is not positive and finite takes DefaultTolerance.
    void SetErrorTolerance(float tolerance);

    // Flattens one cubic whose parameter range starts at t0.
    void CalcCurve(const floatPoint& p0, const floatPoint& c1, const floatPoint& c2,
                   const floatPoint& p3, std::uint32_t t0);

    floatPoint chordMid;  // chord midpoint of the last flatness test
    std::uint32_t tStart; // parameter range of the piece being entered or output
    std::uint32_t tEnd;
    float tolerance;
    float deviation; // found by the last flatness test
    std::int8_t depth;

    // Set by the subdivision before it asks CheckOutput: the piece's control points and those
    // of its two halves (left c1, c2, then right c1, c2).
    void NoteControls(const floatPoint& c1, const floatPoint& c2, const floatPoint& l1,
                      const floatPoint& l2, const floatPoint& r1, const floatPoint& r2);

private:
    void Subdivide(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3,
                   std::uint32_t t0);
    bool HalvesNearChords(const floatPoint& p0, const floatPoint& mid,
                          const floatPoint& p3) const;

    floatPoint controls_[6];
    bool controlsKnown_ = false;
};

// The same engine on integer points: midpoints are truncated towards zero, sums are formed in
// 64 bits, the tolerance is in the same integer units. A deviation of one unit (the truncation
// error) always counts as flat.
class PATHKIT_API longBez3Base {
public:
    // 0x80000000 >> k, the parameter width of a piece at depth k.
    static const std::uint32_t Mask[32];

    // A tolerance below 1 takes 1.
    explicit longBez3Base(std::int32_t tolerance = 1);

    virtual void Output(longPoint& p0, longPoint& c1, longPoint& c2, longPoint& p3);
    virtual int CheckEntry(longPoint& p0, longPoint& c1, longPoint& c2, longPoint& p3);
    virtual int CheckOutput(longPoint& p0, longPoint& mid, longPoint& p3);

    void SetErrorTolerance(std::int32_t tolerance);

    void CalcCurve(const longPoint& p0, const longPoint& c1, const longPoint& c2,
                   const longPoint& p3, std::uint32_t t0);

    longPoint chordMid;
    std::uint32_t tStart;
    std::uint32_t tEnd;
    std::int32_t tolerance;
    std::int64_t deviation;
    std::int8_t depth;

    void NoteControls(const longPoint&, const longPoint&, const longPoint&, const longPoint&,
                      const longPoint&, const longPoint&) {}

private:
    void Subdivide(longPoint& p0, longPoint& c1, longPoint& c2, longPoint& p3, std::uint32_t t0);
};
