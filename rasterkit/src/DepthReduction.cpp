#include "rasterkit/DepthReduction.h"

#include "rasterkit/CDib.h"

namespace {

// The 16 standard colours as red, green, blue.
constexpr BYTE kStandard16[16][3] = {
    {0, 0, 0},     {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128}, {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0}, {255, 255, 0},
    {0, 0, 255},   {255, 0, 255},   {0, 255, 255},   {255, 255, 255},
};

unsigned Nearest16(const int rgb[3]) {
    unsigned best = 0;
    long bestDistance = -1;
    for (unsigned i = 0; i < 16; ++i) {
        long d = 0;
        for (int c = 0; c < 3; ++c) {
            const long diff = rgb[c] - kStandard16[i][c];
            d += diff * diff;
        }
        if (bestDistance < 0 || d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

} // namespace

void* ReduceColourDepth(DIBInterface& src, int bits) {
    const int w = src.GetWidth(), h = src.GetHeight();
    if (w < 1 || h < 1 || src.GetBits() == nullptr) return nullptr;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return nullptr;
    CDib out;
    if (!out.Create(w, h, bits)) return nullptr;
    if (bits == 8) {
        // The built-in table comes with the 8-bit bitmap.
        DIBInterface::FSDither(src, out, 0, 0, 0, 0);
        return out.ChangeToDIB();
    }
    RGBQUAD* table = out.GetColorTab();
    if (bits == 4)
        for (int i = 0; i < 16; ++i)
            table[i] = RGBQUAD{kStandard16[i][2], kStandard16[i][1], kStandard16[i][0], 0};
    if (bits == 1) {
        table[0] = RGBQUAD{0, 0, 0, 0};
        table[1] = RGBQUAD{255, 255, 255, 0};
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int rgb[3] = {0, 0, 0};
            src.GetPixel(x, y, rgb);
            unsigned v = 0;
            if (bits == 24)
                v = unsigned(rgb[2]) | (unsigned(rgb[1]) << 8) | (unsigned(rgb[0]) << 16);
            else if (bits == 4)
                v = Nearest16(rgb);
            else
                v = (rgb[0] * 299 + rgb[1] * 587 + rgb[2] * 114) >= 128 * 1000 ? 1 : 0;
            out.SetPixel(x, y, v);
        }
    return out.ChangeToDIB();
}
