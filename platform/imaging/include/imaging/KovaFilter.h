#pragma once
// The raster filter modules: plug-ins "imgflt-<name>.so" in the program folder that teach the
// file library further formats. A module exports only its ordinal table: 100 fltInfo, 101 fltLoad,
// 102 fltSave. It reaches files and memory only through the filter services below (their
// ordinals in the comments), which tests may replace.

#include <win32/wingdi.h>

#include "imaging/ToolkitTypes.h"

// Further format codes, read and written through the modules.
constexpr int IMG_CMP_KOVA1 = 31;
constexpr int IMG_CALS = 50;
constexpr int IMG_WPG = 54;
constexpr int IMG_SUN = 55;
constexpr int IMG_AVI = 59;
constexpr int IMG_WFX_G3 = 69;
constexpr int IMG_WFX_G4 = 70;

// Module results beyond the toolkit's (0 is "another format or bad data").
constexpr int FLT_ERR_READ = -7;    // a read failed or came short
constexpr int FLT_ERR_FORMAT = -9;  // wrong or damaged data
constexpr int FLT_ERR_OPEN = -10;   // opening the file to read
constexpr int FLT_ERR_CREATE = -14; // creating the file to write
constexpr int FLT_ERR_NO_SAVE = -16;
constexpr int FLT_ERR_BITS = -27;

// What fltInfo fills.
struct KOVAFLTINFO {
    int format;
    int width;
    int height;
    int bitsPerPixel;
    DWORD sizeBytes; // ((width * bits + 31) / 32) * 4 * height
    int perspective; // 2 top-down rows, 0 bottom-up
    int colorOrder;  // 1: pixels of more than 8 bits come as R, G, B; 0: B, G, R
    char compression[32];
    int pages;
    int xResolution; // dots per inch
    int yResolution;
    DWORD flags; // 0x40 set by the fax and CALS modules
};

// The picture a load fills; the host makes the toolkit bitmap from it.
struct KOVAFLTBITMAP {
    int bitsPerPixel; // 1, 4, 8 or 24
    int width;
    int height;
    BOOL allocated; // set by the allocation service
    int colorsUsed;
    RGBQUAD palette[256];
    int perspective;
    int colorOrder;
    int frameDelay; // milliseconds, for video frames
    void* host;     // the host's own
};

// The row callback: rows of the bitmap's depth, each padded to 32 bits. flags: 3, + 4 on the
// first call, + 8 on the call with the last row. 1 goes on; any other value ends the load.
using KovaRowCallback = int (*)(void* user, KOVAFLTBITMAP* bitmap, const BYTE* rows, int flags,
                                int firstRow, int count, int page);

struct KOVAFLTINFOREQUEST {
    int file; // an open handle of the filter services
    KOVAFLTINFO* info;
};

struct KOVAFLTLOADREQUEST {
    const char* path;
    KOVAFLTBITMAP* bitmap;
    int bufferSize;
    KovaRowCallback callback;
    void* user;
    int page; // 0 the first
};

struct KOVAFLTSAVEREQUEST {
    const char* path;
    const KOVABITMAP* bitmap; // the toolkit bitmap saved
    int format;
    int bitsPerPixel; // 0: the picture's
    int quality;
};

using KovaFltInfo = int (*)(KOVAFLTINFOREQUEST* request);
using KovaFltLoad = int (*)(KOVAFLTLOADREQUEST* request);
using KovaFltSave = int (*)(KOVAFLTSAVEREQUEST* request);

// ---- the filter services ----
// 218: a handle, negative on failure. mode: 0 read, 1 write (created, emptied).
IMAGING_API int KovaFltOpen(const char* path, int mode, int share);
IMAGING_API int KovaFltClose(int file);                           // 217
IMAGING_API int KovaFltRead(int file, void* buffer, DWORD count); // 219: bytes read, -1
// 220: origin 0 start, 1 current, 2 end; the new offset, or -1.
IMAGING_API int KovaFltSeek(int file, long offset, int origin);
IMAGING_API int KovaFltWrite(int file, const void* buffer, DWORD count); // 221: bytes written
IMAGING_API void* KovaFltAlloc(DWORD bytes);                             // 203: or null
IMAGING_API void KovaFltFree(void* block);                               // 208
// 146: allocates the target bitmap (once); IMG_SUCCESS, IMG_ERR_TOO_LARGE or IMG_ERR_PARAM.
IMAGING_API int KovaFltAllocBitmap(KOVAFLTBITMAP* bitmap, int width, int height, int bits);
// 186: the bitmap's palette from RGB quads (at most 256); returns the count set.
IMAGING_API int KovaFltCreatePalette(KOVAFLTBITMAP* bitmap, const RGBQUAD* quads, int count);
IMAGING_API const BYTE* KovaFltGreyTable(); // 191: pixel byte to grey level 0 .. 30
// Why the module refuses a file, in words for KovaFilterCause (the stand-in's own service).
IMAGING_API void KovaFltSetCause(const char* text);

// ---- the fax codec ----
constexpr int KOVA_FAX_G3_1D = 1;
constexpr int KOVA_FAX_G3_2D = 2;
constexpr int KOVA_FAX_G4 = 3;
// 200: raw CCITT data of width x height into rows of `stride` bytes, 1 black, top row first.
// IMG_SUCCESS, IMG_ERR_DAMAGED or IMG_ERR_PARAM.
IMAGING_API int KovaFaxDecode(const BYTE* data, DWORD size, int width, int height, int coding,
                              BYTE* rows, DWORD stride);
// 201: rows as above coded into a block of KovaFltAlloc (*out, *outSize; freed by the caller
// with KovaFltFree). IMG_SUCCESS or a failure code.
IMAGING_API int KovaFaxEncode(const BYTE* rows, DWORD stride, int width, int height, int coding,
                              BYTE** out, DWORD* outSize);

// Test hook: file and memory services in place of the real ones (null: the real ones again).
struct KovaFilterServices {
    int (*open)(const char* path, int mode, int share);
    int (*close)(int file);
    int (*read)(int file, void* buffer, DWORD count);
    int (*seek)(int file, long offset, int origin);
    int (*write)(int file, const void* buffer, DWORD count);
    void* (*alloc)(DWORD bytes);
    void (*free)(void* block);
};
IMAGING_API void KovaTestingSetFilterServices(const KovaFilterServices* services);
// Test hook: the folder the modules are loaded from (null: the program folder).
IMAGING_API void KovaTestingFilterFolder(const char* folder);

// Why the last load, description or save through a module failed ("" when none did), e.g.
// "imgflt-ras.so is missing".
IMAGING_API const char* KovaFilterCause();
