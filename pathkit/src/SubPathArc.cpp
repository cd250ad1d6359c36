#include "pathkit/SubPathArc.h"

#include <cmath>

#include "pathkit/PathMember.h"
#include "pathkit/SubPath.h"

namespace {

// Pieces per radian: one per 90.1 degrees (1.5725416560468908 rad).
constexpr double PiecesPerRadian = 0.6359132021429781;
constexpr double MinSweep = 0.0001;

floatPoint OnCircle(const floatPoint& c, double r, double a) {
    return floatPoint(float(c.x + r * std::cos(a)), float(c.y + r * std::sin(a)));
}

} // namespace

void Arc(const floatPoint& centre, float radius, float fromAngle, float toAngle, SubPath& sp) {
    double sweep = double(toAngle) - double(fromAngle);
    if (!(std::fabs(sweep) >= MinSweep) || !std::isfinite(sweep)) return;
    if (!std::isfinite(centre.x) || !std::isfinite(centre.y) || !std::isfinite(radius)) return;
    double pieces = std::ceil(std::fabs(sweep) * PiecesPerRadian);
    if (!(pieces <= double(PathMemberDynArr::DefaultLimit - sp.members.Filled())))
        throw PathMemberEDynArr::LimitCheck();
    unsigned n = unsigned(pieces);

    // Built aside and added at once, so a failing array adds nothing.
    PathMemberDynArr arc{std::uint16_t(n)};
    double r = radius, step = sweep / n, from = fromAngle;
    double h = r * step / 3;
    floatPoint p = OnCircle(centre, r, from);
    for (unsigned k = 0; k < n; ++k) {
        double b = from + k * step;
        double e = k + 1 == n ? double(toAngle) : b + step;
        floatPoint q = OnCircle(centre, r, e);
        PathMember* m = arc.Append();
        m->flags = PM_CURVE | PM_SMOOTH | PM_CHANGED;
        m->start = p;
        m->end = q;
        m->ctrl1.Fill(float(p.x - h * std::sin(b)), float(p.y + h * std::cos(b)));
        m->ctrl2.Fill(float(q.x + h * std::sin(e)), float(q.y - h * std::cos(e)));
        p = q;
    }
    sp.members += arc;
    sp.Invalidate(SP_ALL_INVALID);
}
