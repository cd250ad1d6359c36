#include "rasterkit/ColorBalance.h"

#include <algorithm>
#include <cmath>

ColorTransfer ColorBalance::CT;

ColorTransfer::ColorTransfer() {
    for (int i = 0; i < 256; ++i) {
        const double f = 1.075 - 1 / (i / 16.0 + 1);
        const double f255 = 1.075 - 1 / ((255 - i) / 16.0 + 1);
        const double q = (i - 127) / 127.0;
        const double p = (1 - q * q) * 0.6666667;
        T[0][i] = f;
        T[1][i] = T[2][i] = T[3][i] = T[4][i] = p;
        T[5][i] = f255;
    }
}

namespace {

// trunc(n + amount * table[n]), clamped to 0..255.
int Shift(int n, double amount, const double* table) {
    const double v = std::trunc(n + amount * table[n]);
    if (!(v >= 1)) return 0; // also NaN
    return v > 255 ? 255 : int(v);
}

void BuildTable(BYTE* lut, double s, double m, double h) {
    const ColorTransfer& ct = ColorBalance::CT;
    for (int i = 0; i < 256; ++i) {
        int n = Shift(i, s, s > 0 ? ct.T[2] : ct.T[5]);
        n = Shift(n, m, m > 0 ? ct.T[1] : ct.T[4]);
        n = Shift(n, h, h > 0 ? ct.T[0] : ct.T[3]);
        lut[i] = BYTE(n);
    }
}

// Hue 0..255 (of 360 degrees), lightness and saturation 0..255.
void RgbToHls(int r, int g, int b, int& H, int& L, int& S) {
    const double rf = r / 255.0, gf = g / 255.0, bf = b / 255.0;
    const double mx = std::max({rf, gf, bf}), mn = std::min({rf, gf, bf});
    const double l = (mx + mn) / 2;
    double h = 0, s = 0;
    if (mx != mn) {
        const double d = mx - mn;
        s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
        if (rf == mx)
            h = (gf - bf) / d;
        else if (gf == mx)
            h = 2 + (bf - rf) / d;
        else
            h = 4 + (rf - gf) / d;
        h *= 60;
        if (h < 0) h += 360;
    }
    H = int(h * 255 / 360);
    L = int(l * 255);
    S = int(s * 255);
}

double HueValue(double n1, double n2, double hue) {
    while (hue >= 360)
        hue -= 360;
    while (hue < 0)
        hue += 360;
    if (hue < 60) return n1 + (n2 - n1) * hue / 60;
    if (hue < 180) return n2;
    if (hue < 240) return n1 + (n2 - n1) * (240 - hue) / 60;
    return n1;
}

void HlsToRgb(int H, int L, int S, int& r, int& g, int& b) {
    const double h = H * 360.0 / 255, l = L / 255.0, s = S / 255.0;
    if (S == 0) {
        r = g = b = int(l * 255);
        return;
    }
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    r = int(HueValue(m1, m2, h + 120) * 255);
    g = int(HueValue(m1, m2, h) * 255);
    b = int(HueValue(m1, m2, h - 120) * 255);
}

} // namespace

void ColorBalance::Reset() {
    m_redShadows = m_redMidtones = m_redHighlights = 0;
    m_greenShadows = m_greenMidtones = m_greenHighlights = 0;
    m_blueShadows = m_blueMidtones = m_blueHighlights = 0;
    m_bKeepLightness = 0;
    CreateLUT();
}

void ColorBalance::CreateLUT() {
    BuildTable(m_lutRed, m_redShadows, m_redMidtones, m_redHighlights);
    BuildTable(m_lutGreen, m_greenShadows, m_greenMidtones, m_greenHighlights);
    BuildTable(m_lutBlue, m_blueShadows, m_blueMidtones, m_blueHighlights);
    m_bHasEffect = 0;
    for (int i = 0; i < 256; ++i)
        if (m_lutRed[i] != i || m_lutGreen[i] != i || m_lutBlue[i] != i) m_bHasEffect = 1;
}

void ColorBalance::CalcBalance(BYTE& r, BYTE& g, BYTE& b) const {
    const int nr = m_lutRed[r], ng = m_lutGreen[g], nb = m_lutBlue[b];
    if (!m_bKeepLightness) {
        r = BYTE(nr);
        g = BYTE(ng);
        b = BYTE(nb);
        return;
    }
    int H, L, S;
    RgbToHls(nr, ng, nb, H, L, S);
    L = (std::max({r, g, b}) + std::min({r, g, b})) / 2;
    int rr, gg, bb;
    HlsToRgb(H, L, S, rr, gg, bb);
    r = BYTE(std::clamp(rr, 0, 255));
    g = BYTE(std::clamp(gg, 0, 255));
    b = BYTE(std::clamp(bb, 0, 255));
}

void ColorBalance::CalcBalance(int rgb[3]) const {
    BYTE r = BYTE(std::clamp(rgb[0], 0, 255)), g = BYTE(std::clamp(rgb[1], 0, 255)),
         b = BYTE(std::clamp(rgb[2], 0, 255));
    CalcBalance(r, g, b);
    rgb[0] = r;
    rgb[1] = g;
    rgb[2] = b;
}
