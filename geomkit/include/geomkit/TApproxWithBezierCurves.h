#pragma once
// Replaces a dense sequence of points by a short chain of cubic Bezier segments within a
// distance tolerance: the sequence is cut into runs, each the longest that the tolerance
// admits (found by bisection within a window), and each run is fitted by one segment.

#include "geomkit/COXSPtr.h"
#include "geomkit/TApproxWithBezierSegment.h"

template <class TNodeT, class TSegmentT> class WSubPath;
class WNode;

class GEOMKIT_API TApproxWithBezierCurves {
public:
    using SubPath = WSubPath<WNode, WSegment>;

    TApproxWithBezierCurves();
    ~TApproxWithBezierCurves();
    TApproxWithBezierCurves(const TApproxWithBezierCurves&) = delete;
    TApproxWithBezierCurves& operator=(const TApproxWithBezierCurves&) = delete;

    // Samples of source about every 5·step along each segment's control polygon, plus the
    // anchors; 0 for an empty source.
    static int MakeThePointArray(WPointArray& out, const COXSPtr<SubPath>& source, double step);

    // 1 when points is given and type is 1 to 5. The array is not owned.
    int Init(WPointArray* points, PARAMETRIZATION_TYPE type);
    // 1 with the result built; 0 when a fit fails (the result so far stays).
    int Approximation();

    void SetTolerance(double tolerance) { m_tolerance = tolerance; }
    double GetTolerance() const { return m_tolerance; }
    // The most points a run may span.
    void SetWindow(int points) { m_window = points; }
    // Runs after the first continue the previous run's direction, and joins are marked smooth.
    void SetSmoothJoins(int on) { m_smoothJoins = on; }
    const COXSPtr<SubPath>& GetResult() const { return m_result; }

private:
    // Fits points s … e; 1 when the fit worked, with accepted telling whether the tolerance
    // admits it.
    int FitRun(int s, int e, bool& accepted);
    void AppendRun(const WSegment& segment, bool first);

    COXSPtr<SubPath> m_result;
    double m_tolerance;
    int m_window;
    int m_smoothJoins;
    TApproxWithBezierSegment m_fitter;
    PARAMETRIZATION_TYPE m_type;
    WPointArray* m_points;
    int m_size;
    WVektor<float> m_direction; // constraint of the next run with smooth joins
};
