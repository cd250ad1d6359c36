#pragma once
// The imaging toolkit's image processing, and the kernel's colour reduction and combination.
// The comment of each entry names its ordinal. Point operations change a palette picture's
// table and keep its depth; the others work on 24 bits and leave the picture at 24 bits.

#include "imaging/ToolkitTypes.h"

// ---- kernel ----
// 109: dest becomes source at `bits` (1, 4, 8, 16 as 5-5-5 levels in 24-bit pixels, or 24)
// with at most `colors` colours (fewer than 2 count as 2). flags: dither 0 none, 0x10000
// ordered, 0x70000 error diffusion; palette 2 the picture's own (median cut), 8 a fixed one
// (the half-tone table, the 16 standard colours, black and white); 4 for 16 and 24 bits.
IMAGING_API int KovaColorRes(KOVABITMAP* dest, KOVABITMAP* source, int bits, int flags,
                             void* palette, int colors, int reserved1, int reserved2);
// 110: source's rectangle from (sx, sy) combined into dest's at (x, y) of w x h; operation
// 0x000 copies, 0x100 keeps the darker, 0x200 the lighter, 0x300 multiplies.
IMAGING_API int KovaCombineBitmap(KOVABITMAP* dest, int x, int y, int w, int h, KOVABITMAP* source,
                                  int sx, int sy, int operation);

// ---- image processing ----
IMAGING_API int KovaBrightness(KOVABITMAP* bitmap, int amount);  // 105: -100 .. 100 %
IMAGING_API int KovaContrast(KOVABITMAP* bitmap, int amount);    // 103: -100 .. 100 %
IMAGING_API int KovaHue(KOVABITMAP* bitmap, int degrees);        // 104: -359 .. 359
IMAGING_API int KovaSaturation(KOVABITMAP* bitmap, int amount);  // 106: -100 .. 100 %
IMAGING_API int KovaInvert(KOVABITMAP* bitmap);                  // 115
IMAGING_API int KovaGrayScale(KOVABITMAP* bitmap);               // 124: R = G = B
IMAGING_API int KovaGamma(KOVABITMAP* bitmap, int hundredths);   // 112: 1 .. 459, 100 none
IMAGING_API int KovaSharpen(KOVABITMAP* bitmap, int amount);     // 114: -100 soft .. 100
IMAGING_API int KovaThreshold(KOVABITMAP* bitmap, int level);    // 128: 0 .. 255
IMAGING_API int KovaPosterize(KOVABITMAP* bitmap, int levels);   // 120: 2 .. 64 a channel
IMAGING_API int KovaMosaic(KOVABITMAP* bitmap, int cell);        // 119: 2 .. 64 pixels
IMAGING_API int KovaMedian(KOVABITMAP* bitmap, int size);        // 101: 3 .. 11 pixels
IMAGING_API int KovaAverage(KOVABITMAP* bitmap, int size);       // 118: 3 .. 11 pixels
IMAGING_API int KovaTemperature(KOVABITMAP* bitmap, int amount); // 122: -100 cool .. 100 warm
IMAGING_API int KovaEdgeDetect(KOVABITMAP* bitmap);              // 110
IMAGING_API int KovaEmboss(KOVABITMAP* bitmap, int direction,
                           int depth); // 111: 0 .. 7 (N, NE, E, …), 0 .. 100
IMAGING_API int KovaLineDrawing(KOVABITMAP* bitmap, int level); // 123: dark lines on white
IMAGING_API int KovaOilPaint(KOVABITMAP* bitmap, int size);     // 129: 3 .. 11 pixels
