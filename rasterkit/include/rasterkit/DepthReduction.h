#pragma once
// A picture reduced to fewer colours for the clipboard: 8 bits through the Floyd-Steinberg
// dither onto the built-in 256-colour table, 4 bits to the nearest of the 16 standard
// colours, 1 bit black and white by brightness (at least half is white).

#include "rasterkit/DIBInterface.h"

// A new packed bitmap (movable global memory) of the picture at 1, 4, 8 or 24 bits; null for
// another depth, an empty picture or no memory.
RASTERKIT_API void* ReduceColourDepth(DIBInterface& src, int bits);
