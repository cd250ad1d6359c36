#pragma once
// The imaging toolkit's kernel: toolkit bitmaps made, handed over, copied, cut, mirrored,
// turned, sheared, combined and reduced. The comment of each entry names its ordinal.
// Entries return IMG_SUCCESS or a negative code (imaging/ToolkitTypes.h) and leave their
// bitmap as it was on failure.

#include <win32/wingdi.h>

#include "imaging/ToolkitTypes.h"

// 146: an empty descriptor of the given size and depth (1, 1, 1 for one a load fills).
IMAGING_API int KovaInitBitmap(KOVABITMAP* bitmap, int width, int height, int bitsPerPixel);
// 179: an empty information record.
IMAGING_API int KovaInitFileInfo(KOVAFILEINFO* info);
// 104: takes the packed bitmap's block on success (without a copy; the bitmap's former
// picture is freed); leaves it with the caller on failure.
IMAGING_API int KovaBitmapFromDib(KOVABITMAP* bitmap, HGLOBAL dib);
// 106: hands the packed bitmap over; the bitmap is empty after it. Null for an empty bitmap.
IMAGING_API HGLOBAL KovaDibFromBitmap(KOVABITMAP* bitmap);
// 134: frees the picture; an empty bitmap is left as it is.
IMAGING_API int KovaFreeBitmap(KOVABITMAP* bitmap);
// 133: top-bottom mirror (the row order reversed).
IMAGING_API int KovaFlipBitmap(KOVABITMAP* bitmap);
// 162: left-right mirror.
IMAGING_API int KovaReverseBitmap(KOVABITMAP* bitmap);
// 117: dest becomes a copy of source (dest's former picture freed).
IMAGING_API int KovaCopyBitmap(KOVABITMAP* dest, const KOVABITMAP* source);
// 114: a bitmap from a header of a known form and its bits (rasterkit's intake).
IMAGING_API int KovaBitmapFromBitmapInfo(KOVABITMAP* bitmap, const BITMAPINFO* info,
                                         const void* bits, DWORD bitsSize);
// 120: cut to the rectangle (clipped to the picture; an empty one fails).
IMAGING_API int KovaTrimBitmap(KOVABITMAP* bitmap, int left, int top, int width, int height);
// 103: the pixels of a device-dependent bitmap, taken through GetDIBits as 24 bits.
IMAGING_API int KovaBitmapFromDDB(HDC dc, KOVABITMAP* bitmap, HBITMAP ddb, HPALETTE palette);

// Test hooks: the next `count` calls of an entry fail as if memory were short.
enum KovaFailPoint {
    KOVA_FAIL_FROM_DIB,
    KOVA_FAIL_TO_DIB,
    KOVA_FAIL_SAVE_FILE,
    KOVA_FAIL_LOAD_FILE
};
IMAGING_API void KovaTestingFailCalls(KovaFailPoint point, int count);

// Turns and shears. Positive angles turn the picture clockwise as it is seen; the picture
// grows to hold the whole turned picture, and what it does not cover takes the fill colour
// (COLORREF; the nearest table colour in a palette picture). Quarter turns move the pixels
// exactly.
// 163: by whole degrees (flags: bit 0 grow, always done), filled white.
IMAGING_API int KovaRotateBitmap(KOVABITMAP* bitmap, int degrees, int flags);
// 164: by hundredths of a degree.
IMAGING_API int KovaRotateBitmapFine(KOVABITMAP* bitmap, int hundredths, int grow, COLORREF fill);
// 169: by hundredths of a degree (at most 45 degrees either way); horizontal 1 shifts the
// rows (positive: the top to the right), 0 the columns (positive: the right side down).
IMAGING_API int KovaShearBitmap(KOVABITMAP* bitmap, int hundredths, int horizontal, COLORREF fill);
