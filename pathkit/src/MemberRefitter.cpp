#include "MemberRefitter.h"

#include <cmath>

#include "pathkit/Path.h"
#include "pathkit/PathCmd.h"

namespace {

// Beyond this many pieces of one member every further piece counts as flat, so that an
// accuracy below the float resolution of the coordinates cannot run away.
constexpr unsigned MaxPieces = 1u << 14;

} // namespace

MemberRefitter::MemberRefitter(float accuracy)
    : floatBez3Base(Path::ValidAccuracy(accuracy)), fitter(Path::ValidAccuracy(accuracy), 0, 0),
      fed(false), pieces(0) {}

int MemberRefitter::CheckOutput(floatPoint& p0, floatPoint& mid, floatPoint& p3) {
    if (pieces >= MaxPieces) return 1;
    return floatBez3Base::CheckOutput(p0, mid, p3);
}

void MemberRefitter::Output(floatPoint&, floatPoint&, floatPoint&, floatPoint& p3) {
    ++pieces;
    AddPoint(p3);
}

void MemberRefitter::AddPoint(const floatPoint& p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    SmoothRec* last = fitter.points.last();
    // A full array keeps its last slot for the newest point, so the run still ends where the
    // members end.
    if (last && fitter.points.IsFull()) {
        last->x = p.x;
        last->y = p.y;
        return;
    }
    fitter.AddPoint(fed ? PC_LINETO : PC_MOVETO, p.x, p.y);
}

void MemberRefitter::Feed(const PathMember& m) {
    if (!fed) {
        AddPoint(m.start);
        fed = true;
    }
    if (m.IsCurve()) {
        pieces = 0;
        CalcCurve(m.start, m.ctrl1, m.ctrl2, m.end, 0);
    } else {
        AddPoint(m.end);
    }
}

bool MemberRefitter::Fit(PathMember& out) {
    std::uint16_t n = fitter.points.Filled();
    if (!n) return false;
    fitter.CalcLen();
    floatPoint c1, c2;
    fitter.FitBez3(0, n - 1u, c1, c2);
    out.start.Fill(fitter.points[0].x, fitter.points[0].y);
    out.end.Fill(fitter.points[std::uint16_t(n - 1)].x, fitter.points[std::uint16_t(n - 1)].y);
    out.ctrl1 = c1;
    out.ctrl2 = c2;
    out.flags = PM_CURVE;
    fitter.points.Reset();
    fitter.haveFirstCmd = false;
    fed = false;
    return true;
}
