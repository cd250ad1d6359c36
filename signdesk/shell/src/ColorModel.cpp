#include "shell/ColorModel.h"

namespace {

constexpr double kByteToUnit = 0.00392156862745098;   // 1/255
constexpr double kByteToDegrees = 1.4117647058823528; // 360/255
constexpr double kDegreesToByte = 0.7083333333333334; // 255/360
constexpr float kSixtieth = 1.0f / 60.0f;

float HueValue(float m1, float m2, float x) {
    if (x > 360.0f)
        x -= 360.0f;
    else if (x < 0.0f)
        x += 360.0f;
    if (x < 60.0f)
        return m1 + (m2 - m1) * x * kSixtieth;
    if (x < 180.0f)
        return m2;
    if (x < 240.0f)
        return m1 + (m2 - m1) * (240.0f - x) * kSixtieth;
    return m1;
}

uint8_t TruncByte(float v) { return static_cast<uint8_t>(static_cast<int>(v * 255.0f)); }

} // namespace

void HLSToRGB(float hue, float lightness, float saturation, float* r, float* g, float* b) {
    const float m2 = lightness <= 0.5f ? lightness * (1.0f + saturation)
                                       : lightness + saturation - lightness * saturation;
    const float m1 = 2.0f * lightness - m2;
    if (saturation == 0.0f && hue == -1.0f) {
        *r = *g = *b = lightness;
        return;
    }
    *r = HueValue(m1, m2, hue + 120.0f);
    *g = HueValue(m1, m2, hue);
    *b = HueValue(m1, m2, hue - 120.0f);
}

void HLSToRGBBytes(uint32_t h, uint32_t l, uint32_t s, uint8_t* r, uint8_t* g, uint8_t* b) {
    float rf, gf, bf;
    HLSToRGB(static_cast<float>((h & 0xFF) * kByteToDegrees), static_cast<float>((l & 0xFF) * kByteToUnit),
             static_cast<float>((s & 0xFF) * kByteToUnit), &rf, &gf, &bf);
    *r = TruncByte(rf);
    *g = TruncByte(gf);
    *b = TruncByte(bf);
}

void RGBToHLS(float r, float g, float b, float* hue, float* lightness, float* saturation) {
    const float mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const float mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
    *lightness = (mx + mn) * 0.5f;
    if (mx == mn) {
        *saturation = 0.0f;
        *hue = -1.0f;
        return;
    }
    const float d = mx - mn;
    *saturation = *lightness <= 0.5f ? d / (mx + mn) : d / (2.0f - mx - mn);
    float h;
    if (r == mx)
        h = (g - b) / d;
    else if (g == mx)
        h = 2.0f + (b - r) / d;
    else
        h = 4.0f + (r - g) / d;
    h *= 60.0f;
    if (h < 0.0f)
        h += 360.0f;
    *hue = h;
}

void RGBToHLSBytes(uint32_t r, uint32_t g, uint32_t b, uint8_t* h, uint8_t* l, uint8_t* s) {
    float hf, lf, sf;
    RGBToHLS(static_cast<float>((r & 0xFF) * kByteToUnit), static_cast<float>((g & 0xFF) * kByteToUnit),
             static_cast<float>((b & 0xFF) * kByteToUnit), &hf, &lf, &sf);
    // Toward zero: a grey's hue of -1 gives 0.
    *h = static_cast<uint8_t>(static_cast<int>(hf * kDegreesToByte));
    *l = TruncByte(lf);
    *s = TruncByte(sf);
}

void RGBToYIQ(float& r, float& g, float& b) {
    const double rd = r, gd = g, bd = b;
    r = static_cast<float>(0.299 * rd + 0.587 * gd + 0.114 * bd);
    g = static_cast<float>(0.596 * rd - 0.274 * gd - 0.322 * bd);
    b = static_cast<float>(0.211 * rd - 0.522 * gd + 0.311 * bd);
}
