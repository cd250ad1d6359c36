#pragma once
// Replaces a run of members by one cubic: the members are flattened into points and a single
// Bezier is fitted through all of them by least squares.

#include "pathkit/Bez3Engines.h"
#include "pathkit/Bez3FitBase.h"
#include "pathkit/PathMember.h"
#include "pathkit/Point.h"

class MemberRefitter : public floatBez3Base {
public:
    // Flattens and fits within the accuracy (millimetres).
    explicit MemberRefitter(float accuracy);

    // Adds the member's points: its start when it is the first member fed, then the points of
    // its flattening (a line: its end).
    void Feed(const PathMember& m);
    // One cubic from the first point fed to the last (flags PM_CURVE); false, out untouched,
    // when no finite point was fed. The points are used up.
    bool Fit(PathMember& out);

    void Output(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3) override;
    int CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) override;

private:
    void AddPoint(const floatPoint& p);

    Bez3FitBase fitter;
    bool fed;
    unsigned pieces; // flattened pieces of the member being fed
};
