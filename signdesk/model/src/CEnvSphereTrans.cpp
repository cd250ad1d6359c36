#include "model/CEnvSphereTrans.h"

#include <cmath>

CEnvSphereTrans::CEnvSphereTrans(float accuracy, int stepFactor, int fitA, int fitB)
    : NonLinearTrans(accuracy, stepFactor, fitA, fitB) {}

int CEnvSphereTrans::SetPatch(const floatBBox& box, const PathMember& bottom,
                              const PathMember& right, const PathMember& top,
                              const PathMember& left) {
    m_box = box;
    floatPoint(&g)[4][4] = m_grid;
    g[0][0] = bottom.start;
    g[0][1] = bottom.ctrl1;
    g[0][2] = bottom.ctrl2;
    g[0][3] = bottom.end;
    g[3][0] = top.start;
    g[3][1] = top.ctrl1;
    g[3][2] = top.ctrl2;
    g[3][3] = top.end;
    g[1][0] = left.ctrl1;
    g[2][0] = left.ctrl2;
    g[1][3] = right.ctrl1;
    g[2][3] = right.ctrl2;
    g[1][1] = g[0][1] + g[1][0] - g[0][0];
    g[1][2] = g[1][3] + g[0][2] - g[0][3];
    g[2][1] = g[3][1] + g[2][0] - g[3][0];
    g[2][2] = g[2][3] + g[3][2] - g[3][3];
    return 1;
}

namespace {
void Bernstein(double t, double w[4]) {
    const double s = 1 - t;
    w[0] = s * s * s;
    w[1] = 3 * t * s * s;
    w[2] = 3 * t * t * s;
    w[3] = t * t * t;
}
} // namespace

void CEnvSphereTrans::TransformPoint(floatPoint& p) {
    const double w = double(m_box.right) - m_box.left;
    const double h = double(m_box.top) - m_box.bottom;
    if (w == 0 || h == 0 || !std::isfinite(w) || !std::isfinite(h)) return;
    double bu[4], bv[4];
    Bernstein((p.x - double(m_box.left)) / w, bu);
    Bernstein((p.y - double(m_box.bottom)) / h, bv);
    double x = 0, y = 0;
    for (int r = 0; r < 4; ++r) {
        double rx = 0, ry = 0;
        for (int c = 0; c < 4; ++c) {
            rx += bu[c] * m_grid[r][c].x;
            ry += bu[c] * m_grid[r][c].y;
        }
        x += bv[r] * rx;
        y += bv[r] * ry;
    }
    p.x = float(x);
    p.y = float(y);
}
