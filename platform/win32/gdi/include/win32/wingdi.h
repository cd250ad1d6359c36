#pragma once
// The graphics device interface: device contexts over raster surfaces (memory, window,
// printer and recording contexts), drawing objects, regions, paths, bitmaps and palettes.
// Coordinates are logical units mapped to 32-bit device pixels; drawing is done by our own
// integer rasteriser with the platform's pixel rules (see src/Raster.h). Test hooks are in
// win32/GdiTesting.h; the font functions are in win32/gdifont.h. Metafiles are added by the
// library that owns them.

#include <cstdint>

#include "win32/base.h"
#include "win32/gdifont.h"
#include "win32/kernel.h"

using LPSIZE = SIZE*;

// Failures set the last error: ERROR_INVALID_HANDLE for stale handles, ERROR_INVALID_PARAMETER
// for bad counts and sizes, ERROR_NOT_ENOUGH_MEMORY when a surface cannot be had.
constexpr DWORD ERROR_CAN_NOT_COMPLETE = 1003;

constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;
#define HGDI_ERROR (reinterpret_cast<HGDIOBJ>(static_cast<LONG_PTR>(-1)))

constexpr COLORREF PALETTEINDEX(WORD i) {
    return 0x01000000u | i;
}
constexpr COLORREF PALETTERGB(BYTE r, BYTE g, BYTE b) {
    return 0x02000000u | RGB(r, g, b);
}

// ---------------------------------------------------------------- structures
struct XFORM {
    FLOAT eM11;
    FLOAT eM12;
    FLOAT eM21;
    FLOAT eM22;
    FLOAT eDx;
    FLOAT eDy;
};

struct LOGPEN {
    UINT lopnStyle;
    POINT lopnWidth; // x is the width; y unused
    COLORREF lopnColor;
};

struct LOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    std::uintptr_t lbHatch; // hatch style, or the pattern bitmap
};

// A pen made by ExtCreatePen, as GetObjectA gives it (28 bytes without style entries).
struct EXTLOGPEN {
    DWORD elpPenStyle; // type, caps, joins, dash style
    DWORD elpWidth;
    UINT elpBrushStyle;
    COLORREF elpColor;
    DWORD elpHatch;
    DWORD elpNumEntries;
    DWORD elpStyleEntry[1];
};
static_assert(sizeof(EXTLOGPEN) == 28);

struct BITMAP {
    LONG bmType;
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;
    WORD bmPlanes;
    WORD bmBitsPixel;
    LPVOID bmBits;
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
    WORD bfType;
    DWORD bfSize;
    WORD bfReserved1;
    WORD bfReserved2;
    DWORD bfOffBits;
};
#pragma pack(pop)

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight; // negative: rows top-down
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

// The 12-byte header of older bitmaps, followed by three-byte colour entries.
struct BITMAPCOREHEADER {
    DWORD bcSize;
    WORD bcWidth;
    WORD bcHeight;
    WORD bcPlanes;
    WORD bcBitCount;
};

struct RGBTRIPLE {
    BYTE rgbtBlue;
    BYTE rgbtGreen;
    BYTE rgbtRed;
};

struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3];
    HANDLE dshSection;
    DWORD dsOffset;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

struct LOGPALETTE {
    WORD palVersion; // 0x300
    WORD palNumEntries;
    PALETTEENTRY palPalEntry[1];
};

struct RGNDATAHEADER {
    DWORD dwSize;
    DWORD iType;
    DWORD nCount;
    DWORD nRgnSize;
    RECT rcBound;
};

struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1]; // nCount RECTs
};

struct DOCINFOA {
    int cbSize;
    LPCSTR lpszDocName;
    LPCSTR lpszOutput;
    LPCSTR lpszDatatype;
    DWORD fwType;
};
using DOCINFO = DOCINFOA;

constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;
struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength; // tenths of a millimetre
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality; // dots per inch when positive
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
};
using DEVMODE = DEVMODEA;
constexpr DWORD DM_ORIENTATION = 0x00000001;
constexpr DWORD DM_PAPERSIZE = 0x00000002;
constexpr DWORD DM_PAPERLENGTH = 0x00000004;
constexpr DWORD DM_PAPERWIDTH = 0x00000008;
constexpr DWORD DM_PRINTQUALITY = 0x00000400;
constexpr DWORD DM_YRESOLUTION = 0x00002000;
constexpr short DMORIENT_PORTRAIT = 1;
constexpr short DMORIENT_LANDSCAPE = 2;
constexpr short DMPAPER_LETTER = 1;
constexpr short DMPAPER_A4 = 9;
constexpr short DMPAPER_A3 = 8;

