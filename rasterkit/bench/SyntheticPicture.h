#pragma once
// The benchmark picture: 4000 x 3000, 24 bits, a fixed seed. The left third runs colour
// gradients, the middle third is noise over a soft gradient, the right third holds flat
// blocks and a grey ramp.

#include <cstdint>

#include "rasterkit/CDib.h"

inline void MakeSyntheticPicture(CDib& dib, int w = 4000, int h = 3000) {
    dib.Create(w, h, 24);
    std::uint32_t state = 12345;
    auto next = [&] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int y = 0; y < h; ++y) {
        BYTE* p = dib.GetPointer(0, y);
        for (int x = 0; x < w; ++x, p += 3) {
            int r, g, b;
            if (x < w / 3) {
                r = 255 * x / (w / 3);
                g = 255 * y / h;
                b = 255 - (r + g) / 2;
            } else if (x < 2 * w / 3) {
                const int n = int(next() & 63) - 32;
                r = 128 + n + (y * 64) / h;
                g = 100 + n / 2 + (x * 50) / w;
                b = 90 - n;
            } else if (y < h / 2) {
                const int block = (x / 250) + 7 * (y / 250);
                r = (block * 53) % 256;
                g = (block * 97) % 256;
                b = (block * 31) % 256;
            } else {
                r = g = b = 255 * (x - 2 * w / 3) / (w - 2 * w / 3);
            }
            p[0] = BYTE(b < 0 ? 0 : b > 255 ? 255 : b);
            p[1] = BYTE(g < 0 ? 0 : g > 255 ? 255 : g);
            p[2] = BYTE(r < 0 ? 0 : r > 255 ? 255 : r);
        }
    }
}
