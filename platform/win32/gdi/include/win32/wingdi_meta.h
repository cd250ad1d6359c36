#pragma once
// Metafiles: enhanced metafiles (EMF) and Windows metafiles (WMF) in their public byte
// formats. Drawing on a metafile context records; the loaders check the signature, the header
// and every record (size at least 8 and a multiple of 4 inside the data for EMF, counts and
// offsets inside their record) and give NULL with ERROR_INVALID_DATA for damaged data.

#include "win32/kernel.h" // ERROR_INVALID_DATA
#include "win32/wingdi.h"

struct HENHMETAFILE__;
struct HMETAFILE__;
using HENHMETAFILE = HENHMETAFILE__*;
using HMETAFILE = HMETAFILE__*;

constexpr DWORD OBJ_METAFILE = 9;
constexpr DWORD OBJ_ENHMETADC = 12;
constexpr DWORD OBJ_ENHMETAFILE = 13;

struct RECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
struct SIZEL {
    LONG cx;
    LONG cy;
};

struct ENHMETAHEADER {
    DWORD iType; // EMR_HEADER
    DWORD nSize;
    RECTL rclBounds; // device units, inclusive
    RECTL rclFrame;  // 0.01 mm, inclusive
    DWORD dSignature;
    DWORD nVersion;
    DWORD nBytes;
    DWORD nRecords;
    WORD nHandles;
    WORD sReserved;
    DWORD nDescription; // UTF-16 characters
    DWORD offDescription;
    DWORD nPalEntries;
    SIZEL szlDevice;      // reference device in pixels
    SIZEL szlMillimeters; // and in millimetres
    DWORD cbPixelFormat;
    DWORD offPixelFormat;
    DWORD bOpenGL;
    SIZEL szlMicrometers;
};
static_assert(sizeof(ENHMETAHEADER) == 108);

struct ENHMETARECORD {
    DWORD iType;
    DWORD nSize;
    DWORD dParm[1];
};

#pragma pack(push, 2)
struct METAHEADER {
    WORD mtType;       // 1 memory, 2 disk
    WORD mtHeaderSize; // 9 words
    WORD mtVersion;
    DWORD mtSize; // whole metafile in 16-bit words
    WORD mtNoObjects;
    DWORD mtMaxRecord; // words
    WORD mtNoParameters;
};
struct METARECORD {
    DWORD rdSize; // words, with the six-byte head
    WORD rdFunction;
    WORD rdParm[1];
};
#pragma pack(pop)
static_assert(sizeof(METAHEADER) == 18);

struct HANDLETABLE {
    HGDIOBJ objectHandle[1];
};
using LPHANDLETABLE = HANDLETABLE*;

struct METAFILEPICT {
    LONG mm;
    LONG xExt;
    LONG yExt;
    HMETAFILE hMF;
};

// The 22-byte header that precedes some WMF files on disk.
constexpr DWORD META_PLACEABLE_KEY = 0x9AC6CDD7;
#pragma pack(push, 2)
struct SdPlaceableHeader {
    DWORD key;
    WORD hmf;
    short left, top, right, bottom; // metafile units
    WORD inch;                      // units per inch
    DWORD reserved;
    WORD checksum; // XOR of the ten words before it
};
#pragma pack(pop)
static_assert(sizeof(SdPlaceableHeader) == 22);
// The checksum of a placeable header.
WIN32_API WORD SdPlaceableChecksum(const SdPlaceableHeader& header);
// The size of a valid placeable header at the start of data (22), or 0 when there is none.
WIN32_API UINT SdPlaceableHeaderSize(const void* data, UINT size);

