// Turning and shearing pictures: every target pixel takes the source pixel under its centre.
#include <imaging/KovaKern.h>

#include <cmath>
#include <cstring>

#include "Bitmap.h"

using namespace imaging;

namespace {

// The value that fills uncovered pixels: the colour, or the nearest entry of the table.
int FillValue(const PictureView& v, COLORREF fill) {
    if (v.Bits() == 24) return int(fill & 0xFFFFFF);
    const int r = GetRValue(fill), g = GetGValue(fill), b = GetBValue(fill);
    int best = 0;
    long bestD = -1;
    for (int i = 0; i < TableEntries(v.Bits()); ++i) {
        const RGBQUAD& q = v.Table()[i];
        const long d = long(q.rgbRed - r) * (q.rgbRed - r) +
                       long(q.rgbGreen - g) * (q.rgbGreen - g) +
                       long(q.rgbBlue - b) * (q.rgbBlue - b);
        if (bestD < 0 || d < bestD) bestD = d, best = i;
    }
    return best;
}

// value: a table index, or for 24 bits a COLORREF.
void Put(BYTE* row, long x, int bits, int value) {
    if (bits == 24) {
        row[3 * x] = GetBValue(COLORREF(value));
        row[3 * x + 1] = GetGValue(COLORREF(value));
        row[3 * x + 2] = GetRValue(COLORREF(value));
    } else {
        SetIndex(row, x, bits, value);
    }
}

void Copy(const PictureView& v, const BYTE* src, long sx, BYTE* dst, long dx) {
    if (v.Bits() == 24)
        std::memcpy(dst + 3 * dx, src + 3 * sx, 3);
    else
        SetIndex(dst, dx, v.Bits(), GetIndex(src, sx, v.Bits()));
}

// Makes the target of w x h and fills it through map(x, y, sx, sy) -> covered.
template <class Map> int Resample(KOVABITMAP* b, long w, long h, COLORREF fill, Map map) {
    PictureView v(b->dib);
    if (!v.Valid()) return IMG_ERR_PARAM;
    Picture out;
    if (const int r = out.Create(w, h, v.Bits()); r != IMG_SUCCESS) return r;
    std::memcpy(out.Table(), v.Table(), size_t(TableEntries(v.Bits())) * sizeof(RGBQUAD));
    out.Header()->biXPelsPerMeter = v.Header()->biXPelsPerMeter;
    out.Header()->biYPelsPerMeter = v.Header()->biYPelsPerMeter;
    const int fillValue = FillValue(v, fill);
    for (long y = 0; y < h; ++y) {
        BYTE* row = out.Row(y);
        for (long x = 0; x < w; ++x) {
            long sx, sy;
            if (map(x, y, sx, sy) && sx >= 0 && sy >= 0 && sx < v.Width() && sy < v.Height())
                Copy(v, v.Row(sy), sx, row, x);
            else
                Put(row, x, v.Bits(), fillValue);
        }
    }
    v.Open(HGLOBAL(nullptr));
    return Install(b, out);
}

} // namespace

int KovaRotateBitmapFine(KOVABITMAP* b, int hundredths, int, COLORREF fill) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    const long W = b->width, H = b->height;
    int turn = hundredths % 36000;
    if (turn < 0) turn += 36000;
    if (turn == 0) return IMG_SUCCESS;
    // Quarter turns, exactly (clockwise as seen: the top row becomes the right column).
    if (turn % 9000 == 0) {
        const int q = turn / 9000;
        const long w = q == 2 ? W : H, h = q == 2 ? H : W;
        return Resample(b, w, h, fill, [&](long x, long y, long& sx, long& sy) {
            if (q == 1)
                sx = y, sy = H - 1 - x;
            else if (q == 2)
                sx = W - 1 - x, sy = H - 1 - y;
            else
                sx = W - 1 - y, sy = x;
            return true;
        });
    }
    const double a = turn * 3.14159265358979323846 / 18000.0, c = std::cos(a), s = std::sin(a);
    const long w = std::lround(std::fabs(W * c) + std::fabs(H * s));
    const long h = std::lround(std::fabs(W * s) + std::fabs(H * c));
    if (w < 1 || h < 1 || double(w) * double(h) > 268435456.0) return IMG_ERR_TOO_LARGE;
    // Image coordinates run down: a clockwise turn as seen is x' = x c - y s, y' = x s + y c.
    return Resample(b, w, h, fill, [&](long x, long y, long& sx, long& sy) {
        const double dx = x + 0.5 - w / 2.0, dy = y + 0.5 - h / 2.0;
        const double ux = dx * c + dy * s + W / 2.0, uy = -dx * s + dy * c + H / 2.0;
        sx = long(std::floor(ux));
        sy = long(std::floor(uy));
        return ux >= 0 && uy >= 0;
    });
}

int KovaRotateBitmap(KOVABITMAP* b, int degrees, int flags) {
    return KovaRotateBitmapFine(b, (degrees % 360) * 100, flags & 1, RGB(255, 255, 255));
}

int KovaShearBitmap(KOVABITMAP* b, int hundredths, int horizontal, COLORREF fill) {
    if (!HasPicture(b)) return IMG_ERR_PARAM;
    if (hundredths < -4500 || hundredths > 4500) return IMG_ERR_PARAM;
    if (hundredths == 0) return IMG_SUCCESS;
    const long W = b->width, H = b->height;
    const double t = std::tan(hundredths * 3.14159265358979323846 / 18000.0);
    if (horizontal) {
        // Row y (from the top) moves right by (H - y) t.
        const long extra = std::lround(std::fabs(t) * H);
        return Resample(b, W + extra, H, fill, [&](long x, long y, long& sx, long& sy) {
            const double shift = t > 0 ? (H - 0.5 - y) * t : (y + 0.5) * -t;
            const double ux = x + 0.5 - shift;
            sx = long(std::floor(ux));
            sy = y;
            return ux >= 0;
        });
    }
    // Column x moves down by x t.
    const long extra = std::lround(std::fabs(t) * W);
    return Resample(b, W, H + extra, fill, [&](long x, long y, long& sx, long& sy) {
        const double shift = t > 0 ? (x + 0.5) * t : (W - 0.5 - x) * -t;
        const double uy = y + 0.5 - shift;
        sx = x;
        sy = long(std::floor(uy));
        return uy >= 0;
    });
}
