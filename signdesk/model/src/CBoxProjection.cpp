#include "model/CBoxProjection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "pathkit/CornerIterator.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"
#include "shell/BoxTransforms.h"

namespace {

// Retries stop at this fraction of the extent, and never below the absolute floor (mm), so
// that a flat or empty box still ends the retries.
constexpr double kMinAccuracyFactor = 2.5e-7;
constexpr float kMinAccuracyFloor = 1e-6f;

double Cross(double ax, double ay, double bx, double by) {
    return ax * by - ay * bx;
}

floatPoint Mapped(const floatTMatrix& m, floatPoint p) {
    m.Transform(p.x, p.y);
    return p;
}

// Marks the corners where the contour turns away from the sweep direction on both sides
// (the silhouette) as breaks and cuts the members there. Returns the number of breaks.
int SplitAtSilhouette(SubPath& sp, const floatTMatrix& m) {
    const std::uint16_t n = sp.members.Filled();
    if (!n) return 0;
    for (PathMember& pm : sp.members)
        pm.flags &= std::uint16_t(~PM_INSERTED);
    sp.intersections.Reset();
    CornerIterator it;
    it.Init(sp, 0, 0);
    int breaks = 0;
    for (;;) {
        const floatPoint p = it.Current().Point();
        const floatPoint t = Mapped(m, p);
        const floatPoint a = it.Previous().Point(), b = it.Next().Point();
        const double tx = double(t.x) - p.x, ty = double(t.y) - p.y;
        const double ca = Cross(double(a.x) - p.x, double(a.y) - p.y, tx, ty);
        const double cb = Cross(double(b.x) - p.x, double(b.y) - p.y, tx, ty);
        if (ca * cb > 0 && cb != 0) {
            Intersection is;
            is.Fill(p, it.Current().param, it.Current().member);
            sp.intersections.Append(is);
            ++breaks;
        }
        if (it.Overflow() && it.PMIndex() == unsigned(n - 1)) break;
        ++it;
    }
    if (breaks) sp.BreakApart();
    return breaks;
}

// The members b, b + 1, ... up to (not including) e, cyclically; b = e means the whole loop.
template <class F> void ForChain(std::uint16_t n, std::uint16_t b, std::uint16_t e, F&& f) {
    std::uint16_t k = b;
    do {
        f(k);
        k = std::uint16_t((k + 1) % n);
    } while (k != e);
}

// No member of the chain turns towards the sweep.
bool FacesSweep(const SubPath& sp, std::uint16_t b, std::uint16_t e, const floatTMatrix& m) {
    bool faces = true;
    ForChain(sp.members.Filled(), b, e, [&](std::uint16_t k) {
        const PathMember& pm = sp.members[k];
        const floatPoint q = Mapped(m, pm.end);
        const double c = Cross(double(pm.start.x) - q.x, double(pm.start.y) - q.y,
                               double(pm.end.x) - q.x, double(pm.end.y) - q.y);
        if (c > 0) faces = false;
    });
    return faces;
}

void AppendMember(Path& path, const PathMember& pm) {
    if (pm.IsCurve())
        path.CurveTo(pm.ctrl1, pm.ctrl2, pm.end);
    else
        path.LineTo(pm.end);
}

// The area between the chain and its image: the chain forwards, its image backwards.
void AddSideFace(const SubPath& sp, std::uint16_t b, std::uint16_t e, const floatTMatrix& m,
                 float accuracy, Path& faces) {
    const std::uint16_t n = sp.members.Filled();
    Path face(accuracy);
    face.MoveTo(sp.members[b].start);
    ForChain(n, b, e, [&](std::uint16_t k) { AppendMember(face, sp.members[k]); });
    std::uint16_t k = e;
    do {
        k = std::uint16_t((k + n - 1) % n);
        PathMember back = sp.members[k];
        back.Reverse();
        back.Transform(m);
        face.LineTo(back.start);
        AppendMember(face, back);
    } while (k != b);
    face.Close();
    face.ClosePath();
    face.Normalize();
    if (face.subPaths.Filled()) faces.Concat(face);
}

// One sweep at one accuracy; the result goes to out only when the areas could be combined.
int Sweep(const floatTMatrix& m, Path& src, Path& out, float accuracy, int subtractFlag,
          int mergeFlag) {
    Path copy(src);
    copy.SetAccuracy(accuracy);
    copy.Smooth(0);
    copy.Prepare();
    const float acc = accuracy > 0 ? accuracy : Path::DefAccuracy;
    Path faces(acc), united(acc);

    for (SubPath& sp : copy.subPaths) {
        const std::uint16_t count = sp.members.Filled();
        if (!count) continue;
        if (count == 1) {
            if (FacesSweep(sp, 0, 0, m)) AddSideFace(sp, 0, 0, m, acc, faces);
            continue;
        }
        int first = -1;
        if (SplitAtSilhouette(sp, m) > 0) {
            for (std::uint16_t i = 0; i < sp.members.Filled(); ++i)
                if (sp.members[i].IsInserted()) {
                    first = i;
                    break;
                }
        }
        const std::uint16_t n = sp.members.Filled();
        if (first < 0) {
            if (FacesSweep(sp, 0, 1, m)) AddSideFace(sp, 0, 1, m, acc, faces);
            if (FacesSweep(sp, 1, 0, m)) AddSideFace(sp, 1, 0, m, acc, faces);
            continue;
        }
        auto nextBreak = [&](std::uint16_t from) {
            std::uint16_t k = from;
            do
                k = std::uint16_t((k + 1) % n);
            while (k != from && !sp.members[k].IsInserted());
            return k;
        };
        std::uint16_t b = std::uint16_t(first), e = nextBreak(b);
        do {
            if (b == e && !sp.IsClosed()) break;
            if (FacesSweep(sp, b, e, m)) AddSideFace(sp, b, e, m, acc, faces);
            b = e;
            e = nextBreak(e);
        } while (b != std::uint16_t(first));
    }

    if (SumTo(faces, united) != 0) return -1;
    Path result(acc);
    int rc = 0;
    if (mergeFlag)
        rc = Merge(copy, united, &result);
    else if (!subtractFlag)
        result.Concat(united);
    else
        rc = Subtract(copy, united, &result);
    if (rc != 0) return rc;
    out.Concat(result);
    return 0;
}

} // namespace