// Record types (EMR_) and functions (META_) this layer writes, plays and checks.
constexpr DWORD EMR_HEADER = 1, EMR_POLYBEZIER = 2, EMR_POLYGON = 3, EMR_POLYLINE = 4,
                EMR_POLYBEZIERTO = 5, EMR_POLYLINETO = 6, EMR_POLYPOLYLINE = 7, EMR_POLYPOLYGON = 8,
                EMR_SETWINDOWEXTEX = 9, EMR_SETWINDOWORGEX = 10, EMR_SETVIEWPORTEXTEX = 11,
                EMR_SETVIEWPORTORGEX = 12, EMR_SETBRUSHORGEX = 13, EMR_EOF = 14, EMR_SETPIXELV = 15,
                EMR_SETMAPMODE = 17, EMR_SETBKMODE = 18, EMR_SETPOLYFILLMODE = 19, EMR_SETROP2 = 20,
                EMR_SETSTRETCHBLTMODE = 21, EMR_SETTEXTALIGN = 22, EMR_SETTEXTCOLOR = 24,
                EMR_SETBKCOLOR = 25, EMR_MOVETOEX = 27, EMR_EXCLUDECLIPRECT = 29,
                EMR_INTERSECTCLIPRECT = 30, EMR_SAVEDC = 33, EMR_RESTOREDC = 34,
                EMR_SETWORLDTRANSFORM = 35, EMR_MODIFYWORLDTRANSFORM = 36, EMR_SELECTOBJECT = 37,
                EMR_CREATEPEN = 38, EMR_CREATEBRUSHINDIRECT = 39, EMR_DELETEOBJECT = 40,
                EMR_ANGLEARC = 41, EMR_ELLIPSE = 42, EMR_RECTANGLE = 43, EMR_ROUNDRECT = 44,
                EMR_ARC = 45, EMR_CHORD = 46, EMR_PIE = 47, EMR_LINETO = 54, EMR_ARCTO = 55,
                EMR_SETARCDIRECTION = 57, EMR_BEGINPATH = 59, EMR_ENDPATH = 60,
                EMR_CLOSEFIGURE = 61, EMR_FILLPATH = 62, EMR_STROKEANDFILLPATH = 63,
                EMR_STROKEPATH = 64, EMR_SELECTCLIPPATH = 67, EMR_ABORTPATH = 68,
                EMR_GDICOMMENT = 70, EMR_STRETCHDIBITS = 81, EMR_EXTTEXTOUTA = 83,
                EMR_EXTTEXTOUTW = 84, EMR_POLYBEZIER16 = 85, EMR_POLYGON16 = 86,
                EMR_POLYLINE16 = 87, EMR_POLYBEZIERTO16 = 88, EMR_POLYLINETO16 = 89,
                EMR_POLYPOLYLINE16 = 90, EMR_POLYPOLYGON16 = 91, EMR_POLYDRAW16 = 92,
                EMR_POLYDRAW = 56, EMR_POLYTEXTOUTA = 96, EMR_POLYTEXTOUTW = 97,
                EMR_OFFSETCLIPRGN = 26, EMR_SELECTPALETTE = 48, EMR_CREATEPALETTE = 49,
                EMR_REALIZEPALETTE = 52, EMR_FILLRGN = 71, EMR_FRAMERGN = 72,
                EMR_INVERTRGN = 73, EMR_PAINTRGN = 74, EMR_EXTSELECTCLIPRGN = 75,
                EMR_BITBLT = 76, EMR_STRETCHBLT = 77, EMR_EXTCREATEFONTINDIRECTW = 82,
                EMR_CREATEMONOBRUSH = 93, EMR_CREATEDIBPATTERNBRUSHPT = 94,
                EMR_EXTCREATEPEN = 95, EMR_FLATTENPATH = 65, EMR_SETDIBITSTODEVICE = 80;
constexpr DWORD ENHMETA_SIGNATURE = 0x464D4520;
constexpr DWORD ENHMETA_STOCK_OBJECT = 0x80000000;

constexpr WORD META_EOF = 0x0000, META_SAVEDC = 0x001E, META_SETBKMODE = 0x0102,
               META_SETMAPMODE = 0x0103, META_SETROP2 = 0x0104, META_SETPOLYFILLMODE = 0x0106,
               META_RESTOREDC = 0x0127, META_SELECTOBJECT = 0x012D, META_DELETEOBJECT = 0x01F0,
               META_SETBKCOLOR = 0x0201, META_SETTEXTCOLOR = 0x0209, META_SETWINDOWORG = 0x020B,
               META_SETWINDOWEXT = 0x020C, META_SETVIEWPORTORG = 0x020D,
               META_SETVIEWPORTEXT = 0x020E, META_OFFSETWINDOWORG = 0x020F,
               META_OFFSETVIEWPORTORG = 0x0211, META_LINETO = 0x0213, META_MOVETO = 0x0214,
               META_CREATEPENINDIRECT = 0x02FA, META_CREATEFONTINDIRECT = 0x02FB,
               META_CREATEBRUSHINDIRECT = 0x02FC, META_CREATEPALETTE = 0x00F7,
               META_DIBCREATEPATTERNBRUSH = 0x0142, META_CREATEPATTERNBRUSH = 0x01F9,
               META_CREATEREGION = 0x06FF, META_POLYGON = 0x0324, META_POLYLINE = 0x0325,
               META_SCALEWINDOWEXT = 0x0410, META_SCALEVIEWPORTEXT = 0x0412,
               META_EXCLUDECLIPRECT = 0x0415, META_INTERSECTCLIPRECT = 0x0416,
               META_ELLIPSE = 0x0418, META_RECTANGLE = 0x041B, META_POLYPOLYGON = 0x0538,
               META_ROUNDRECT = 0x061C, META_ARC = 0x0817, META_EXTTEXTOUT = 0x0A32,
               META_SETTEXTALIGN = 0x012E, META_SETPIXEL = 0x041F, META_PIE = 0x081A,
               META_CHORD = 0x0830, META_SELECTPALETTE = 0x0234,
               META_REALIZEPALETTE = 0x0035, META_PATBLT = 0x061D, META_DIBBITBLT = 0x0940,
               META_DIBSTRETCHBLT = 0x0B41, META_STRETCHDIB = 0x0F43, META_FILLREGION = 0x0228,
               META_FRAMEREGION = 0x0429, META_INVERTREGION = 0x012A,
               META_PAINTREGION = 0x012B, META_SELECTCLIPREGION = 0x012C,
               META_OFFSETCLIPRGN = 0x0220, META_SETDIBTODEV = 0x0D33;

