#pragma once
// Blends of texels around a point, with fractions fx, fy in 0..255 (1/256 texel). texel(dx,
// dy, bgr) reads the texel at that offset from the point's texel. Weights are integers that
// sum to exactly 65536, so a uniform texture keeps its value in every blend.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <win32/base.h>

struct BilinearWeights {
    int w00, w10, w01, w11;
    BilinearWeights(int fx, int fy) {
        w11 = fx * fy;
        w10 = fx * (256 - fy);
        w01 = (256 - fx) * fy;
        w00 = 65536 - 256 * fy - w10;
    }
};

// Channel sums (weighted, before the shift) of the 2 x 2 block whose upper-left texel is at
// (ox, oy).
template <class Texel>
void BilinearSums(Texel& texel, int ox, int oy, const BilinearWeights& w, int sum[3]) {
    BYTE c00[3], c10[3], c01[3], c11[3];
    texel(ox, oy, c00);
    texel(ox + 1, oy, c10);
    texel(ox, oy + 1, c01);
    texel(ox + 1, oy + 1, c11);
    for (int k = 0; k < 3; ++k)
        sum[k] = c00[k] * w.w00 + c10[k] * w.w10 + c01[k] * w.w01 + c11[k] * w.w11;
}

template <class Texel> void SampleBilinear(Texel& texel, int fx, int fy, BYTE* out) {
    const BilinearWeights w(fx, fy);
    int sum[3];
    BilinearSums(texel, 0, 0, w, sum);
    for (int k = 0; k < 3; ++k)
        out[k] = BYTE(sum[k] >> 16);
}

template <class Texel> void SampleSmoothed(Texel& texel, int fx, int fy, BYTE* out) {
    const BilinearWeights w(fx, fy);
    int total[3] = {0, 0, 0};
    for (int oy : {-1, 0})
        for (int ox : {-1, 0}) {
            int sum[3];
            BilinearSums(texel, ox, oy, w, sum);
            for (int k = 0; k < 3; ++k)
                total[k] += sum[k] >> 16;
        }
    for (int k = 0; k < 3; ++k)
        out[k] = BYTE(total[k] >> 2);
}

// Cubic convolution kernel, weights for offsets -1, 0, 1, 2 at t = f / 255, scaled to 65536.
inline void CubicWeights(int f, std::int64_t w[4]) {
    auto k = [](double s) {
        s = std::fabs(s);
        if (s <= 1) return s * s * s - 2 * s * s + 1;
        if (s <= 2) return -s * s * s + 5 * s * s - 8 * s + 4;
        return 0.0;
    };
    const double t = f / 255.0;
    w[0] = std::llround(k(t + 1) * 65536);
    w[1] = std::llround(k(t) * 65536);
    w[2] = std::llround(k(t - 1) * 65536);
    w[3] = 65536 - w[0] - w[1] - w[2];
}

inline int CubicClamp(std::int64_t sum) {
    return int(std::clamp<std::int64_t>(sum >> 16, 0, 255));
}

template <class Texel> void SampleBicubic(Texel& texel, int fx, int fy, BYTE* out) {
    std::int64_t wx[4], wy[4];
    CubicWeights(fx, wx);
    CubicWeights(fy, wy);
    std::int64_t col[3] = {0, 0, 0};
    for (int j = 0; j < 4; ++j) {
        std::int64_t row[3] = {0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            BYTE c[3];
            texel(i - 1, j - 1, c);
            for (int k = 0; k < 3; ++k)
                row[k] += c[k] * wx[i];
        }
        for (int k = 0; k < 3; ++k)
            col[k] += CubicClamp(row[k]) * wy[j];
    }
    for (int k = 0; k < 3; ++k)
        out[k] = BYTE(CubicClamp(col[k]));
}
