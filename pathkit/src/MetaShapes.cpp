// Outlines shared by the metafile readers.

#include "MetaShapes.h"

#include <cmath>
#include <numbers>

namespace metashapes {

void Ellipse(Path& path, float left, float top, float right, float bottom) {
    const double k = 0.7071067811865475, c = 0.39052429175126996;
    double cx = (double(left) + right) / 2, cy = (double(top) + bottom) / 2;
    double a = (double(right) - left) / 2, b = (double(bottom) - top) / 2;
    // Nodes at 45, 135, 225, 315 degrees (y down); the tangent's signs at each.
    const int nx[4] = {1, -1, -1, 1}, ny[4] = {1, 1, -1, -1};
    const int tx[4] = {-1, -1, 1, 1}, ty[4] = {1, -1, -1, 1};
    path.Append(PC_MOVETO, float(cx + nx[0] * k * a), float(cy + ny[0] * k * b));
    for (int i = 0; i < 4; ++i) {
        int j = (i + 1) % 4;
        path.Append(
            float(cx + nx[i] * k * a + tx[i] * c * a), float(cy + ny[i] * k * b + ty[i] * c * b),
            float(cx + nx[j] * k * a - tx[j] * c * a), float(cy + ny[j] * k * b - ty[j] * c * b),
            float(cx + nx[j] * k * a), float(cy + ny[j] * k * b));
    }
    path.ClosePath();
}

bool ArcOfBox(Path& path, float left, float top, float right, float bottom, float xs, float ys,
              float xe, float ye) {
    double w = double(right) - left, h = double(bottom) - top;
    if (w == 0 || !std::isfinite(w) || !std::isfinite(h)) return false;
    double cx = (double(left) + right) / 2, cy = (double(top) + bottom) / 2;
    double r = w / 2, yscale = h / w;
    auto angle = [&](double x, double y) {
        double dy = yscale != 0 ? (y - cy) / yscale : 0;
        return std::atan2(dy, x - cx);
    };
    double a0 = angle(xs, ys), a1 = angle(xe, ye);
    if (a1 < a0)
        Arc(path, float(cx), float(cy), float(r), a1, a0, float(yscale));
    else
        Arc(path, float(cx), float(cy), float(r), a0 + 2 * std::numbers::pi, a1, float(yscale));
    return true;
}

void Rect(Path& path, float left, float top, float right, float bottom) {
    path.Append(PC_MOVETO, left, top);
    path.Append(right, top);
    path.Append(right, bottom);
    path.Append(left, bottom);
    path.Append(left, top);
    path.ClosePath();
}

void RoundRect(Path& path, float left, float top, float right, float bottom, float cw, float ch) {
    if (cw == 0 || ch == 0 || !std::isfinite(cw) || !std::isfinite(ch)) {
        Rect(path, left, top, right, bottom);
        return;
    }
    const double pi = std::numbers::pi;
    float r = std::fabs(cw), ys = std::fabs(ch / cw);
    float l = std::fmin(left, right), rt = std::fmax(left, right), t = std::fmin(top, bottom),
          b = std::fmax(top, bottom);
    float ry = r * ys;
    // Clockwise on screen from the top edge (y down: angles grow clockwise).
    path.Append(PC_MOVETO, l + r, t);
    path.Append(rt - r, t);
    Arc(path, rt - r, t + ry, r, -pi / 2, 0, ys);
    path.Append(rt, b - ry);
    Arc(path, rt - r, b - ry, r, 0, pi / 2, ys);
    path.Append(l + r, b);
    Arc(path, l + r, b - ry, r, pi / 2, pi, ys);
    path.Append(l, t + ry);
    Arc(path, l + r, t + ry, r, pi, 3 * pi / 2, ys);
    path.ClosePath();
}

void CloseFigure(Path& path) {
    const auto& members = path.building.members;
    if (!members.Filled()) return;
    floatPoint first = members[0].start, last = path.LastPoint();
    if (first.x != last.x || first.y != last.y) path.Append(first.x, first.y);
}

} // namespace metashapes
