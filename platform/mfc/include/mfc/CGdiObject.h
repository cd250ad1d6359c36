#pragma once
// Framework objects around drawing-object handles: CGdiObject and its pens, brushes,
// bitmaps, palettes and regions. An object owns the handle it created or was attached to and
// deletes it when destroyed; FromHandle wraps a handle it does not own in a temporary object
// that lives as long as the process keeps the wrapper table (until AfxDeleteTempGdiObjects).

#include "mfc/CObject.h"
#include "mfc/CRect.h"
#include "win32/wingdi.h"

class MFC_API CGdiObject : public CObject {
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = nullptr;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const;

    static CGdiObject* FromHandle(HGDIOBJ h);
    BOOL Attach(HGDIOBJ h);
    HGDIOBJ Detach();
    BOOL DeleteObject();
    int GetObject(int size, LPVOID buffer) const;
    UINT GetObjectType() const;
    BOOL CreateStockObject(int index);
    BOOL UnrealizeObject() { return m_hObject != nullptr; }
    BOOL operator==(const CGdiObject& o) const { return m_hObject == o.m_hObject; }
    BOOL operator!=(const CGdiObject& o) const { return m_hObject != o.m_hObject; }

private:
    bool stock_ = false;
};

// Deletes the temporary wrappers made by FromHandle (also done at process end).
MFC_API void AfxDeleteTempGdiObjects();

class MFC_API CPen : public CGdiObject {
    DECLARE_DYNAMIC(CPen)
public:
    CPen() = default;
    // Leaves the object empty when the pen cannot be made.
    CPen(int style, int width, COLORREF color);
    static CPen* FromHandle(HPEN h);
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
    BOOL CreatePen(int style, int width, COLORREF color);
    BOOL CreatePenIndirect(const LOGPEN* pen);
    int GetLogPen(LOGPEN* pen) const { return GetObject(sizeof(LOGPEN), pen); }
};

class CBitmap;

class MFC_API CBrush : public CGdiObject {
    DECLARE_DYNAMIC(CBrush)
public:
    CBrush() = default;
    explicit CBrush(COLORREF color);
    CBrush(int hatch, COLORREF color);
    explicit CBrush(CBitmap* bitmap);
    static CBrush* FromHandle(HBRUSH h);
    operator HBRUSH() const { return static_cast<HBRUSH>(m_hObject); }
    BOOL CreateSolidBrush(COLORREF color);
    BOOL CreateHatchBrush(int hatch, COLORREF color);
    BOOL CreatePatternBrush(CBitmap* bitmap);
    BOOL CreateBrushIndirect(const LOGBRUSH* brush);
    int GetLogBrush(LOGBRUSH* brush) const { return GetObject(sizeof(LOGBRUSH), brush); }
};

class CDC;

class MFC_API CBitmap : public CGdiObject {
    DECLARE_DYNAMIC(CBitmap)
public:
    CBitmap() = default;
    static CBitmap* FromHandle(HBITMAP h);
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
    BOOL CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    BOOL CreateBitmapIndirect(const BITMAP* bitmap);
    BOOL CreateCompatibleBitmap(CDC* dc, int width, int height);
    int GetBitmap(BITMAP* bitmap) const { return GetObject(sizeof(BITMAP), bitmap); }
};

class MFC_API CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    CPalette() = default;
    static CPalette* FromHandle(HPALETTE h);
    operator HPALETTE() const { return static_cast<HPALETTE>(m_hObject); }
    BOOL CreatePalette(const LOGPALETTE* palette);
    BOOL CreateHalftonePalette(CDC* dc);
    int GetEntryCount() const;
    UINT GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const;
    UINT SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* entries);
    void AnimatePalette(UINT start, UINT count, const PALETTEENTRY* entries);
    UINT GetNearestPaletteIndex(COLORREF color) const;
};

class MFC_API CFont : public CGdiObject {
    DECLARE_DYNAMIC(CFont)
public:
    CFont() = default;
    static CFont* FromHandle(HFONT h);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
    BOOL CreateFontIndirect(const LOGFONTA* logFont);
    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                    BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCSTR faceName);
    int GetLogFont(LOGFONTA* logFont) const { return GetObject(sizeof(LOGFONTA), logFont); }
};

class MFC_API CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
public:
    CRgn() = default;
    static CRgn* FromHandle(HRGN h);
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
    BOOL CreateRectRgn(int l, int t, int r, int b);
    BOOL CreateRectRgnIndirect(const RECT* rect);
    BOOL CreateEllipticRgn(int l, int t, int r, int b);
    BOOL CreateEllipticRgnIndirect(const RECT* rect);
    BOOL CreateRoundRectRgn(int l, int t, int r, int b, int w, int h);
    BOOL CreatePolygonRgn(const POINT* points, int count, int mode);
    BOOL CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int mode);
    BOOL CreateFromData(const XFORM* xform, int size, const RGNDATA* data);
    void SetRectRgn(int l, int t, int r, int b);
    void SetRectRgn(const RECT* rect);
    int CombineRgn(CRgn* a, CRgn* b, int mode);
    int CopyRgn(CRgn* src);
    BOOL EqualRgn(CRgn* other) const;
    int OffsetRgn(int dx, int dy);
    int OffsetRgn(POINT p) { return OffsetRgn(p.x, p.y); }
    int GetRgnBox(LPRECT rect) const;
    BOOL PtInRegion(int x, int y) const;
    BOOL PtInRegion(POINT p) const { return PtInRegion(p.x, p.y); }
    BOOL RectInRegion(const RECT* rect) const;
    int GetRegionData(RGNDATA* data, int size) const;
};
