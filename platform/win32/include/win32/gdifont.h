#pragma once
// The font records of the drawing layer: logical fonts, text metrics, enumeration records,
// native glyph outlines in 16.16 fixed point and ABC widths, with their constants.

#include "win32/base.h"

constexpr int LF_FACESIZE = 32;
constexpr int LF_FULLFACESIZE = 64;

// Character sets.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE MAC_CHARSET = 77;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE OEM_CHARSET = 255;

// Weights.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_DECORATIVE = 0x50;

// Font types handed to enumeration callbacks, and NEWTEXTMETRIC flags.
constexpr DWORD RASTER_FONTTYPE = 0x0001;
constexpr DWORD DEVICE_FONTTYPE = 0x0002;
constexpr DWORD TRUETYPE_FONTTYPE = 0x0004;
constexpr DWORD NTM_ITALIC = 0x00000001;
constexpr DWORD NTM_BOLD = 0x00000020;
constexpr DWORD NTM_REGULAR = 0x00000040;
constexpr DWORD NTM_PS_OPENTYPE = 0x00020000;
constexpr DWORD NTM_TT_OPENTYPE = 0x00040000;
constexpr DWORD NTM_TYPE1 = 0x00100000;

// GetGlyphOutline formats and the records of GGO_NATIVE.
constexpr UINT GGO_METRICS = 0;
constexpr UINT GGO_NATIVE = 2;
constexpr UINT GGO_BEZIER = 3;
constexpr UINT GGO_GLYPH_INDEX = 0x80;
constexpr DWORD GDI_ERROR = 0xFFFFFFFFu;
constexpr DWORD TT_POLYGON_TYPE = 24;
constexpr WORD TT_PRIM_LINE = 1;
constexpr WORD TT_PRIM_QSPLINE = 2;
constexpr WORD TT_PRIM_CSPLINE = 3;

struct LOGFONTA {
    LONG lfHeight; // > 0: cell height, < 0: em height, in logical units
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    CHAR lfFaceName[LF_FACESIZE];
};
using LPLOGFONTA = LOGFONTA*;

struct ENUMLOGFONTA {
    LOGFONTA elfLogFont;
    BYTE elfFullName[LF_FULLFACESIZE];
    BYTE elfStyle[LF_FACESIZE];
};

struct TEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};

struct NEWTEXTMETRICA {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
    DWORD ntmFlags;
    UINT ntmSizeEM;
    UINT ntmCellHeight;
    UINT ntmAvgWidth;
};

// 16.16 fixed point: value is the integer part (the floor), fract the fraction.
struct FIXED {
    WORD fract;
    SHORT value;
};
struct POINTFX {
    FIXED x;
    FIXED y;
};
struct MAT2 {
    FIXED eM11;
    FIXED eM12;
    FIXED eM21;
    FIXED eM22;
};
struct GLYPHMETRICS {
    UINT gmBlackBoxX;
    UINT gmBlackBoxY;
    POINT gmptGlyphOrigin;
    SHORT gmCellIncX;
    SHORT gmCellIncY;
};
// One contour: cb bytes in all, this header included, then TTPOLYCURVE records.
struct TTPOLYGONHEADER {
    DWORD cb;
    DWORD dwType;
    POINTFX pfxStart;
};
struct TTPOLYCURVE {
    WORD wType;
    WORD cpfx;
    POINTFX apfx[1];
};
struct ABC {
    int abcA;
    UINT abcB;
    int abcC;
};

using FONTENUMPROCA = int (*)(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM);

// ---- font functions of the drawing layer ----
WIN32_API int EnumFontFamiliesA(HDC dc, LPCSTR family, FONTENUMPROCA proc, LPARAM lParam);
WIN32_API HFONT CreateFontIndirectA(const LOGFONTA* lf);
WIN32_API DWORD GetGlyphOutlineA(HDC dc, UINT ch, UINT format, GLYPHMETRICS* metrics,
                                 DWORD bufferSize, LPVOID buffer, const MAT2* matrix);
WIN32_API BOOL GetCharABCWidthsA(HDC dc, UINT first, UINT last, ABC* widths);
WIN32_API BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
WIN32_API BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);

struct KERNINGPAIR {
    WORD wFirst;
    WORD wSecond;
    int iKernAmount;
};
struct OUTLINETEXTMETRICA {
    UINT otmSize;
    TEXTMETRICA otmTextMetrics;
    BYTE otmFiller;
    BYTE otmPanoseNumber[10];
    UINT otmfsSelection;
    UINT otmfsType;
    int otmsCharSlopeRise;
    int otmsCharSlopeRun;
    int otmItalicAngle;
    UINT otmEMSquare;
    int otmAscent;
    int otmDescent;
    UINT otmLineGap;
    UINT otmsCapEmHeight;
    UINT otmsXHeight;
    RECT otmrcFontBox;
    int otmMacAscent;
    int otmMacDescent;
    UINT otmMacLineGap;
    UINT otmusMinimumPPEM;
    POINT otmptSubscriptSize;
    POINT otmptSubscriptOffset;
    POINT otmptSuperscriptSize;
    POINT otmptSuperscriptOffset;
    UINT otmsStrikeoutSize;
    int otmsStrikeoutPosition;
    int otmsUnderscoreSize;
    int otmsUnderscorePosition;
    LPSTR otmpFamilyName; // offsets from the start of the record, as GDI stores them
    LPSTR otmpFaceName;
    LPSTR otmpStyleName;
    LPSTR otmpFullName;
};
WIN32_API UINT GetOutlineTextMetricsA(HDC dc, UINT size, OUTLINETEXTMETRICA* metrics);
WIN32_API DWORD GetKerningPairsA(HDC dc, DWORD count, KERNINGPAIR* pairs);
