// Image processing: point operations through a lookup on each colour, neighbourhood filters
// on 24-bit copies. Ranges are clamped to the documented ones.
#include <imaging/KovaImg.h>
#include <imaging/KovaKern.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <functional>

#include "Bitmap.h"
#include "ColorReduction.h"

using namespace imaging;

namespace {

using Rgb = std::array<int, 3>;

int Clamp255(double v) {
    return v < 0 ? 0 : v > 255 ? 255 : int(v + 0.5);
}

// Applies f to every colour: the table of a palette picture, every pixel of a 24-bit one.
int PointOp(KOVABITMAP* b, const std::function<Rgb(Rgb)>& f) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    Picture p;
    if (!p.Adopt(b->dib)) return IMG_ERR_PARAM;
    auto apply = [&](BYTE& blue, BYTE& green, BYTE& red) {
        const Rgb c = f({red, green, blue});
        red = BYTE(std::clamp(c[0], 0, 255));
        green = BYTE(std::clamp(c[1], 0, 255));
        blue = BYTE(std::clamp(c[2], 0, 255));
    };
    if (p.Bits() <= 8) {
        for (int i = 0; i < TableEntries(p.Bits()); ++i)
            apply(p.Table()[i].rgbBlue, p.Table()[i].rgbGreen, p.Table()[i].rgbRed);
    } else {
        for (long y = 0; y < p.Height(); ++y) {
            BYTE* row = p.Row(y);
            for (long x = 0; x < p.Width(); ++x)
                apply(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
        }
    }
    p.Release();
    return IMG_SUCCESS;
}

// The same lookup on each channel.
int LevelOp(KOVABITMAP* b, const std::function<double(int)>& f) {
    std::array<int, 256> lut;
    for (int i = 0; i < 256; ++i)
        lut[size_t(i)] = Clamp255(f(i));
    return PointOp(b, [&](Rgb c) {
        return Rgb{lut[size_t(c[0])], lut[size_t(c[1])], lut[size_t(c[2])]};
    });
}

// A 24-bit copy of the picture's pixels, counted from the top, red first.
struct Plane {
    long w = 0, h = 0;
    std::vector<BYTE> px;
    const BYTE* At(long x, long y) const {
        x = std::clamp(x, 0L, w - 1);
        y = std::clamp(y, 0L, h - 1);
        return px.data() + (size_t(y) * size_t(w) + size_t(x)) * 3;
    }
};

bool ReadPlane(KOVABITMAP* b, Plane& out) {
    PictureView v(b->dib);
    if (!v.Valid()) return false;
    out.w = v.Width();
    out.h = v.Height();
    out.px.resize(size_t(out.w) * size_t(out.h) * 3);
    for (long y = 0; y < out.h; ++y)
        for (long x = 0; x < out.w; ++x)
            v.Rgb(v.Row(y), x, out.px.data() + (size_t(y) * size_t(out.w) + size_t(x)) * 3);
    return true;
}

// Replaces the picture with a 24-bit one whose pixels f gives.
int Filter(KOVABITMAP* b, const std::function<void(const Plane&, long, long, BYTE out[3])>& f) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    Plane src;
    if (!ReadPlane(b, src)) return IMG_ERR_PARAM;
    Picture out;
    if (const int r = out.Create(src.w, src.h, 24); r != IMG_SUCCESS) return r;
    {
        PictureView v(b->dib);
        out.Header()->biXPelsPerMeter = v.Header()->biXPelsPerMeter;
        out.Header()->biYPelsPerMeter = v.Header()->biYPelsPerMeter;
    }
    for (long y = 0; y < src.h; ++y) {
        BYTE* row = out.Row(y);
        for (long x = 0; x < src.w; ++x) {
            BYTE c[3];
            f(src, x, y, c);
            row[3 * x] = c[2];
            row[3 * x + 1] = c[1];
            row[3 * x + 2] = c[0];
        }
    }
    return Install(b, out);
}