// ---------------------------------------------------------------- constants
// Object types
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_METADC = 4;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_MEMDC = 10;
constexpr DWORD OBJ_EXTPEN = 11;

// Stock objects
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;

// Pens
constexpr UINT PS_SOLID = 0;
constexpr UINT PS_DASH = 1;
constexpr UINT PS_DOT = 2;
constexpr UINT PS_DASHDOT = 3;
constexpr UINT PS_DASHDOTDOT = 4;
constexpr UINT PS_NULL = 5;
constexpr UINT PS_INSIDEFRAME = 6;
constexpr UINT PS_STYLE_MASK = 0x0000000F;
constexpr UINT PS_ENDCAP_ROUND = 0x00000000;
constexpr UINT PS_ENDCAP_SQUARE = 0x00000100;
constexpr UINT PS_ENDCAP_FLAT = 0x00000200;
constexpr UINT PS_ENDCAP_MASK = 0x00000F00;
constexpr UINT PS_JOIN_ROUND = 0x00000000;
constexpr UINT PS_JOIN_BEVEL = 0x00001000;
constexpr UINT PS_JOIN_MITER = 0x00002000;
constexpr UINT PS_JOIN_MASK = 0x0000F000;
constexpr UINT PS_COSMETIC = 0x00000000;
constexpr UINT PS_GEOMETRIC = 0x00010000;
constexpr UINT PS_TYPE_MASK = 0x000F0000;

// Brushes
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

// Binary raster operations (pen P, destination D)
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Ternary raster operations: bits 16..23 are the truth table over pattern, source, destination.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int STRETCH_HALFTONE = HALFTONE;

// Mapping
constexpr int MM_TEXT = 1;
constexpr int MM_LOMETRIC = 2;
constexpr int MM_HIMETRIC = 3;
constexpr int MM_LOENGLISH = 4;
constexpr int MM_HIENGLISH = 5;
constexpr int MM_TWIPS = 6;
constexpr int MM_ISOTROPIC = 7;
constexpr int MM_ANISOTROPIC = 8;
constexpr int GM_COMPATIBLE = 1;
constexpr int GM_ADVANCED = 2;
constexpr DWORD MWT_IDENTITY = 1;
constexpr DWORD MWT_LEFTMULTIPLY = 2;
constexpr DWORD MWT_RIGHTMULTIPLY = 3;
constexpr int AD_COUNTERCLOCKWISE = 1;
constexpr int AD_CLOCKWISE = 2;

// Regions
constexpr int ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;
constexpr int RGN_ERROR = ERROR;
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr DWORD RDH_RECTANGLES = 1;

// Paths
constexpr BYTE PT_CLOSEFIGURE = 0x01;
constexpr BYTE PT_LINETO = 0x02;
constexpr BYTE PT_BEZIERTO = 0x04;
constexpr BYTE PT_MOVETO = 0x06;

// Bitmaps
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;
constexpr DWORD CBM_INIT = 0x04;

// Palettes
constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;

// Device capabilities
constexpr int DRIVERVERSION = 0;
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMBRUSHES = 16;
constexpr int NUMPENS = 18;
constexpr int NUMFONTS = 22;
constexpr int NUMCOLORS = 24;
constexpr int CURVECAPS = 28;
constexpr int LINECAPS = 30;
constexpr int POLYGONALCAPS = 32;
constexpr int TEXTCAPS = 34;
constexpr int CLIPCAPS = 36;
constexpr int RASTERCAPS = 38;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int NUMRESERVED = 106;
constexpr int COLORRES = 108;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
constexpr int SCALINGFACTORX = 114;
constexpr int SCALINGFACTORY = 115;
constexpr int DT_PLOTTER = 0;
constexpr int DT_RASDISPLAY = 1;
constexpr int DT_RASPRINTER = 2;
constexpr int DT_METAFILE = 5;
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_BANDING = 0x0002;
constexpr int RC_SCALING = 0x0004;
constexpr int RC_BITMAP64 = 0x0008;
constexpr int RC_DI_BITMAP = 0x0080;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_STRETCHDIB = 0x2000;
constexpr int CP_RECTANGLE = 1;
constexpr int CP_REGION = 2;

