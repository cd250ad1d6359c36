#include "rasterkit/TexturePaint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "Sampling.h"

namespace {

using i64 = std::int64_t;

// Texture coordinates of one axis under the wrap rule. Clip mode answers false outside the
// texture; neighbours read for blending in clip mode take the nearest edge texel instead.
struct Axis {
    int size;
    int wrap;

    // floor(c / size) parity decides mirroring, so tile -1 mirrors tile 0.
    int Wrap(i64 c) const {
        i64 t = c / size, m = c % size;
        if (m < 0) {
            m += size;
            --t;
        }
        if (wrap == 1 && (t & 1)) return int(size - 1 - m);
        return int(m);
    }
    bool Centre(i64 c, int& out) const {
        if (wrap == 2) {
            if (c < 0 || c >= size) return false;
            out = int(c);
            return true;
        }
        out = Wrap(c);
        return true;
    }
    int Neighbour(i64 c) const {
        if (wrap == 2) return int(std::clamp<i64>(c, 0, size - 1));
        return Wrap(c);
    }
};

} // namespace

void TexturePaint(DIBInterface& texture, floatTMatrix& m, RECT r, DIBInterface& dst, int mode) {
    const int wrap = mode & 3, sampling = mode & ~3;
    if (wrap == 3 || (sampling != 0 && sampling != 4 && sampling != 8 && sampling != 16)) return;
    PixelInterface* tex = texture.GetPixelInterface();
    PixelInterface* out = dst.GetPixelInterface();
    if (!tex || !out || texture.GetWidth() <= 0 || texture.GetHeight() <= 0) return;
    const i64 width = i64(r.right) - r.left, height = i64(r.bottom) - r.top;
    if (width <= 0 || height <= 0) return;

    // The inverse, in double precision: strong down-scales have tiny determinants.
    const double a = m.m11, b = m.m12, c = m.m21, d = m.m22, tx = m.dx, ty = m.dy;
    const double det = a * d - b * c;
    if (!std::isfinite(det) || det == 0 || !std::isfinite(tx) || !std::isfinite(ty)) return;
    auto back = [&](double x, double y, double& u, double& v) {
        x -= tx;
        y -= ty;
        u = (x * d - y * c) / det;
        v = (y * a - x * b) / det;
    };
    double u0, v0, u1, v1, u2, v2;
    back(r.left, r.top, u0, v0);
    back(r.right, r.top, u1, v1);
    back(r.left, r.bottom, u2, v2);
    // Texture coordinates stay far inside 64-bit 16.16 fixed point.
    constexpr double kLimit = 1099511627776.0; // 2^40
    for (double v : {u0, v0, u1, v1, u2, v2})
        if (!(std::fabs(v) < kLimit)) return;
    const i64 su = i64(u0 * 65536), sv = i64(v0 * 65536);
    const i64 cu = i64((u1 - u0) / double(width) * 65536), cv = i64((v1 - v0) / double(width) * 65536);
    const i64 ru = i64((u2 - u0) / double(height) * 65536),
              rv = i64((v2 - v0) / double(height) * 65536);

    const i64 left = std::max<i64>(r.left, 0), top = std::max<i64>(r.top, 0);
    const i64 right = std::min<i64>(r.right, dst.GetWidth()),
              bottom = std::min<i64>(r.bottom, dst.GetHeight());
    if (left >= right || top >= bottom) return;

    const Axis ax{texture.GetWidth(), wrap}, ay{texture.GetHeight(), wrap};
    const bool colour = dst.GetBitsPerPixel() == 24;
    i64 rowU = su + (left - r.left) * cu + (top - r.top) * ru;
    i64 rowV = sv + (left - r.left) * cv + (top - r.top) * rv;
    for (i64 y = top; y < bottom; ++y, rowU += ru, rowV += rv) {
        i64 pu = rowU, pv = rowV;
        for (i64 x = left; x < right; ++x, pu += cu, pv += cv) {
            const i64 iu = pu >> 16, iv = pv >> 16;
            int cx, cy;
            if (!ax.Centre(iu, cx) || !ay.Centre(iv, cy)) continue;
            if (!colour) {
                unsigned value;
                tex->GetPixel(cx, cy, value);
                out->SetPixel(int(x), int(y), value);
                continue;
            }
            BYTE* p = out->GetPointer(int(x), int(y));
            if (sampling == 0) {
                tex->GetRGB(cx, cy, p);
                continue;
            }
            const int fx = int((pu >> 8) & 255), fy = int((pv >> 8) & 255);
            auto texel = [&](int dx, int dy, BYTE* bgr) {
                const int px = dx == 0 ? cx : ax.Neighbour(iu + dx);
                const int py = dy == 0 ? cy : ay.Neighbour(iv + dy);
                tex->GetRGB(px, py, bgr);
            };
            if (sampling == 4)
                SampleBilinear(texel, fx, fy, p);
            else if (sampling == 8)
                SampleSmoothed(texel, fx, fy, p);
            else
                SampleBicubic(texel, fx, fy, p);
        }
    }
}
