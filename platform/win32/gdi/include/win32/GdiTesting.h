#pragma once
// Test hooks of the drawing layer: pixels read back, the screen's depth, failure injection,
// recording contexts with their call log, and the printers the fake spooler offers.

#include <string>
#include <vector>

#include "win32/wingdi.h"

// ---- pixels
struct SdGdiImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<COLORREF> pixels; // row by row from the top, as RGB()
    std::vector<DWORD> raw;       // the stored values: colour indices or 0x00RRGGBB
    COLORREF at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    DWORD rawAt(int x, int y) const { return raw[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};
// What a context draws on (its selected bitmap, its window's surface, its printer page);
// an empty image for a recording context or a stale handle.
WIN32_API SdGdiImage SdGdiReadDC(HDC dc);
WIN32_API SdGdiImage SdGdiReadBitmap(HBITMAP bitmap);
// The surface that GetDC and BeginPaint of the window draw on.
WIN32_API SdGdiImage SdGdiReadWindow(HWND hwnd);

// ---- the screen
// Bits per pixel of the screen: 24 (default) or 8 (palette device, for dithering tests).
WIN32_API void SdGdiSetScreenDepth(int bitsPerPixel);
WIN32_API void SdGdiSetScreenSize(int width, int height);

// ---- failures
// The next `times` calls of the named function (its API name, e.g. "PolyPolygon",
// "CreatePolygonRgn", "CombineRgn") fail with ERROR_NOT_ENOUGH_MEMORY; -1 for every call
// until cleared.
WIN32_API void SdGdiFailCall(const char* function, int times);
WIN32_API void SdGdiClearFailures();
// Palette functions fail while this is on.
WIN32_API void SdGdiFailPalettes(bool fail);

// ---- call logs
// A context with the full attribute state and a device of the given size that draws
// nothing and logs every call.
WIN32_API HDC SdCreateRecordingDC(int width, int height);
// One line per call since the context was made or the log cleared, "Name(arg,arg,...)",
// with the arguments as given (logical units). Any context can log (printers do).
WIN32_API std::vector<std::string> SdGdiCallLog(HDC dc);
WIN32_API void SdGdiClearCallLog(HDC dc);
WIN32_API void SdGdiSetLogging(HDC dc, bool on);

// ---- printers
// While the fake spooler is installed (win32/SpoolerTesting.h) printers are its printers,
// else the system's print queues (win32/wingdi.h). Each fake one is a raster printer unless
// described otherwise here. PostScript printers take POSTSCRIPT_PASSTHROUGH data into the
// spooled job byte for byte and log their GDI calls; raster printers render pages to
// 24-bit images. A page is A4 portrait at 300 dpi unless given.
enum class SdPrinterKind { Raster, PostScript };
struct SdPrinterPage {
    int widthTenthsMm = 2100;
    int heightTenthsMm = 2970;
    int dpi = 300;
    bool landscape = false;
};
WIN32_API void SdGdiDescribePrinter(const char* name, SdPrinterKind kind,
                                    const SdPrinterPage& page = SdPrinterPage{});
// With no printer on, CreateDCA refuses every printer (as on a machine without one).
WIN32_API void SdGdiSetNoPrinter(bool on);
// Pages printed since the last clear, in order, with their document names; written as
// "<folder>/<job id>-<page>.png" too when a folder is set.
struct SdPrintedPage {
    std::string printer;
    std::string document;
    DWORD jobId = 0;
    int page = 0;
    SdGdiImage image;
    std::string file;
};
WIN32_API std::vector<SdPrintedPage> SdGdiPrintedPages();
WIN32_API void SdGdiClearPrintedPages();
WIN32_API void SdGdiSetPageFolder(const char* folder);
// Resets every switch above (screen, failures, palettes, printers, pages) and forgets the
// window surfaces.
WIN32_API void SdGdiResetTesting();
