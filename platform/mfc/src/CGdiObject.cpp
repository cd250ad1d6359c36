#include "mfc/CGdiObject.h"

#include <map>
#include <memory>
#include <mutex>

#include "mfc/CDC.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

namespace {

// Objects attached to handles (permanent) and wrappers made by FromHandle (temporary).
struct GdiMaps {
    std::mutex lock;
    std::map<HGDIOBJ, CGdiObject*> permanent;
    std::map<HGDIOBJ, std::unique_ptr<CGdiObject>> temporary;
    ~GdiMaps() {
        for (auto& [h, o] : temporary) o->m_hObject = nullptr;
    }
};

GdiMaps& maps() {
    static GdiMaps m;
    return m;
}

template <class T> T* wrap(HGDIOBJ h, CRuntimeClass* cls) {
    if (!h) return nullptr;
    GdiMaps& m = maps();
    std::lock_guard<std::mutex> guard(m.lock);
    if (auto it = m.permanent.find(h); it != m.permanent.end()) return static_cast<T*>(it->second);
    auto& slot = m.temporary[h];
    if (!slot || !slot->IsKindOf(cls)) {
        if (slot) slot->m_hObject = nullptr;
        auto o = std::make_unique<T>();
        o->m_hObject = h;
        slot = std::move(o);
    }
    return static_cast<T*>(slot.get());
}

template <class T> BOOL adopt(T* self, HGDIOBJ h) {
    if (!h) return FALSE;
    return self->Attach(h);
}

} // namespace

void AfxDeleteTempGdiObjects() {
    GdiMaps& m = maps();
    std::lock_guard<std::mutex> guard(m.lock);
    for (auto& [h, o] : m.temporary) o->m_hObject = nullptr;
    m.temporary.clear();
}

CGdiObject::~CGdiObject() {
    DeleteObject();
}

HGDIOBJ CGdiObject::GetSafeHandle() const {
    const CGdiObject* self = this;
    asm("" : "+r"(self));
    return self ? self->m_hObject : nullptr;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) {
    return wrap<CGdiObject>(h, RUNTIME_CLASS(CGdiObject));
}

BOOL CGdiObject::Attach(HGDIOBJ h) {
    if (!h || m_hObject) return FALSE;
    m_hObject = h;
    GdiMaps& m = maps();
    std::lock_guard<std::mutex> guard(m.lock);
    m.permanent[h] = this;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (h) {
        GdiMaps& m = maps();
        std::lock_guard<std::mutex> guard(m.lock);
        auto it = m.permanent.find(h);
        if (it != m.permanent.end() && it->second == this) m.permanent.erase(it);
    }
    m_hObject = nullptr;
    stock_ = false;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject) return FALSE;
    bool stock = stock_;
    HGDIOBJ h = Detach();
    return stock ? TRUE : ::DeleteObject(h);
}

int CGdiObject::GetObject(int size, LPVOID buffer) const {
    return ::GetObjectA(m_hObject, size, buffer);
}

UINT CGdiObject::GetObjectType() const {
    return ::GetObjectType(m_hObject);
}

BOOL CGdiObject::CreateStockObject(int index) {
    HGDIOBJ h = ::GetStockObject(index);
    if (!Attach(h)) return FALSE;
    stock_ = true;
    return TRUE;
}

CPen::CPen(int style, int width, COLORREF color) {
    CreatePen(style, width, color);
}
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
CFont* CFont::FromHandle(HFONT h) {
    return wrap<CFont>(h, RUNTIME_CLASS(CFont));
}
BOOL CFont::CreateFontIndirect(const LOGFONTA* logFont) {
    return logFont != nullptr && adopt(this, ::CreateFontIndirectA(logFont));
}
BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight,
                       BYTE italic, BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision,
                       BYTE clipPrecision, BYTE quality, BYTE pitchAndFamily, LPCSTR faceName) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName != nullptr) {
        std::size_t n = 0;
        for (; faceName[n] != '\0' && n + 1 < sizeof lf.lfFaceName; ++n) lf.lfFaceName[n] = faceName[n];
        lf.lfFaceName[n] = '\0';
    }
    return CreateFontIndirect(&lf);
}

CPen* CPen::FromHandle(HPEN h) {
    return wrap<CPen>(h, RUNTIME_CLASS(CPen));
}
BOOL CPen::CreatePen(int style, int width, COLORREF color) {
    return adopt(this, ::CreatePen(style, width, color));
}
BOOL CPen::CreatePenIndirect(const LOGPEN* pen) {
    return adopt(this, ::CreatePenIndirect(pen));
}

CBrush::CBrush(COLORREF color) {
    CreateSolidBrush(color);
}
CBrush::CBrush(int hatch, COLORREF color) {
    CreateHatchBrush(hatch, color);
}
CBrush::CBrush(CBitmap* bitmap) {
    CreatePatternBrush(bitmap);
}
CBrush* CBrush::FromHandle(HBRUSH h) {
    return wrap<CBrush>(h, RUNTIME_CLASS(CBrush));
}
BOOL CBrush::CreateSolidBrush(COLORREF color) {
    return adopt(this, ::CreateSolidBrush(color));
}
BOOL CBrush::CreateHatchBrush(int hatch, COLORREF color) {
    return adopt(this, ::CreateHatchBrush(hatch, color));
}
BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
    return bitmap ? adopt(this, ::CreatePatternBrush(*bitmap)) : FALSE;
}
BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* brush) {
    return adopt(this, ::CreateBrushIndirect(brush));
}

