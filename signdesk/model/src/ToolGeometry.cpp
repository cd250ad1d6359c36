#include "model/ToolGeometry.h"

#include <cmath>

#include <mfc/CDC.h>
#include <pathkit/NumericToolkit.h>

void RotatePointAbout(float cx, float cy, floatPoint& p, double angle) {
    const double vx = double(p.x) - cx, vy = double(p.y) - cy;
    const double length = std::hypot(vx, vy);
    if (!(length > 0) || !std::isfinite(angle)) return;
    const double rel = VectAngle(std::cos(angle), std::sin(angle), vx, vy);
    const double c = std::cos(rel), s = std::sin(rel);
    double direction = angle;
    if (std::fabs(c) >= std::fabs(s))
        direction += c >= 0 ? 0.0 : M_PI;
    else
        direction += s > 0 ? M_PI / 2 : -M_PI / 2;
    p.x = float(cx + length * std::cos(direction));
    p.y = float(cy + length * std::sin(direction));
}

void DrawSquareMarker(CDC* pDC, int x, int y, int s) {
    pDC->Rectangle(x - s, y - s, x + s, y + s);
}

void DrawRoundMarker(CDC* pDC, int x, int y, int s) {
    pDC->Ellipse(x - s, y - s, x + s, y + s);
}
