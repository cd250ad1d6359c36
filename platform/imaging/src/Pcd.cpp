// Photo CD image pacs: the base image (768 x 512) only. "PCD_IPI" at 0x800; the low two bits
// of the byte at 0xE02 turn the picture (1 a quarter left, 2 a half, 3 a quarter right); the
// base image at 0x30000 holds pairs of rows: two rows of luma (768 bytes each), then one row
// of each chroma (384 bytes), so chroma is halved both ways. PhotoYCC to RGB, reference white
// at luma 188: R = 1.3584 Y + 1.8215 (C2 - 137), G = 1.3584 Y - 0.4303 (C1 - 156)
// - 0.9271 (C2 - 137), B = 1.3584 Y + 2.2179 (C1 - 156), clamped to 0 .. 255. The higher
// resolutions follow in encodings that are not published and are not read.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "Codec.h"
#include "Limits.h"

namespace imaging {
namespace {

constexpr SIZE_T kSignature = 0x800;
constexpr SIZE_T kRotation = 0xE02;
constexpr SIZE_T kBase = 0x30000;
constexpr long kWidth = 768, kHeight = 512;
constexpr SIZE_T kBaseBytes = SIZE_T(kWidth) * kHeight * 3 / 2;

BYTE Clamp(double v) {
    return BYTE(std::lround(std::clamp(v, 0.0, 255.0)));
}

} // namespace

bool IsPcd(const BYTE* d, SIZE_T size) {
    return size >= kSignature + 7 && std::memcmp(d + kSignature, "PCD_IPI", 7) == 0;
}

int InfoPcd(const BYTE* d, SIZE_T size, ImageInfo& info) {
    info.format = IMG_PCD;
    info.bits = 24;
    const int turn = size > kRotation ? d[kRotation] & 3 : 0;
    info.width = turn % 2 ? kHeight : kWidth;
    info.height = turn % 2 ? kWidth : kHeight;
    if (size < kBase + kBaseBytes) return IMG_ERR_DAMAGED;
    return IMG_SUCCESS;
}

int DecodePcd(const BYTE* d, SIZE_T size, Picture& out) {
    ImageInfo info;
    if (const int r = InfoPcd(d, size, info); r != IMG_SUCCESS) return r;
    if (const int r = out.Create(info.width, info.height, 24, false); r != IMG_SUCCESS) return r;
    const int turn = d[kRotation] & 3;
    for (long pair = 0; pair < kHeight / 2; ++pair) {
        const BYTE* rows = d + kBase + SIZE_T(pair) * SIZE_T(kWidth) * 3;
        const BYTE* c1 = rows + 2 * kWidth;
        const BYTE* c2 = c1 + kWidth / 2;
        for (int k = 0; k < 2; ++k) {
            const long y = 2 * pair + k;
            const BYTE* luma = rows + k * kWidth;
            for (long x = 0; x < kWidth; ++x) {
                const double l = 1.3584 * luma[x];
                const double u = int(c1[x / 2]) - 156, v = int(c2[x / 2]) - 137;
                // Where (x, y) of the stored picture lands after the turn.
                long tx = x, ty = y;
                if (turn == 1) tx = y, ty = kWidth - 1 - x;
                if (turn == 2) tx = kWidth - 1 - x, ty = kHeight - 1 - y;
                if (turn == 3) tx = kHeight - 1 - y, ty = x;
                BYTE* p = out.Row(ty) + 3 * tx;
                p[2] = Clamp(l + 1.8215 * v);
                p[1] = Clamp(l - 0.4303 * u - 0.9271 * v);
                p[0] = Clamp(l + 2.2179 * u);
            }
        }
    }
    return IMG_SUCCESS;
}

} // namespace imaging
