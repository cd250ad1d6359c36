#pragma once
// Recording on metafile contexts. The drawing functions call these hooks after checking their
// arguments; a hook returns false when the call cannot be recorded (a Windows metafile and a
// call its format lacks, or coordinates beyond 16 bits), and the call then fails.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "DeviceContext.h"
#include "win32/wingdi_meta.h"

namespace sdgdi {

class MetaRecorder {
public:
    explicit MetaRecorder(bool enhanced) : enhanced(enhanced) {}
    const bool enhanced;
    std::string fileName;
    // EMF: records after the header; WMF: records after the header.
    std::vector<BYTE> body;
    DWORD records = 0;
    DWORD maxRecordWords = 0; // WMF
    // Object table: EMF index i+1 / WMF index i holds objects[i].
    std::vector<HGDIOBJ> objects;
    // Bounds of what was drawn, device units, inclusive.
    bool haveBounds = false;
    RECTL bounds{0, 0, -1, -1};
    // EMF header inputs.
    bool haveFrame = false;
    RECTL frame{};
    SIZEL device{}, millimetres{};
    std::vector<BYTE> description; // UTF-16LE with both NULs

    void addDevicePoint(const DeviceContext& dc, LONG x, LONG y);
    void addDeviceRect(const RECTL& r);
    void emr(DWORD type, const std::vector<BYTE>& params);
    // The parameters, then raw bytes (a DIB, a region), padded to whole words.
    void wmr(WORD function, const std::vector<std::int16_t>& params,
             const std::vector<BYTE>& tail = {});
};

bool metaPoly(DeviceContext& dc, DWORD emr, const POINT* points, std::size_t count);
bool metaPolyPoly(DeviceContext& dc, DWORD emr, const POINT* points,
                  const std::vector<DWORD>& counts);
bool metaInts(DeviceContext& dc, DWORD emr, std::initializer_list<LONG> values);
// The object's index in the metafile's object table (EMF: from 1, stock objects flagged),
// writing its creation record the first time; false when the format cannot express it.
bool objectIndex(DeviceContext& dc, HGDIOBJ object, DWORD& index);
bool metaSelect(DeviceContext& dc, HGDIOBJ object);
bool metaXform(DeviceContext& dc, DWORD emr, const XFORM& xform, DWORD mode);
// Attribute setters by API name (SetBkColor, SetROP2, ...); path calls by name (FillPath, ...).
bool metaAttribute(DeviceContext& dc, const char* setter, LONG value);
bool metaPathCall(DeviceContext& dc, const char* name);
bool metaText(DeviceContext& dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
              UINT length, const INT* dx);
bool metaStretchDib(DeviceContext& dc, int xDest, int yDest, int cxDest, int cyDest, int xSrc,
                    int ySrc, int cxSrc, int cySrc, const void* bits, const BITMAPINFO* info,
                    UINT usage, DWORD rop);
bool metaSetDibits(DeviceContext& dc, int xDest, int yDest, DWORD width, DWORD height, int xSrc,
                   int ySrc, UINT startScan, UINT lines, const void* bits, const BITMAPINFO* info,
                   UINT usage);
bool metaAngleArc(DeviceContext& dc, int x, int y, DWORD radius, FLOAT start, FLOAT sweep);
bool metaSelectPalette(DeviceContext& dc, HPALETTE palette);
bool metaRealizePalette(DeviceContext& dc);
// A rectangle of pattern (no source) or a copy of the source context's pixels (source
// logical rectangle xs, ys, ws, hs); stretch chooses the stretching record.
bool metaBlt(DeviceContext& dc, int x, int y, int w, int h, DeviceContext* source, int xs, int ys,
             int ws, int hs, DWORD rop);
// FillRect, FrameRect, InvertRect: pattern blits with the brush selected for them.
bool metaBrushBlts(DeviceContext& dc, HBRUSH brush, const std::vector<RECT>& rects, DWORD rop);
// FillRgn (brush), FrameRgn (brush, w, h), InvertRgn, PaintRgn; the region in device units.
bool metaRegion(DeviceContext& dc, DWORD emr, HRGN region, HBRUSH brush, int w, int h);
// ExtSelectClipRgn; null region: no clip.
bool metaClipRegion(DeviceContext& dc, HRGN region, int mode);
bool metaOffsetClip(DeviceContext& dc, int dx, int dy);

// A packed DIB (header, colour table, bits) of a surface's rectangle in device pixels,
// bottom-up: 1 bit for monochrome bitmaps (black, white), else 24 bits. headerBytes receives
// the size of the header with its colour table. Pixels outside the surface are 0.
std::vector<BYTE> packedDib(const Surface& s, int x, int y, int w, int h, DWORD& headerBytes);

// The finished bytes of a recorder (header, records, end record).
std::vector<BYTE> finishEnhanced(MetaRecorder& r);
std::vector<BYTE> finishWindows(MetaRecorder& r);

// Whether a value fits a 16-bit (WMF) coordinate.
inline bool fits16(std::int64_t v) {
    return v >= INT16_MIN && v <= INT16_MAX;
}

// Little-endian helpers shared by the metafile code.
inline void putU32(std::vector<BYTE>& v, DWORD x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(BYTE(x >> (8 * i)));
}
inline void putU16(std::vector<BYTE>& v, WORD x) {
    v.push_back(BYTE(x));
    v.push_back(BYTE(x >> 8));
}
inline DWORD getU32(const BYTE* p) {
    return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24;
}
inline WORD getU16(const BYTE* p) {
    return WORD(p[0] | p[1] << 8);
}
inline LONG getI32(const BYTE* p) {
    return LONG(getU32(p));
}
inline std::int16_t getI16(const BYTE* p) {
    return std::int16_t(getU16(p));
}

} // namespace sdgdi