// ---------------------------------------------------------------- enhanced metafiles
// frame: 0.01 mm, inclusive; null: computed from the drawing's bounds. description:
// "application\0picture\0\0" in the ANSI code page, stored as UTF-16.
WIN32_API HDC CreateEnhMetaFileA(HDC reference, LPCSTR file, const RECT* frame, LPCSTR description);
WIN32_API HENHMETAFILE CloseEnhMetaFile(HDC dc);
WIN32_API HENHMETAFILE GetEnhMetaFileA(LPCSTR file);
WIN32_API HENHMETAFILE SetEnhMetaFileBits(UINT size, const BYTE* data);
WIN32_API UINT GetEnhMetaFileBits(HENHMETAFILE emf, UINT size, LPBYTE data);
WIN32_API UINT GetEnhMetaFileHeader(HENHMETAFILE emf, UINT size, ENHMETAHEADER* header);
// Characters of the description with both NULs, or -1 (GDI_ERROR) for a stale handle.
WIN32_API UINT GetEnhMetaFileDescriptionA(HENHMETAFILE emf, UINT size, LPSTR description);
WIN32_API HENHMETAFILE CopyEnhMetaFileA(HENHMETAFILE emf, LPCSTR file);
WIN32_API BOOL DeleteEnhMetaFile(HENHMETAFILE emf);
// The frame is mapped onto rect (inclusive-exclusive as drawing rectangles are).
WIN32_API BOOL PlayEnhMetaFile(HDC dc, HENHMETAFILE emf, const RECT* rect);
using ENHMFENUMPROC = int (*)(HDC, HANDLETABLE*, const ENHMETARECORD*, int, LPARAM);
// Calls proc for every record with the handle table; with a DC and a rectangle the DC is
// prepared as PlayEnhMetaFile does. During the enumeration GetWorldTransform of the DC gives
// the transform from the records' logical units to the metafile's device units (the space of
// rclBounds); the frame-to-rectangle mapping sits in the DC's window and viewport. FALSE when
// proc returned 0 or a record is malformed.
WIN32_API BOOL EnumEnhMetaFile(HDC dc, HENHMETAFILE emf, ENHMFENUMPROC proc, LPVOID data,
                               const RECT* rect);
WIN32_API BOOL PlayEnhMetaFileRecord(HDC dc, HANDLETABLE* table, const ENHMETARECORD* record,
                                     UINT handles);
// Number of records the player skipped because it cannot perform them (since the last reset).
WIN32_API UINT SdEnhMetaSkippedRecords(bool reset);

// An angle arc: a line from the current position to the arc's start, then the arc; angles
// in degrees, counter-clockwise on screen.
WIN32_API BOOL AngleArc(HDC dc, int x, int y, DWORD radius, FLOAT startAngle, FLOAT sweepAngle);

// ---------------------------------------------------------------- Windows metafiles
// Drawing the format cannot express (paths, Béziers, world transforms, ...) fails on a WMF
// context with ERROR_INVALID_PARAMETER.
WIN32_API HDC CreateMetaFileA(LPCSTR file);
WIN32_API HMETAFILE CloseMetaFile(HDC dc);
// Refuses a file that begins with a placeable header.
WIN32_API HMETAFILE GetMetaFileA(LPCSTR file);
WIN32_API HMETAFILE SetMetaFileBitsEx(UINT size, const BYTE* data);
WIN32_API UINT GetMetaFileBitsEx(HMETAFILE wmf, UINT size, LPVOID data);
WIN32_API HMETAFILE CopyMetaFileA(HMETAFILE wmf, LPCSTR file);
WIN32_API BOOL DeleteMetaFile(HMETAFILE wmf);
WIN32_API BOOL PlayMetaFile(HDC dc, HMETAFILE wmf);
using MFENUMPROC = int (*)(HDC, HANDLETABLE*, METARECORD*, int, LPARAM);
WIN32_API BOOL EnumMetaFile(HDC dc, HMETAFILE wmf, MFENUMPROC proc, LPARAM data);
WIN32_API BOOL PlayMetaFileRecord(HDC dc, HANDLETABLE* table, METARECORD* record, UINT handles);

// ---------------------------------------------------------------- conversions
// pict: mapping mode and extents (0.01 mm units for the metric modes); null: MM_ANISOTROPIC
// of the reference device's size.
WIN32_API HENHMETAFILE SetWinMetaFileBits(UINT size, const BYTE* data, HDC reference,
                                          const METAFILEPICT* pict);
WIN32_API UINT GetWinMetaFileBits(HENHMETAFILE emf, UINT size, LPBYTE data, INT mapMode,
                                  HDC reference);
