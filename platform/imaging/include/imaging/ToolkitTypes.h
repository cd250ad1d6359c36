#pragma once
// The records the imaging toolkit shares with its callers, its result codes and its format
// codes. Every entry returns IMG_SUCCESS (1) or one of the negative codes below.

#include <win32/base.h>
#include <win32/kernel.h>

#include "imaging/export.h"

// The toolkit bitmap: a packed bitmap (40-byte header, the depth's full colour table,
// bottom-up rows of 1, 4, 8 or 24 bits) in a movable global block, and what it describes.
struct KOVABITMAP {
    DWORD structSize; // sizeof(KOVABITMAP), set by KovaInitBitmap
    HGLOBAL dib;      // the packed bitmap, or null
    int width;        // pixels
    int height;       // pixels
    int bitsPerPixel; // 1, 4, 8 or 24
    int xResolution;  // dots per inch
    int yResolution;  // dots per inch
    BOOL allocated;   // dib holds a picture
};

// What a file or an encoded block holds. width, height, bitsPerPixel and sizeDisk are read
// by the program at the byte offsets 20, 24, 28 and 36.
struct KOVAFILEINFO {
    DWORD structSize;   // 0: sizeof(KOVAFILEINFO), set by KovaInitFileInfo
    int format;         // 4: the format code of the file's encoding
    DWORD fileSize;     // 8: bytes of the file or block
    int pageCount;      // 12: pages (TIFF), else 1
    DWORD reserved;     // 16
    int width;          // 20
    int height;         // 24: also the row count
    int bitsPerPixel;   // 28: the depth the picture loads at
    DWORD bytesPerLine; // 32: one padded row of the loaded picture
    DWORD sizeDisk;     // 36: bytes of the loaded picture's rows
    int xResolution;    // 40: dots per inch, 0 when the file has none
    int yResolution;    // 44
};

// Results.
constexpr int IMG_SUCCESS = 1;
constexpr int IMG_ERR_MEMORY = -1;      // no memory
constexpr int IMG_ERR_OPEN = -2;        // the file cannot be opened or created
constexpr int IMG_ERR_READ = -3;        // reading failed
constexpr int IMG_ERR_FORMAT = -4;      // not a format read
constexpr int IMG_ERR_DAMAGED = -5;     // the data are damaged or cut short
constexpr int IMG_ERR_TOO_LARGE = -6;   // past the size limits
constexpr int IMG_ERR_PARAM = -7;       // an argument out of range, an empty bitmap
constexpr int IMG_ERR_WRITE = -8;       // writing failed
constexpr int IMG_ERR_UNSUPPORTED = -9; // a form of a known format that is not read or written

// Format codes.
constexpr int IMG_PCX = 1;
constexpr int IMG_TIF = 3;
constexpr int IMG_TGA = 4;
constexpr int IMG_BMP = 6;
constexpr int IMG_JPEG_444 = 10;
constexpr int IMG_TIF_JPEG_444 = 11;
constexpr int IMG_OS2 = 14;
constexpr int IMG_CMP = 20;
constexpr int IMG_JPEG_411 = 21;
constexpr int IMG_TIF_JPEG_411 = 22;
constexpr int IMG_JPEG_422 = 23;
constexpr int IMG_TIF_JPEG_422 = 24;
constexpr int IMG_CMP_BILEVEL = 26;
constexpr int IMG_TIF_G3_1D = 27;
constexpr int IMG_TIF_G3_2D = 28;
constexpr int IMG_TIF_G4 = 29;
constexpr int IMG_GIF = 30; // read only
constexpr int IMG_MAC = 51;
constexpr int IMG_GEM = 52;
constexpr int IMG_MSP = 53;
constexpr int IMG_PCT = 56;
constexpr int IMG_PCD = 57;        // read only
constexpr int IMG_IOCA_G3_1D = 71; // wrapped in an image object
constexpr int IMG_IOCA_G3_2D = 72;
constexpr int IMG_IOCA_G4 = 73;
constexpr int IMG_IOCA_RAW_G3_1D = 77; // the image segment alone
constexpr int IMG_IOCA_RAW_G3_2D = 78;
constexpr int IMG_IOCA_RAW_G4 = 79;
constexpr int IMG_FAX_G3_1D = 66;
constexpr int IMG_FAX_G3_2D = 67;
constexpr int IMG_FAX_G4 = 68;
constexpr int IMG_OS2_2 = 74;
constexpr int IMG_PNG = 75;
constexpr int IMG_PSD = 76;
