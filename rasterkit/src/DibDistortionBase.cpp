#include "rasterkit/DibDistortionBase.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "Sampling.h"
#include "TriangleScan.h"

namespace {

struct Corner {
    double sx, sy; // source pixels
    double dx, dy; // destination pixels
    bool ok;
};

// The affine map from destination to source through three point pairs, by Gauss-Jordan
// elimination with partial pivoting on [dx dy 1 | sx sy]. False when a pivot is below 1e-20.
bool FitAffine(const Corner* p[3], double out[6]) {
    double m[3][5];
    for (int i = 0; i < 3; ++i) {
        m[i][0] = p[i]->dx;
        m[i][1] = p[i]->dy;
        m[i][2] = 1;
        m[i][3] = p[i]->sx;
        m[i][4] = p[i]->sy;
    }
    for (int col = 0; col < 3; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 3; ++r)
            if (std::fabs(m[r][col]) > std::fabs(m[pivot][col])) pivot = r;
        if (!(std::fabs(m[pivot][col]) >= 1e-20)) return false;
        std::swap(m[col], m[pivot]);
        const double inv = 1 / m[col][col];
        for (int k = col; k < 5; ++k)
            m[col][k] *= inv;
        for (int r = 0; r < 3; ++r) {
            if (r == col) continue;
            const double f = m[r][col];
            for (int k = col; k < 5; ++k)
                m[r][k] -= f * m[col][k];
        }
    }
    // sx = a dx + b dy + c, sy = d dx + e dy + f
    out[0] = m[0][3];
    out[1] = m[1][3];
    out[2] = m[2][3];
    out[3] = m[0][4];
    out[4] = m[1][4];
    out[5] = m[2][4];
    return std::all_of(out, out + 6, [](double v) { return std::isfinite(v); });
}

// Rounded to 1/256 pixel; false when out of the scan's range.
bool ToFixed(const Corner& c, FixedPoint& f) {
    const double lim = double(kScanLimit);
    const double x = c.dx * 256, y = c.dy * 256;
    if (!(std::fabs(x) < lim && std::fabs(y) < lim)) return false;
    f = FixedPoint{std::llround(x), std::llround(y)};
    return true;
}

} // namespace

void DibDistortionBase::TransformPoint(floatPoint&) {}

void DibDistortionBase::Transform(DIBInterface& src, floatBBox& box, DIBInterface& dst, int stepX,
                                  int stepY, int smooth) {
    PixelInterface* in = src.GetPixelInterface();
    PixelInterface* out = dst.GetPixelInterface();
    if (!in || !out) return;
    const int w = src.GetWidth(), h = src.GetHeight();
    m_srcWidth = w;
    m_srcHeight = h;
    m_dstWidth = dst.GetWidth();
    m_dstHeight = dst.GetHeight();
    m_stepX = std::max(stepX, 1);
    m_stepY = std::max(stepY, 1);
    m_srcBox = box;

    // Pixel (0, 0) to the box's left-top corner, (w, h) to its right-bottom: design y grows
    // upward, pixel rows downward.
    m_toBox.BoxTransformation(0, 0, float(w), float(h), box.left, box.top, box.right, box.bottom);

    const int nx = (w + m_stepX - 1) / m_stepX, ny = (h + m_stepY - 1) / m_stepY;
    std::vector<Corner> grid;
    try {
        grid.resize(std::size_t(nx + 1) * std::size_t(ny + 1));
    } catch (const std::bad_alloc&) {
        return; // a grid too fine for the memory there is: nothing drawn
    }
    auto at = [&](int i, int j) -> Corner& { return grid[std::size_t(j) * (nx + 1) + i]; };
    bool any = false;
    for (int j = 0; j <= ny; ++j)
        for (int i = 0; i <= nx; ++i) {
            Corner& c = at(i, j);
            c.sx = std::min(i * m_stepX, w);
            c.sy = std::min(j * m_stepY, h);
            floatPoint p(float(c.sx), float(c.sy));
            m_toBox.Transform(p.x, p.y);
            TransformPoint(p);
            c.ok = std::isfinite(p.x) && std::isfinite(p.y);
            c.dx = p.x;
            c.dy = p.y;
            if (!c.ok) continue;
            if (!any)
                m_warpedBox = p;
            else
                m_warpedBox += p;
            any = true;
        }
    if (!any) return;

    m_toDest.BoxTransformation(m_warpedBox.left, m_warpedBox.top, m_warpedBox.right,
                               m_warpedBox.bottom, 0, 0, float(m_dstWidth), float(m_dstHeight));
    for (Corner& c : grid)
        if (c.ok) {
            float x = float(c.dx), y = float(c.dy);
            m_toDest.Transform(x, y);
            c.dx = x;
            c.dy = y;
            c.ok = std::isfinite(x) && std::isfinite(y);
        }

    const bool colour = dst.GetBitsPerPixel() == 24;
    auto draw = [&](const Corner* tri[3]) {
        double f[6];
        FixedPoint v[3];
        if (!FitAffine(tri, f)) return;
        for (int k = 0; k < 3; ++k)
            if (!ToFixed(*tri[k], v[k])) return;
        m_triangle.Init(float(f[0]), float(f[3]), float(f[1]), float(f[4]), float(f[2]),
                        float(f[5]));
        ScanTriangle(v[0], v[1], v[2], m_dstWidth, m_dstHeight, [&](int x, int y) {
            const double cx = x + 0.5, cy = y + 0.5;
            const double sx = f[0] * cx + f[1] * cy + f[2], sy = f[3] * cx + f[4] * cy + f[5];
            // The texel under the centre, robust to rounding at exact texel edges.
            const std::int64_t nx1024 = std::llround(sx * 1024), ny1024 = std::llround(sy * 1024);
            const std::int64_t ix = nx1024 >> 10, iy = ny1024 >> 10;
            if (ix < 0 || ix >= w || iy < 0 || iy >= h) return;
            if (!colour) {
                unsigned value;
                in->GetPixel(int(ix), int(iy), value);
                out->SetPixel(x, y, value);
                return;
            }
            BYTE* p = out->GetPointer(x, y);
            if (!smooth) {
                in->GetRGB(int(ix), int(iy), p);
                return;
            }
            // Bilinear between texel centres; neighbours past the edge repeat the edge.
            const std::int64_t bx = std::llround((sx - 0.5) * 256),
                               by = std::llround((sy - 0.5) * 256);
            const std::int64_t tx = bx >> 8, ty = by >> 8;
            auto texel = [&](int ox, int oy, BYTE* bgr) {
                in->GetRGB(int(std::clamp<std::int64_t>(tx + ox, 0, w - 1)),
                           int(std::clamp<std::int64_t>(ty + oy, 0, h - 1)), bgr);
            };
            SampleBilinear(texel, int(bx & 255), int(by & 255), p);
        });
    };

    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const Corner &c00 = at(i, j), &c10 = at(i + 1, j), &c01 = at(i, j + 1),
                         &c11 = at(i + 1, j + 1);
            if (!c00.ok || !c10.ok || !c01.ok || !c11.ok) continue;
            const Corner* upper[3] = {&c00, &c10, &c01};
            const Corner* lower[3] = {&c11, &c10, &c01};
            draw(upper);
            draw(lower);
        }
}