void RgbToHsl(const Rgb& c, double& h, double& s, double& l) {
    const double r = c[0] / 255.0, g = c[1] / 255.0, bl = c[2] / 255.0;
    const double mx = std::max({r, g, bl}), mn = std::min({r, g, bl});
    l = (mx + mn) / 2;
    if (mx == mn) {
        h = s = 0;
        return;
    }
    const double d = mx - mn;
    s = l > 0.5 ? d / (2 - mx - mn) : d / (mx + mn);
    if (mx == r)
        h = (g - bl) / d + (g < bl ? 6 : 0);
    else if (mx == g)
        h = (bl - r) / d + 2;
    else
        h = (r - g) / d + 4;
    h *= 60;
}

double HueToRgb(double p, double q, double t) {
    if (t < 0) t += 1;
    if (t > 1) t -= 1;
    if (t < 1.0 / 6) return p + (q - p) * 6 * t;
    if (t < 0.5) return q;
    if (t < 2.0 / 3) return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

Rgb HslToRgb(double h, double s, double l) {
    if (s <= 0) {
        const int v = Clamp255(l * 255);
        return {v, v, v};
    }
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s, p = 2 * l - q, t = h / 360;
    return {Clamp255(HueToRgb(p, q, t + 1.0 / 3) * 255), Clamp255(HueToRgb(p, q, t) * 255),
            Clamp255(HueToRgb(p, q, t - 1.0 / 3) * 255)};
}

int Luma(const BYTE* c) {
    return (c[0] * 299 + c[1] * 587 + c[2] * 114 + 500) / 1000;
}

int OddSize(int size) {
    size = std::clamp(size, 3, 11);
    return size | 1;
}

} // namespace

int KovaBrightness(KOVABITMAP* b, int amount) {
    const double d = std::clamp(amount, -100, 100) * 2.55;
    return LevelOp(b, [d](int v) { return v + d; });
}

int KovaContrast(KOVABITMAP* b, int amount) {
    const double a = std::clamp(amount, -100, 100) / 100.0;
    const double k = a >= 0 ? 1 / std::max(0.01, 1 - a) : 1 + a;
    return LevelOp(b, [k](int v) { return (v - 127.5) * k + 127.5; });
}

int KovaHue(KOVABITMAP* b, int degrees) {
    const double turn = std::clamp(degrees, -359, 359);
    return PointOp(b, [turn](Rgb c) {
        double h, s, l;
        RgbToHsl(c, h, s, l);
        if (s == 0) return c;
        h = std::fmod(h + turn + 720, 360);
        return HslToRgb(h, s, l);
    });
}

int KovaSaturation(KOVABITMAP* b, int amount) {
    const double k = 1 + std::clamp(amount, -100, 100) / 100.0;
    return PointOp(b, [k](Rgb c) {
        const double grey = (c[0] * 299 + c[1] * 587 + c[2] * 114) / 1000.0;
        return Rgb{Clamp255(grey + (c[0] - grey) * k), Clamp255(grey + (c[1] - grey) * k),
                   Clamp255(grey + (c[2] - grey) * k)};
    });
}

int KovaInvert(KOVABITMAP* b) {
    return LevelOp(b, [](int v) { return 255 - v; });
}

int KovaGrayScale(KOVABITMAP* b) {
    return PointOp(b, [](Rgb c) {
        const int v = (c[0] * 299 + c[1] * 587 + c[2] * 114 + 500) / 1000;
        return Rgb{v, v, v};
    });
}

int KovaGamma(KOVABITMAP* b, int hundredths) {
    const double g = std::clamp(hundredths, 1, 459) / 100.0;
    return LevelOp(b, [g](int v) { return 255 * std::pow(v / 255.0, 1 / g); });
}

int KovaThreshold(KOVABITMAP* b, int level) {
    const int t = std::clamp(level, 0, 255);
    return PointOp(b, [t](Rgb c) {
        const int v = (c[0] * 299 + c[1] * 587 + c[2] * 114 + 500) / 1000 >= t ? 255 : 0;
        return Rgb{v, v, v};
    });
}

int KovaPosterize(KOVABITMAP* b, int levels) {
    const int n = std::clamp(levels, 2, 64);
    return LevelOp(b, [n](int v) { return std::floor(v * n / 256.0) * 255.0 / (n - 1); });
}

