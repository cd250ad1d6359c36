// Refitting contours through their drawn points.

#include <cmath>

#include "pathkit/Bez3Engines.h"
#include "pathkit/Path.h"
#include "pathkit/PathFitter.h"
#include "pathkit/SubPath.h"

namespace {

// Feeds the end of every flat piece of a curve to the fitter.
class CurvePoints : public floatBez3Base {
public:
    CurvePoints(float tol, PathFitter& fitter) : floatBez3Base(tol), fitter(fitter) {}

    void Output(floatPoint&, floatPoint&, floatPoint&, floatPoint& p3) override {
        fitter.AddPoint(PC_LINETO, p3.x, p3.y);
    }

private:
    PathFitter& fitter;
};

} // namespace

void SubPath::Smooth(float tol, int a, int b) {
    if (members.Filled() < 2) return;
    if (!(tol > 0) || !std::isfinite(tol)) tol = accuracy;

    // The fitter works within twice its path's accuracy.
    Path out(tol);
    PathFitter fitter(out, a, b);
    CurvePoints curve(tol, fitter);
    fitter.AddPoint(PC_MOVETO, members[0].start.x, members[0].start.y);
    for (const PathMember& m : members) {
        if (m.IsCurve()) {
            curve.CalcCurve(m.start, m.ctrl1, m.ctrl2, m.end, 0);
        } else {
            fitter.AddPoint(PC_LINETO, m.end.x, m.end.y);
        }
    }
    fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
    out.ClosePath();

    // Points that are not numbers are dropped by the fitter; with nothing left the contour
    // stays as it was.
    if (out.subPaths.Filled() && out.subPaths[0].members.Filled())
        members = out.subPaths[0].members;
    Invalidate(SP_ALL_INVALID);
}

void Path::Smooth(float tol) {
    if (!(tol > 0)) tol = accuracy;
    for (SubPath& sp : subPaths)
        sp.Smooth(tol, 0, 0);
}
