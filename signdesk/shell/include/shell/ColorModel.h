#pragma once

#include <cstdint>

// Conversions between RGB, hue-lightness-saturation and YIQ.
// Unit scale: r, g, b, lightness, saturation in 0..1; hue in degrees
// (0 <= h < 360), -1 for a grey without hue.
// Byte scale: every component 0..255; H 0..255 spans 0..360 degrees.

void HLSToRGB(float hue, float lightness, float saturation, float* r, float* g, float* b);
void HLSToRGBBytes(uint32_t h, uint32_t l, uint32_t s, uint8_t* r, uint8_t* g, uint8_t* b);
void RGBToHLS(float r, float g, float b, float* hue, float* lightness, float* saturation);
void RGBToHLSBytes(uint32_t r, uint32_t g, uint32_t b, uint8_t* h, uint8_t* l, uint8_t* s);
void RGBToYIQ(float& r, float& g, float& b);