int KovaTemperature(KOVABITMAP* b, int amount) {
    const double d = std::clamp(amount, -100, 100) * 0.5;
    return PointOp(b, [d](Rgb c) { return Rgb{Clamp255(c[0] + d), c[1], Clamp255(c[2] - d)}; });
}

int KovaMosaic(KOVABITMAP* b, int cell) {
    const long n = std::clamp(cell, 2, 64);
    return Filter(b, [n](const Plane& p, long x, long y, BYTE out[3]) {
        const long x0 = x / n * n, y0 = y / n * n;
        long sum[3] = {0, 0, 0}, count = 0;
        for (long j = y0; j < std::min(p.h, y0 + n); ++j)
            for (long i = x0; i < std::min(p.w, x0 + n); ++i, ++count)
                for (int k = 0; k < 3; ++k)
                    sum[k] += p.At(i, j)[k];
        for (int k = 0; k < 3; ++k)
            out[k] = BYTE((sum[k] + count / 2) / count);
    });
}

int KovaMedian(KOVABITMAP* b, int size) {
    const long r = OddSize(size) / 2;
    return Filter(b, [r](const Plane& p, long x, long y, BYTE out[3]) {
        std::vector<BYTE> v[3];
        for (long j = -r; j <= r; ++j)
            for (long i = -r; i <= r; ++i)
                for (int k = 0; k < 3; ++k)
                    v[k].push_back(p.At(x + i, y + j)[k]);
        for (int k = 0; k < 3; ++k) {
            std::nth_element(v[k].begin(), v[k].begin() + long(v[k].size() / 2), v[k].end());
            out[k] = v[k][v[k].size() / 2];
        }
    });
}

int KovaAverage(KOVABITMAP* b, int size) {
    const long r = OddSize(size) / 2;
    return Filter(b, [r](const Plane& p, long x, long y, BYTE out[3]) {
        long sum[3] = {0, 0, 0};
        const long n = (2 * r + 1) * (2 * r + 1);
        for (long j = -r; j <= r; ++j)
            for (long i = -r; i <= r; ++i)
                for (int k = 0; k < 3; ++k)
                    sum[k] += p.At(x + i, y + j)[k];
        for (int k = 0; k < 3; ++k)
            out[k] = BYTE((sum[k] + n / 2) / n);
    });
}

int KovaSharpen(KOVABITMAP* b, int amount) {
    const double a = std::clamp(amount, -100, 100) / 100.0;
    if (a == 0) return HasPicture(b) ? IMG_SUCCESS : IMG_ERR_PARAM;
    // The picture moved away from (positive) or towards (negative) its 3 x 3 mean.
    return Filter(b, [a](const Plane& p, long x, long y, BYTE out[3]) {
        for (int k = 0; k < 3; ++k) {
            long sum = 0;
            for (long j = -1; j <= 1; ++j)
                for (long i = -1; i <= 1; ++i)
                    sum += p.At(x + i, y + j)[k];
            const double mean = sum / 9.0, v = p.At(x, y)[k];
            out[k] = BYTE(Clamp255(a > 0 ? v + (v - mean) * a * 2 : v + (mean - v) * -a));
        }
    });
}

int KovaEdgeDetect(KOVABITMAP* b) {
    return Filter(b, [](const Plane& p, long x, long y, BYTE out[3]) {
        for (int k = 0; k < 3; ++k) {
            const int gx = p.At(x + 1, y - 1)[k] + 2 * p.At(x + 1, y)[k] + p.At(x + 1, y + 1)[k] -
                           p.At(x - 1, y - 1)[k] - 2 * p.At(x - 1, y)[k] - p.At(x - 1, y + 1)[k];
            const int gy = p.At(x - 1, y + 1)[k] + 2 * p.At(x, y + 1)[k] + p.At(x + 1, y + 1)[k] -
                           p.At(x - 1, y - 1)[k] - 2 * p.At(x, y - 1)[k] - p.At(x + 1, y - 1)[k];
            out[k] = BYTE(Clamp255(std::hypot(gx, gy) / 4));
        }
    });
}

