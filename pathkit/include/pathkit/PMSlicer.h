#pragma once
// Slices path members into points: curves by flattening, lines into equal steps.

#include "pathkit/Bez3Engines.h"
#include "pathkit/PathMember.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

class PATHKIT_API PMSlicer : public floatBez3Base {
public:
    // A curve or line is never cut into more than this many steps by the maximum step.
    static constexpr unsigned MaxSteps = 65534;
    // A maximum step that is not positive (or NaN) takes this many tolerances.
    static constexpr float DefaultStepFactor = 30.0f;

    // A tolerance that is not positive and finite takes DefaultTolerance.
    PMSlicer(float tolerance, float maxStep);

    // Flat by the base test, and both half-chords shorter than the maximum step (each measured
    // as the larger of |dx| and |dy|; NaN counts as short). Pieces narrower than 1/65536 of the
    // curve only need to be flat.
    int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) override;
    // Hands the piece's end point to PointOutput.
    void Output(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3) override;

    virtual void PointOutput(floatPoint& p);
    virtual ~PMSlicer();

    // Reports the member's start, its inner points and its end; the end arrives twice (once as
    // the last slice point, once more at the very end).
    void CalcCornersFrom(const PathMember& member);

    float maxStep;
};