// Escapes
constexpr int NEWFRAME = 1;
constexpr int ABORTDOC = 2;
constexpr int NEXTBAND = 3;
constexpr int FLUSHOUTPUT = 6;
constexpr int QUERYESCSUPPORT = 8;
constexpr int SETABORTPROC = 9;
constexpr int STARTDOC = 10;
constexpr int ENDDOC = 11;
constexpr int GETPHYSPAGESIZE = 12;
constexpr int GETPRINTINGOFFSET = 13;
constexpr int PASSTHROUGH = 19;
constexpr int GETTECHNOLOGY = 20;
constexpr int SETLINECAP = 21;
constexpr int SETLINEJOIN = 22;
constexpr int POSTSCRIPT_PASSTHROUGH = 4115;
constexpr int SP_ERROR = -1;

// ---------------------------------------------------------------- device contexts
// driver "DISPLAY" (or null driver and device) gives a screen context; a device name of a
// printer gives a printer context (see win32/GdiTesting.h for the printers that exist). A
// queue of the system's print service is a raster printer: the set-up's paper (else the
// queue's default media) at the queue's resolution (else 300 dpi, at most 64 M pixels a
// sheet), HORZRES/VERTRES its printable area, PHYSICAL* the sheet around it. Its pages are
// collected in a temporary PDF and queued at EndDoc, which fails (SP_ERROR) with the
// service's reason in SdGetLastErrorText when the queue does not take the job; AbortDoc
// and DeleteDC in a document send nothing. Queues refuse POSTSCRIPT_PASSTHROUGH.
WIN32_API HDC CreateDCA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init);
WIN32_API HDC CreateICA(LPCSTR driver, LPCSTR device, LPCSTR output, const DEVMODEA* init);
// A memory context with a 1×1 monochrome bitmap; with a null dc, compatible with the screen.
WIN32_API HDC CreateCompatibleDC(HDC dc);
WIN32_API BOOL DeleteDC(HDC dc);
WIN32_API int SaveDC(HDC dc);
// Negative levels count back from the newest saved state.
WIN32_API BOOL RestoreDC(HDC dc, int savedDc);
WIN32_API int GetDeviceCaps(HDC dc, int index);
WIN32_API HGDIOBJ GetCurrentObject(HDC dc, UINT type);
WIN32_API DWORD GetObjectType(HGDIOBJ object);
WIN32_API int Escape(HDC dc, int escape, int inSize, LPCSTR inData, LPVOID outData);
WIN32_API int ExtEscape(HDC dc, int escape, int inSize, LPCSTR inData, int outSize, LPSTR outData);
WIN32_API int StartDocA(HDC dc, const DOCINFOA* info);
WIN32_API int EndDoc(HDC dc);
WIN32_API int AbortDoc(HDC dc);
WIN32_API int StartPage(HDC dc);
WIN32_API int EndPage(HDC dc);
WIN32_API BOOL GdiFlush();

inline HDC CreateDC(LPCSTR d, LPCSTR n, LPCSTR o, const DEVMODEA* m) {
    return CreateDCA(d, n, o, m);
}
inline int StartDoc(HDC dc, const DOCINFOA* info) {
    return StartDocA(dc, info);
}

// ---------------------------------------------------------------- attributes
WIN32_API COLORREF SetBkColor(HDC dc, COLORREF color);
WIN32_API COLORREF GetBkColor(HDC dc);
WIN32_API int SetBkMode(HDC dc, int mode);
WIN32_API int GetBkMode(HDC dc);
WIN32_API COLORREF SetTextColor(HDC dc, COLORREF color);
WIN32_API COLORREF GetTextColor(HDC dc);
WIN32_API int SetROP2(HDC dc, int rop2);
WIN32_API int GetROP2(HDC dc);
WIN32_API int SetPolyFillMode(HDC dc, int mode);
WIN32_API int GetPolyFillMode(HDC dc);
WIN32_API int SetStretchBltMode(HDC dc, int mode);
WIN32_API int GetStretchBltMode(HDC dc);
WIN32_API BOOL SetBrushOrgEx(HDC dc, int x, int y, LPPOINT old);
WIN32_API BOOL GetBrushOrgEx(HDC dc, LPPOINT org);
WIN32_API int SetArcDirection(HDC dc, int direction);
WIN32_API int GetArcDirection(HDC dc);
WIN32_API BOOL GetCurrentPositionEx(HDC dc, LPPOINT point);

