#pragma once
// The built-in 256-colour table: 20 system colours around a 6 x 6 x 6 cube and a grey ramp.
// Each entry is (first, second, third, 0) as stored; in a colour table the three bytes are
// blue, green, red, so cube entry 10 + b + 6 g + 36 r has blue level b, green g, red r.

#include <win32/base.h>

extern const BYTE (&kHalfToneTable)[256][4];

// The cube's levels, and the palette indices the dithers use.
inline constexpr BYTE kCubeLevels[6] = {0, 44, 86, 135, 192, 255};
inline constexpr int kCubeBase = 10;
inline constexpr int kGreyBase = 226; // greys 17 n, n = 0..15
inline constexpr int kMediumGrey = 248;
inline constexpr int kWhite = 255;
