#pragma once
// Fits lines and cubic Bezier curves through a stream of points within a tolerance: piecewise
// least squares over chord-length parameters with a run-length search.

#include <cstdint>

#include "pathkit/DynArr.h"
#include "pathkit/PathCmd.h"
#include "pathkit/Point.h"
#include "pathkit/export.h"

// One input point. len is the cumulative chord length from the run's first point after
// CalcLen, or the point's own parameter when it was added with one.
struct SmoothRec {
    float x;
    float y;
    double len;
};

class PATHKIT_API SmoothRecDynArr : public DynArr<SmoothRec> {
public:
    static constexpr std::uint16_t GrowStep = 512;
    static constexpr std::uint16_t Limit = 0xFFFE;
    SmoothRecDynArr() : DynArr<SmoothRec>(GrowStep, Limit) {}
};

class PATHKIT_API Bez3FitBase {
public:
    // The command that ends a run and fits it.
    static constexpr PathCmd EndRun = PathCmd(-1);
    // A turn at least this large (85 degrees, in radians) in a run of two steps keeps the
    // middle point as a corner.
    static constexpr double CornerAngle = 1.4835298641951802;

    // searchMode 0 grows runs by doubling, non-zero shrinks them by halving; a non-zero
    // tangentMode fits with end tangents fixed to estimates. A tolerance that is not positive
    // (0, negative or NaN) outputs the points as lines.
    Bez3FitBase(float tolerance, int searchMode, int tangentMode);

    // Receives the result: the run's first command with its first point, then PC_LINETO
    // points and PC_CURVETO / PC_CURVEPOINT / PC_CURVEPOINT triples. The base does nothing.
    virtual void Output(PathCmd cmd, float x, float y);
    virtual ~Bez3FitBase();

    // Collects a point; EndRun fits and outputs the run and empties the array. The first point
    // of a run brings the run's command (PC_MOVETO starts a new sub-path, PC_LINETO continues).
    // Exact repeats of the last point and points that are not finite are dropped. A point
    // arriving at a full array (Limit points) first fits the run held; the next run continues
    // from its last point with PC_LINETO, so nothing is lost.
    void AddPoint(PathCmd cmd, float x, float y);
    // Collects a point with its own parameter t for the four-point FitBez3T. Exact repeats of
    // the last point, points or parameters that are not finite and points beyond a full array
    // are dropped.
    void AddPoint(float x, float y, double t);

    void CalcLen();
    // CalcLen, then the whole run.
    void FitCurves();
    // Searches the pieces of [first, last] and outputs them: a piece of one step, or one that
    // lies within half the tolerance of its chord, as a line; a piece of two steps turning by
    // CornerAngle or more as two lines; any other as a cubic.
    void FitCurves(unsigned first, unsigned last);

    // Least-squares control points with free tangents; returns the largest distance of the
    // run's points from the curve. A range without length gives the straight segment.
    double FitBez3(unsigned first, unsigned last, floatPoint& c1, floatPoint& c2);
    // The same along end tangents, each given as a point at unit distance from its end point
    // (the end tangent points back into the curve); null tangents are estimated. Handles that
    // the points do not determine, or a range without length, give handles of length 0.
    double FitBez3T(unsigned first, unsigned last, floatPoint& c1, floatPoint& c2,
                    floatPoint* startTangent, floatPoint* endTangent);
    // Rescales the handles c1 - p0 and c2 - p3 of the given curve to fit the points held with
    // their own parameters, and empties the array. Handles are left as they are when the
    // points do not determine them.
    void FitBez3T(floatPoint& p0, floatPoint& c1, floatPoint& c2, floatPoint& p3);

    // Points at unit distance from the end points of the prepared range along the estimated
    // tangents; the end tangent points back into the curve.
    floatPoint CalcStartTangential();
    floatPoint CalcEndTangential();

    // Largest distance between the range's interior points (and, withTests, the test points)
    // and the curve at their parameters; infinite when a distance is not a number.
    double CalcError(const floatPoint& c1, const floatPoint& c2, int withTests);
    // Advances the test points to parameter t along the polyline, rec being the point at t.
    void CalcTestPoints(SmoothRec* rec, double t);
    // The record's parameter within the prepared range; 0 when the range has no length.
    double TParamOf(const SmoothRec* rec) const;
    void Prepare(unsigned first, unsigned last);

    SmoothRecDynArr points;
    PathCmd firstCmd;    // command of the run's first point
    bool haveFirstCmd;   // firstCmd was given for the run being collected
    unsigned rangeFirst; // the range being fitted
    unsigned rangeLast;
    double startValue;   // chord length at rangeFirst
    double span;         // chord length of the range
    double testPrevT;    // test points are computed up to this parameter,
    SmoothRec* testPrev; // at this record
    floatPoint testPoints[4];
    double testParams[4]; // 0.2, 0.4, 0.6, 0.8
    float tolerance;      // 0: output as lines
    int searchMode;       // 0 grow, else shrink
    int tangentMode;      // non-zero: fixed end tangents

private:
    // The prepared range has a positive finite span.
    bool HasLength() const;
    double FitRange(unsigned first, unsigned last, floatPoint& c1, floatPoint& c2);
    bool ReturnsToStart(unsigned h, unsigned e) const;
    unsigned GrowSearch(unsigned h, unsigned last, floatPoint& c1, floatPoint& c2,
                        unsigned& fitted);
    unsigned ShrinkSearch(unsigned h, unsigned last, floatPoint& c1, floatPoint& c2,
                          unsigned& fitted);
    void OutputPiece(unsigned h, unsigned m, floatPoint& c1, floatPoint& c2, unsigned fitted);
    bool IsStraight(unsigned h, unsigned m, const floatPoint& c1, const floatPoint& c2) const;
    void FitHeldRun();
    void ResetRun();
};