CBitmap* CBitmap::FromHandle(HBITMAP h) {
    return wrap<CBitmap>(h, RUNTIME_CLASS(CBitmap));
}
BOOL CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bpp, const void* bits) {
    return adopt(this, ::CreateBitmap(width, height, planes, bpp, bits));
}
BOOL CBitmap::CreateBitmapIndirect(const BITMAP* bm) {
    if (!bm) return FALSE;
    return CreateBitmap(bm->bmWidth, bm->bmHeight, bm->bmPlanes, bm->bmBitsPixel, bm->bmBits);
}
BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
    return dc ? adopt(this, ::CreateCompatibleBitmap(dc->m_hDC, width, height)) : FALSE;
}

CPalette* CPalette::FromHandle(HPALETTE h) {
    return wrap<CPalette>(h, RUNTIME_CLASS(CPalette));
}
BOOL CPalette::CreatePalette(const LOGPALETTE* palette) {
    return adopt(this, ::CreatePalette(palette));
}
BOOL CPalette::CreateHalftonePalette(CDC* dc) {
    return adopt(this, ::CreateHalftonePalette(dc ? dc->m_hDC : nullptr));
}
int CPalette::GetEntryCount() const {
    WORD n = 0;
    return GetObject(sizeof n, &n) ? n : 0;
}
UINT CPalette::GetPaletteEntries(UINT start, UINT count, PALETTEENTRY* entries) const {
    return ::GetPaletteEntries(*this, start, count, entries);
}
UINT CPalette::SetPaletteEntries(UINT start, UINT count, const PALETTEENTRY* entries) {
    return ::SetPaletteEntries(*this, start, count, entries);
}
void CPalette::AnimatePalette(UINT start, UINT count, const PALETTEENTRY* entries) {
    ::AnimatePalette(*this, start, count, entries);
}
UINT CPalette::GetNearestPaletteIndex(COLORREF color) const {
    return ::GetNearestPaletteIndex(*this, color);
}

CRgn* CRgn::FromHandle(HRGN h) {
    return wrap<CRgn>(h, RUNTIME_CLASS(CRgn));
}
BOOL CRgn::CreateRectRgn(int l, int t, int r, int b) {
    return adopt(this, ::CreateRectRgn(l, t, r, b));
}
BOOL CRgn::CreateRectRgnIndirect(const RECT* rect) {
    return adopt(this, ::CreateRectRgnIndirect(rect));
}
BOOL CRgn::CreateEllipticRgn(int l, int t, int r, int b) {
    return adopt(this, ::CreateEllipticRgn(l, t, r, b));
}
BOOL CRgn::CreateEllipticRgnIndirect(const RECT* rect) {
    return rect ? CreateEllipticRgn(rect->left, rect->top, rect->right, rect->bottom) : FALSE;
}
BOOL CRgn::CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
    return adopt(this, ::CreateRoundRectRgn(l, t, r, b, w, h));
}
BOOL CRgn::CreatePolygonRgn(const POINT* points, int count, int mode) {
    return adopt(this, ::CreatePolygonRgn(points, count, mode));
}
BOOL CRgn::CreatePolyPolygonRgn(const POINT* points, const INT* counts, int polygons, int mode) {
    return adopt(this, ::CreatePolyPolygonRgn(points, counts, polygons, mode));
}
BOOL CRgn::CreateFromData(const XFORM* xform, int size, const RGNDATA* data) {
    return size > 0 ? adopt(this, ::ExtCreateRegion(xform, DWORD(size), data)) : FALSE;
}
void CRgn::SetRectRgn(int l, int t, int r, int b) {
    ::SetRectRgn(*this, l, t, r, b);
}
void CRgn::SetRectRgn(const RECT* rect) {
    if (rect) ::SetRectRgn(*this, rect->left, rect->top, rect->right, rect->bottom);
}
int CRgn::CombineRgn(CRgn* a, CRgn* b, int mode) {
    return ::CombineRgn(*this, a ? HRGN(*a) : nullptr, b ? HRGN(*b) : nullptr, mode);
}
int CRgn::CopyRgn(CRgn* src) {
    return ::CombineRgn(*this, src ? HRGN(*src) : nullptr, nullptr, RGN_COPY);
}
BOOL CRgn::EqualRgn(CRgn* other) const {
    return other ? ::EqualRgn(*this, *other) : FALSE;
}
int CRgn::OffsetRgn(int dx, int dy) {
    return ::OffsetRgn(*this, dx, dy);
}
int CRgn::GetRgnBox(LPRECT rect) const {
    return ::GetRgnBox(*this, rect);
}
BOOL CRgn::PtInRegion(int x, int y) const {
    return ::PtInRegion(*this, x, y);
}
BOOL CRgn::RectInRegion(const RECT* rect) const {
    return ::RectInRegion(*this, rect);
}
int CRgn::GetRegionData(RGNDATA* data, int size) const {
    return int(::GetRegionData(*this, DWORD(size < 0 ? 0 : size), data));
}
