#pragma once
// Image encodings of the imaging toolkit. Pictures travel as packed bitmaps in movable global
// memory: a 40-byte BITMAPINFOHEADER, the depth's full colour table, bottom-up rows of 1, 4, 8
// or 24 bits padded to 4 bytes. Every function refuses damaged or oversized input with its
// failure result; nothing is read outside the given bytes.

#include <win32/base.h>
#include <win32/kernel.h>

#include "imaging/export.h"

// Format code of the toolkit's compressed encoding: PNG.
constexpr int IMG_FORMAT_PNG = 75;
// Pictures larger than this many pixels are refused.
constexpr unsigned long long IMG_MAX_PIXELS = 1ull << 28;

// Encodes the packed bitmap (size bytes at packed) into a new movable block: 1, 4 and 8 bits
// with their colour table as a palette image, 24 bits as RGB. 0 with *out and *outSize set,
// or -1 (unknown format, a bitmap that is not of the form above, no memory).
IMAGING_API int ImgEncode(const void* packed, SIZE_T size, int format, HGLOBAL* out,
                          DWORD* outSize);
// A new packed bitmap of the encoded picture, or null. Palette images keep their depth (1, 4
// or 8 bits; 2-bit ones become 4 bits), grey images become 8 bits with a grey table, all
// others 24 bits (transparent ones composed over white). Dimensions that the data could not
// fill are refused before anything is allocated.
IMAGING_API HGLOBAL ImgDecode(const void* data, SIZE_T size);
// 1 when the bytes start with the PNG signature.
IMAGING_API int ImgIsPNG(const void* data, SIZE_T size);
// A file in any encoding the toolkit reads, as a packed bitmap, or null.
IMAGING_API HGLOBAL ImgLoadFile(const char* path);