int KovaEmboss(KOVABITMAP* b, int direction, int depth) {
    static constexpr int kDx[8] = {0, 1, 1, 1, 0, -1, -1, -1}, kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
    const int d = ((direction % 8) + 8) % 8;
    const double k = std::clamp(depth, 0, 100) / 25.0;
    return Filter(b, [&](const Plane& p, long x, long y, BYTE out[3]) {
        const int a = Luma(p.At(x + kDx[d], y + kDy[d])), c = Luma(p.At(x - kDx[d], y - kDy[d]));
        const BYTE v = BYTE(Clamp255(128 + (a - c) * k));
        out[0] = out[1] = out[2] = v;
    });
}

int KovaLineDrawing(KOVABITMAP* b, int level) {
    const int t = std::clamp(level, 1, 255);
    return Filter(b, [t](const Plane& p, long x, long y, BYTE out[3]) {
        const int gx = Luma(p.At(x + 1, y)) - Luma(p.At(x - 1, y));
        const int gy = Luma(p.At(x, y + 1)) - Luma(p.At(x, y - 1));
        const BYTE v = std::abs(gx) + std::abs(gy) >= t ? 0 : 255;
        out[0] = out[1] = out[2] = v;
    });
}

int KovaOilPaint(KOVABITMAP* b, int size) {
    const long r = OddSize(size) / 2;
    // The mean colour of the most frequent brightness (in 16 steps) around each pixel.
    return Filter(b, [r](const Plane& p, long x, long y, BYTE out[3]) {
        int count[16] = {0};
        long sum[16][3] = {};
        for (long j = -r; j <= r; ++j)
            for (long i = -r; i <= r; ++i) {
                const BYTE* c = p.At(x + i, y + j);
                const int bin = Luma(c) >> 4;
                ++count[bin];
                for (int k = 0; k < 3; ++k)
                    sum[bin][k] += c[k];
            }
        const int best = int(std::max_element(count, count + 16) - count);
        for (int k = 0; k < 3; ++k)
            out[k] = BYTE(sum[best][k] / count[best]);
    });
}

int KovaColorRes(KOVABITMAP* dest, KOVABITMAP* source, int bits, int flags, void*, int colors, int,
                 int) {
    if (dest == nullptr || !HasPicture(source)) return IMG_ERR_PARAM;
    Reduction how;
    how.bits = bits;
    how.colors = colors;
    const int dither = flags & 0x70000;
    how.dither = dither == 0x70000   ? Dither::Diffusion
                 : dither == 0x10000 ? Dither::Ordered
                                     : Dither::None;
    how.palette = (flags & 8) ? PaletteKind::Fixed : PaletteKind::Optimised;
    Picture out;
    {
        PictureView v(source->dib);
        if (const int r = Reduce(v, how, out); r != IMG_SUCCESS) return r;
    }
    return Install(dest, out);
}

int KovaCombineBitmap(KOVABITMAP* dest, int x, int y, int w, int h, KOVABITMAP* source, int sx,
                      int sy, int operation) {
    if (!HasPicture(dest) || !HasPicture(source)) return IMG_ERR_PARAM;
    Plane src;
    if (!ReadPlane(source, src)) return IMG_ERR_PARAM;
    return Filter(dest, [&](const Plane& p, long px, long py, BYTE out[3]) {
        const BYTE* d = p.At(px, py);
        std::memcpy(out, d, 3);
        const long u = px - x + sx, v = py - y + sy;
        if (px < x || py < y || px >= long(x) + w || py >= long(y) + h || u < 0 || v < 0 ||
            u >= src.w || v >= src.h)
            return;
        const BYTE* s = src.At(u, v);
        for (int k = 0; k < 3; ++k) {
            switch (operation & 0xF00) {
            case 0x100:
                out[k] = std::min(d[k], s[k]);
                break;
            case 0x200:
                out[k] = std::max(d[k], s[k]);
                break;
            case 0x300:
                out[k] = BYTE((d[k] * s[k] + 127) / 255);
                break;
            default:
                out[k] = s[k];
            }
        }
    });
}