// ---------------------------------------------------------------- coordinate mapping
WIN32_API int SetMapMode(HDC dc, int mode);
WIN32_API int GetMapMode(HDC dc);
WIN32_API BOOL SetWindowOrgEx(HDC dc, int x, int y, LPPOINT old);
WIN32_API BOOL GetWindowOrgEx(HDC dc, LPPOINT org);
WIN32_API BOOL OffsetWindowOrgEx(HDC dc, int dx, int dy, LPPOINT old);
WIN32_API BOOL SetViewportOrgEx(HDC dc, int x, int y, LPPOINT old);
WIN32_API BOOL GetViewportOrgEx(HDC dc, LPPOINT org);
WIN32_API BOOL OffsetViewportOrgEx(HDC dc, int dx, int dy, LPPOINT old);
// Only in MM_ISOTROPIC and MM_ANISOTROPIC; elsewhere ignored (TRUE).
WIN32_API BOOL SetWindowExtEx(HDC dc, int x, int y, LPSIZE old);
WIN32_API BOOL GetWindowExtEx(HDC dc, LPSIZE ext);
WIN32_API BOOL SetViewportExtEx(HDC dc, int x, int y, LPSIZE old);
WIN32_API BOOL GetViewportExtEx(HDC dc, LPSIZE ext);
WIN32_API BOOL ScaleWindowExtEx(HDC dc, int xNum, int xDenom, int yNum, int yDenom, LPSIZE old);
WIN32_API BOOL ScaleViewportExtEx(HDC dc, int xNum, int xDenom, int yNum, int yDenom,
                                  LPSIZE old);
WIN32_API int SetGraphicsMode(HDC dc, int mode);
WIN32_API int GetGraphicsMode(HDC dc);
// Only in GM_ADVANCED.
WIN32_API BOOL SetWorldTransform(HDC dc, const XFORM* xform);
WIN32_API BOOL GetWorldTransform(HDC dc, XFORM* xform);
WIN32_API BOOL ModifyWorldTransform(HDC dc, const XFORM* xform, DWORD mode);
WIN32_API BOOL LPtoDP(HDC dc, LPPOINT points, int count);
WIN32_API BOOL DPtoLP(HDC dc, LPPOINT points, int count);

// ---------------------------------------------------------------- objects
WIN32_API HGDIOBJ GetStockObject(int index);
WIN32_API HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Stock objects are never deleted (TRUE). A bitmap selected into a memory context is not
// deleted (FALSE); any other object selected stays usable there until it is replaced, but its
// handle is gone at once.
WIN32_API BOOL DeleteObject(HGDIOBJ object);
WIN32_API int GetObjectA(HGDIOBJ object, int size, LPVOID buffer);
inline int GetObject(HGDIOBJ o, int s, LPVOID b) {
    return GetObjectA(o, s, b);
}
WIN32_API HPEN CreatePen(int style, int width, COLORREF color);
WIN32_API HPEN CreatePenIndirect(const LOGPEN* pen);
WIN32_API HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount,
                            const DWORD* styles);
WIN32_API HBRUSH CreateSolidBrush(COLORREF color);
WIN32_API HBRUSH CreateHatchBrush(int hatch, COLORREF color);
WIN32_API HBRUSH CreatePatternBrush(HBITMAP bitmap);
WIN32_API HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);

// ---------------------------------------------------------------- drawing
WIN32_API BOOL MoveToEx(HDC dc, int x, int y, LPPOINT old);
WIN32_API BOOL LineTo(HDC dc, int x, int y);
WIN32_API BOOL Polyline(HDC dc, const POINT* points, int count);
WIN32_API BOOL PolylineTo(HDC dc, const POINT* points, DWORD count);
WIN32_API BOOL PolyPolyline(HDC dc, const POINT* points, const DWORD* counts, DWORD polylines);
WIN32_API BOOL PolyBezier(HDC dc, const POINT* points, DWORD count);
WIN32_API BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count);
WIN32_API BOOL Polygon(HDC dc, const POINT* points, int count);
WIN32_API BOOL PolyPolygon(HDC dc, const POINT* points, const INT* counts, int polygons);
WIN32_API BOOL Rectangle(HDC dc, int left, int top, int right, int bottom);
WIN32_API BOOL RoundRect(HDC dc, int left, int top, int right, int bottom, int width,
                         int height);
WIN32_API BOOL Ellipse(HDC dc, int left, int top, int right, int bottom);
WIN32_API BOOL Arc(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                   int xEnd, int yEnd);
WIN32_API BOOL ArcTo(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                     int xEnd, int yEnd);
WIN32_API BOOL Chord(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                     int xEnd, int yEnd);
WIN32_API BOOL Pie(HDC dc, int left, int top, int right, int bottom, int xStart, int yStart,
                   int xEnd, int yEnd);
