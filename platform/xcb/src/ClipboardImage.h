#pragma once
// The clipboard's pictures between CF_DIB (a packed bitmap in global memory) and the
// encodings other programs offer: "image/png" through the imaging toolkit's codec,
// "image/bmp" as the bitmap file form of the same layout.

#include <string>

#include "win32/kernel.h"

namespace sdxcb {

// Empty when the packed bitmap is damaged or cannot be encoded.
std::string PngFromDib(const void* dib, size_t size);
std::string BmpFromDib(const void* dib, size_t size);
// A new packed bitmap (1, 4, 8 or 24 bits, bottom-up, 40-byte header), or null for data
// that is not a whole picture of that encoding.
HGLOBAL DibFromPng(const std::string& png);
HGLOBAL DibFromBmp(const std::string& bmp);

} // namespace sdxcb
