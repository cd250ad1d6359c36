#include "pathkit/NonLinearTrans.h"

NonLinearTrans::NonLinearTrans(float accuracy, int stepFactor, int fitA, int fitB)
    : PMSlicer(Path::ValidAccuracy(accuracy), float(stepFactor) * Path::ValidAccuracy(accuracy)),
      havePoint(0), output(Path::ValidAccuracy(accuracy)), fitter(output, fitA, fitB) {}

NonLinearTrans::~NonLinearTrans() = default;

int NonLinearTrans::Break(SubPath&, unsigned) {
    return 0;
}

void NonLinearTrans::TransformPoint(floatPoint&) {}

void NonLinearTrans::PointOutput(floatPoint& p) {
    if (havePoint && p == lastPoint) return;
    floatPoint mapped = p;
    TransformPoint(mapped);
    fitter.AddPoint(havePoint ? PC_LINETO : PC_MOVETO, mapped.x, mapped.y);
    havePoint = 1;
    lastPoint = p;
}

void NonLinearTrans::Transform(SubPath& sp) {
    std::uint16_t n = sp.members.Filled();
    if (!n) return;
    // Also drops what a cancelled transformation left behind.
    output.subPaths.Destroy();
    output.building.Destroy();
    output.curveState = 0;
    fitter.points.Reset();
    fitter.haveFirstCmd = false;
    havePoint = 0;

    for (std::uint16_t i = 0; i < n; ++i) {
        if (Break(sp, i)) fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
        PathMember member = sp.members[i];
        CalcCornersFrom(member);
    }
    fitter.AddPoint(Bez3FitBase::EndRun, 0, 0);
    output.ClosePath();

    if (output.subPaths.Filled()) {
        sp = output.subPaths[0]; // takes the buffers over
    } else {
        sp.Destroy();
        sp.Invalidate(SP_ALL_INVALID);
    }
    output.subPaths.Destroy();
}

void NonLinearTrans::Transform(Path& path) {
    if (&path == &output) return;
    for (SubPath& sp : path.subPaths)
        Transform(sp);
}