WIN32_API int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
WIN32_API int FrameRect(HDC dc, const RECT* rect, HBRUSH brush);
WIN32_API BOOL InvertRect(HDC dc, const RECT* rect);
WIN32_API BOOL PatBlt(HDC dc, int x, int y, int width, int height, DWORD rop);
WIN32_API COLORREF SetPixel(HDC dc, int x, int y, COLORREF color);
WIN32_API BOOL SetPixelV(HDC dc, int x, int y, COLORREF color);
WIN32_API COLORREF GetPixel(HDC dc, int x, int y);
WIN32_API COLORREF GetNearestColor(HDC dc, COLORREF color);

// ---------------------------------------------------------------- regions (device units)
WIN32_API HRGN CreateRectRgn(int left, int top, int right, int bottom);
WIN32_API HRGN CreateRectRgnIndirect(const RECT* rect);
WIN32_API HRGN CreateEllipticRgn(int left, int top, int right, int bottom);
WIN32_API HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int width,
                                  int height);
// Polygon regions are scan-converted within ±2^20 pixels; rectangles reach ±2^30.
WIN32_API HRGN CreatePolygonRgn(const POINT* points, int count, int fillMode);
WIN32_API HRGN CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons,
                                    int fillMode);
WIN32_API HRGN ExtCreateRegion(const XFORM* xform, DWORD size, const RGNDATA* data);
WIN32_API int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode);
WIN32_API BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom);
WIN32_API int OffsetRgn(HRGN rgn, int dx, int dy);
WIN32_API int GetRgnBox(HRGN rgn, LPRECT rect);
WIN32_API BOOL EqualRgn(HRGN a, HRGN b);
WIN32_API BOOL PtInRegion(HRGN rgn, int x, int y);
WIN32_API BOOL RectInRegion(HRGN rgn, const RECT* rect);
// Size needed with a null buffer or a too small size; else the bytes written.
WIN32_API DWORD GetRegionData(HRGN rgn, DWORD size, RGNDATA* data);
WIN32_API BOOL FillRgn(HDC dc, HRGN rgn, HBRUSH brush);
WIN32_API BOOL FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int width, int height);
WIN32_API BOOL PaintRgn(HDC dc, HRGN rgn);
WIN32_API BOOL InvertRgn(HDC dc, HRGN rgn);

// ---------------------------------------------------------------- clipping
WIN32_API int SelectClipRgn(HDC dc, HRGN rgn);
// rgn null with RGN_COPY removes the clip region.
WIN32_API int ExtSelectClipRgn(HDC dc, HRGN rgn, int mode);
WIN32_API int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
WIN32_API int ExcludeClipRect(HDC dc, int left, int top, int right, int bottom);
WIN32_API int OffsetClipRgn(HDC dc, int dx, int dy);
// Logical units.
WIN32_API int GetClipBox(HDC dc, LPRECT rect);
// 1 and a copy in rgn when a clip region is set, 0 when none, -1 on error.
WIN32_API int GetClipRgn(HDC dc, HRGN rgn);
WIN32_API BOOL PtVisible(HDC dc, int x, int y);
WIN32_API BOOL RectVisible(HDC dc, const RECT* rect);

// ---------------------------------------------------------------- paths
WIN32_API BOOL BeginPath(HDC dc);
WIN32_API BOOL EndPath(HDC dc);
WIN32_API BOOL AbortPath(HDC dc);
WIN32_API BOOL CloseFigure(HDC dc);
WIN32_API BOOL FillPath(HDC dc);
WIN32_API BOOL StrokePath(HDC dc);
WIN32_API BOOL StrokeAndFillPath(HDC dc);
WIN32_API BOOL FlattenPath(HDC dc);
WIN32_API BOOL SelectClipPath(HDC dc, int mode);
WIN32_API HRGN PathToRegion(HDC dc);
// Logical units; with count 0 the number of points.
WIN32_API int GetPath(HDC dc, LPPOINT points, LPBYTE types, int count);

// ---------------------------------------------------------------- bitmaps
WIN32_API HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                               const void* bits);
WIN32_API HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
WIN32_API HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits,
                                   HANDLE section, DWORD offset);
WIN32_API HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init,
                                 const void* bits, const BITMAPINFO* info, UINT usage);
WIN32_API int GetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits,
                        BITMAPINFO* info, UINT usage);