CBoxProjection::CBoxProjection(const floatBBox& from, const floatBBox& to) : m_nMode(Parallel) {
    m_matrix.IdentMatrix();
    BoxTransformation(m_matrix, from, to);
    const double wFrom = double(from.right) - from.left, wTo = double(to.right) - to.left;
    if (std::fabs(wTo - wFrom) < 0.01 * std::fabs(wTo)) {
        m_ptRef = floatPoint(to.left - from.left, to.bottom - from.bottom);
    } else {
        m_nMode = Perspective;
        if (!IntersectionPoint(from.LB(), to.LB(), from.RB(), to.RB(), m_ptRef))
            m_ptRef = floatPoint(0, 0);
    }
}

float CBoxProjection::MinimumAccuracy(const Path& src) const {
    floatBBox box = src.ctrlBox, mapped = src.ctrlBox;
    TransformBBox(m_matrix, mapped);
    box += mapped;
    const double w = double(box.right) - box.left, h = double(box.top) - box.bottom;
    // A flat box (a lone line) has no smaller side to go by.
    double extent = std::min(w, h);
    if (!(extent > 0)) extent = std::max(w, h);
    float minAccuracy = float(extent * kMinAccuracyFactor);
    if (!(minAccuracy >= kMinAccuracyFloor)) minAccuracy = kMinAccuracyFloor;
    return minAccuracy;
}

int CBoxProjection::MapPath(Path& src, Path& dst, int subtractFlag, int mergeFlag) {
    const float minAccuracy = MinimumAccuracy(src);
    Path result(dst.accuracy);
    float accuracy = Path::ValidAccuracy(src.accuracy);
    for (;;) {
        if (Sweep(m_matrix, src, result, accuracy, subtractFlag, mergeFlag) == 0) break;
        if (!(accuracy > minAccuracy)) return -1;
        accuracy = std::max(accuracy * 0.1f, minAccuracy);
    }
    dst.ClosePath();
    dst.subPaths.Destroy();
    dst.Concat(result);
    dst.Prepare();
    dst.RefreshBBoxes();
    return 0;
}
