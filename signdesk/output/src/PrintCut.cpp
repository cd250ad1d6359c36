#include "output/PrintCut.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <mfc/CWinApp.h>
#include <pathkit/Path.h>
#include <plot/PlotPath.h>
#include <plot/Plotter.h>
#include <shell/BoxTransforms.h>
#include <win32/user.h>

#include "output/CPrintEngine.h"
#include "output/OutputIds.h"

void DefaultRegistrationPoints(CPrintEngine& e, floatPoint points[3]) {
    float l = e.xPosition, t = e.yPosition, w = e.blockWidth, h = e.blockHeight;
    points[0] = floatPoint(l, t + h);
    points[1] = floatPoint(l, t);
    points[2] = floatPoint(l + w, t);
}

int JogStep(float stepMM, bool ctrl, bool shift) {
    if (!(stepMM > 0)) return 0;
    int step = int(std::lround(10.0 / double(stepMM)));
    if (ctrl) step /= 10;
    if (shift) step /= 10;
    return step;
}

LONG JogTo(LONG head, LONG delta, LONG limit) {
    long long v = (long long)head + delta;
    if (v < 0) v = 0;
    if (v > limit) v = limit;
    return LONG(v);
}

floatPoint HeadReading(LONG headX, LONG headY, float stepMM, bool useLaser, double laserX,
                       double laserY) {
    double x = double(headX) * stepMM;
    double y = double(headY) * stepMM;
    if (useLaser) {
        x += laserX;
        y += laserY;
    }
    return floatPoint(float(x), float(y));
}

float DistanceRatio(const floatPoint& a1, const floatPoint& a2, const floatPoint& b1,
                    const floatPoint& b2) {
    double da = std::hypot(double(a2.x) - a1.x, double(a2.y) - a1.y);
    double db = std::hypot(double(b2.x) - b1.x, double(b2.y) - b1.y);
    double hi = std::max(da, db);
    if (!(hi > 0)) return 1.0f;
    return float(std::min(da, db) / hi);
}

int CheckCalibration(const floatPoint t[3], const floatPoint m[3], bool useLaser, double laserX,
                     double laserY) {
    double minX = useLaser ? laserX : 0.0;
    double minY = useLaser ? laserY : 0.0;
    for (int i = 0; i < 3; ++i)
        if (!(m[i].x >= minX) || !(m[i].y >= minY) || m[i].x < 0 || m[i].y < 0)
            return IDS_OUT_POINT_NOT_MEASURED;
    floatTMatrix fit;
    if (!MatrixFromThreePoints(fit, m[0], m[1], m[2], m[0], m[1], m[2]) ||
        !MatrixFromThreePoints(fit, t[0], t[1], t[2], m[0], m[1], m[2]))
        return IDS_OUT_BAD_TRIANGLE;
    if (DistanceRatio(t[0], t[1], m[0], m[1]) < 0.97f ||
        DistanceRatio(t[1], t[2], m[1], m[2]) < 0.97f)
        return IDS_OUT_DISTANCES_DIFFER;
    return 0;
}

floatTMatrix CopyCutMatrix(CPrintEngine& e, const floatTMatrix& placement,
                           const floatTMatrix& calibration, float stepMM) {
    floatTMatrix m = e.designMatrix * placement;
    // With two marks the cutter's origin is the first mark, the block's top-left corner.
    if (e.syncMarks == 2) m *= floatTMatrix(1, 0, 0, 1, -e.xPosition, -e.yPosition);
    m *= calibration;
    float s = stepMM > 0 ? 1.0f / stepMM : 0.0f;
    m *= floatTMatrix(s, 0, 0, s, 0, 0);
    return m;
}

namespace {
bool HasSubPaths(const Path* p) {
    return p && p->subPaths.Filled() > 0;
}

// The box of the path's nodes and control points through the matrix.
bool ReachesOutside(Path& path, const floatTMatrix& m, const floatBBox& clip) {
    for (SubPath& sp : path.subPaths) {
        for (PathMember& pm : sp.members) {
            floatPoint pts[4] = {pm.start, pm.end, pm.ctrl1, pm.ctrl2};
            int n = (pm.flags & 4) ? 4 : 2;
            for (int i = 0; i < n; ++i) {
                float x = pts[i].x, y = pts[i].y;
                m.Transform(x, y);
                if (x < clip.left || x > clip.right || y < clip.bottom || y > clip.top) return true;
            }
        }
    }
    return false;
}
} // namespace

CutReport CutSheetCopies(Plotter& plotter, CPrintEngine& e, const floatTMatrix& calibration,
                         int sheetIndex, bool askWhenClipped) {
    CutReport report;
    float step = plotter.GetStepSize();
    floatBBox clip(0, 0, float(plotter.GetMaxXStep()), float(plotter.GetMaxYStep()));
    std::vector<floatTMatrix> matrices;
    e.ForEachCopy(sheetIndex, [&](const floatTMatrix& placed) {
        matrices.push_back(CopyCutMatrix(e, placed, calibration, step));
    });
    report.copiesOnSheet = int(matrices.size());
    if (matrices.empty() || !(step > 0)) {
        report.result = CutResult::NothingCut;
        return report;
    }
    if (askWhenClipped) {
        bool outside = false;
        for (const floatTMatrix& m : matrices) {
            if (HasSubPaths(e.linePaths) && ReachesOutside(*e.linePaths, m, clip)) outside = true;
            if (HasSubPaths(e.outlinePaths) && ReachesOutside(*e.outlinePaths, m, clip))
                outside = true;
        }
        if (outside &&
            AfxMessageBox(IDS_OUT_CONTOURS_CLIPPED, MB_YESNO | MB_ICONQUESTION) == IDNO) {
            report.result = CutResult::NothingCut;
            return report;
        }
    }
    for (floatTMatrix& m : matrices) {
        // A file or spooler output never waits, so the drivers would not poll: ask here.
        if (plotter.IsAborted()) break;
        if (HasSubPaths(e.linePaths)) PlotPath(plotter, *e.linePaths, m, clip, 0, 0, 0, 0, nullptr);
        if (HasSubPaths(e.outlinePaths))
            PlotPath(plotter, *e.outlinePaths, m, clip, 0, 0, 0, 0, nullptr);
        if (plotter.aborted) break;
        ++report.copiesCut;
    }
    if (report.copiesCut < report.copiesOnSheet) report.result = CutResult::Aborted;
    return report;
}