WIN32_API int SetDIBits(HDC dc, HBITMAP bitmap, UINT start, UINT lines, const void* bits,
                        const BITMAPINFO* info, UINT usage);
WIN32_API int SetDIBitsToDevice(HDC dc, int xDest, int yDest, DWORD width, DWORD height,
                                int xSrc, int ySrc, UINT startScan, UINT lines, const void* bits,
                                const BITMAPINFO* info, UINT usage);
WIN32_API int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight,
                            int xSrc, int ySrc, int srcWidth, int srcHeight, const void* bits,
                            const BITMAPINFO* info, UINT usage, DWORD rop);
WIN32_API BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc,
                      int ySrc, DWORD rop);
WIN32_API BOOL StretchBlt(HDC dest, int x, int y, int width, int height, HDC src, int xSrc,
                          int ySrc, int srcWidth, int srcHeight, DWORD rop);
WIN32_API UINT GetDIBColorTable(HDC dc, UINT start, UINT count, RGBQUAD* colors);
WIN32_API UINT SetDIBColorTable(HDC dc, UINT start, UINT count, const RGBQUAD* colors);

// ---------------------------------------------------------------- palettes
// All fail while the test switch SdGdiFailPalettes is on.
WIN32_API HPALETTE CreatePalette(const LOGPALETTE* palette);
WIN32_API HPALETTE CreateHalftonePalette(HDC dc);
WIN32_API HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
WIN32_API UINT RealizePalette(HDC dc);
WIN32_API UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count,
                                 PALETTEENTRY* entries);
WIN32_API UINT SetPaletteEntries(HPALETTE palette, UINT start, UINT count,
                                 const PALETTEENTRY* entries);
WIN32_API UINT GetNearestPaletteIndex(HPALETTE palette, COLORREF color);
WIN32_API UINT GetSystemPaletteEntries(HDC dc, UINT start, UINT count, PALETTEENTRY* entries);
WIN32_API BOOL AnimatePalette(HPALETTE palette, UINT start, UINT count,
                              const PALETTEENTRY* entries);

// ---------------------------------------------------------------- text
// Recorded in the call log and drawn by filling the selected font's glyph outlines.
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
WIN32_API BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
WIN32_API BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                           UINT length, const INT* dx);
WIN32_API UINT SetTextAlign(HDC dc, UINT align);
WIN32_API UINT GetTextAlign(HDC dc);
inline BOOL TextOut(HDC dc, int x, int y, LPCSTR t, int n) {
    return TextOutA(dc, x, y, t, n);
}
inline BOOL ExtTextOut(HDC dc, int x, int y, UINT o, const RECT* r, LPCSTR t, UINT n, const INT* dx) {
    return ExtTextOutA(dc, x, y, o, r, t, n, dx);
}

// MulDiv: (a × b) / c rounded half away from zero; -1 when c is 0 or the result overflows.
WIN32_API int MulDiv(int a, int b, int c);

// ---------------------------------------------------------------- windows and resources
// Draws the window as it stands into the context, its top-left corner at (0, 0): its
// client area from its surface, its own scroll bars, then its visible descendants from
// their surfaces in z-order (bottom first), each clipped to its parent's client area.
// flags are ignored. FALSE for a window or context that is not valid.
WIN32_API BOOL PrintWindow(HWND hwnd, HDC dc, UINT flags);
// The display's composer: like PrintWindow, but only what is pending is painted, so what a
// window drew outside a paint (a cross-hair, a rubber band) stays on the screen.
WIN32_API BOOL SdComposeWindow(HWND hwnd, HDC dc);
// The RT_BITMAP resource of a module (a packed DIB, or a whole BMP file) as a bitmap of the
// screen's format. NULL without a module (no OEM bitmaps) or resource, or for a picture the
// layer cannot read.
WIN32_API HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name);
inline HBITMAP LoadBitmap(HINSTANCE i, LPCSTR n) {
    return LoadBitmapA(i, n);
}
// A bitmap resource with its colours replaced: each colour equal to a map entry's `from`
// becomes its `to` (colour-table entries, or the pixels of a picture without a table). No map:
// black, dark grey, light grey and white become the button text, shadow, face and highlight
// colours. Flags are ignored. NULL as for LoadBitmap.
struct COLORMAP {
    COLORREF from;
    COLORREF to;
};
using LPCOLORMAP = COLORMAP*;
WIN32_API HBITMAP CreateMappedBitmap(HINSTANCE instance, std::intptr_t id, UINT flags,
                                     const COLORMAP* map, int count);
