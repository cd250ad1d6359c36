#include "mfc/CDC.h"

#include <map>
#include <memory>
#include <mutex>

#include "win32/userdraw.h"

IMPLEMENT_DYNCREATE(CDC, CObject)

namespace {

struct DcMaps {
    std::mutex lock;
    std::map<HDC, CDC*> permanent;
    std::map<HDC, std::unique_ptr<CDC>> temporary;
    ~DcMaps() {
        for (auto& [h, dc] : temporary)
            dc->m_hDC = dc->m_hAttribDC = nullptr;
    }
};

DcMaps& maps() {
    static DcMaps m;
    return m;
}

} // namespace

CDC::~CDC() {
    if (m_hDC && owns_) {
        HDC dc = Detach();
        ::DeleteDC(dc);
    } else {
        Detach();
    }
}

HDC CDC::GetSafeHdc() const {
    const CDC* self = this;
    asm("" : "+r"(self));
    return self ? self->m_hDC : nullptr;
}

CDC* CDC::FromHandle(HDC dc) {
    if (!dc) return nullptr;
    DcMaps& m = maps();
    std::lock_guard<std::mutex> guard(m.lock);
    if (auto it = m.permanent.find(dc); it != m.permanent.end()) return it->second;
    auto& slot = m.temporary[dc];
    if (!slot) {
        slot = std::make_unique<CDC>();
        slot->m_hDC = slot->m_hAttribDC = dc;
    }
    return slot.get();
}

void CDC::DeleteTempMap() {
    DcMaps& m = maps();
    std::lock_guard<std::mutex> guard(m.lock);
    for (auto& [h, dc] : m.temporary)
        dc->m_hDC = dc->m_hAttribDC = nullptr;
    m.temporary.clear();
}

BOOL CDC::Attach(HDC dc) {
    if (!dc || m_hDC) return FALSE;
    m_hDC = m_hAttribDC = dc;
    owns_ = true;
    DcMaps& m = maps();
    std::lock_guard<std::mutex> guard(m.lock);
    m.permanent[dc] = this;
    return TRUE;
}

HDC CDC::Detach() {
    HDC dc = m_hDC;
    if (dc) {
        DcMaps& m = maps();
        std::lock_guard<std::mutex> guard(m.lock);
        auto it = m.permanent.find(dc);
        if (it != m.permanent.end() && it->second == this) m.permanent.erase(it);
    }
    m_hDC = m_hAttribDC = nullptr;
    owns_ = false;
    return dc;
}

void CDC::SetAttribDC(HDC dc) {
    m_hAttribDC = dc;
}
void CDC::SetOutputDC(HDC dc) {
    m_hDC = dc;
}
void CDC::ReleaseAttribDC() {
    m_hAttribDC = nullptr;
}
void CDC::ReleaseOutputDC() {
    m_hDC = nullptr;
}

BOOL CDC::CreateDC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init) {
    return Attach(::CreateDCA(driver, device, output, static_cast<const DEVMODEA*>(init)));
}
BOOL CDC::CreateIC(LPCSTR driver, LPCSTR device, LPCSTR output, const void* init) {
    return Attach(::CreateICA(driver, device, output, static_cast<const DEVMODEA*>(init)));
}
BOOL CDC::CreateCompatibleDC(CDC* dc) {
    return Attach(::CreateCompatibleDC(dc ? dc->m_hDC : nullptr));
}
BOOL CDC::DeleteDC() {
    if (!m_hDC) return FALSE;
    return ::DeleteDC(Detach());
}

// Attribute changes go to both contexts when they differ.
#define SD_BOTH(call)                                                                              \
    do {                                                                                           \
        if (m_hDC && m_hDC != m_hAttribDC) (void)::call;                                           \
    } while (0)

int CDC::SaveDC() {
    int r = 0;
    if (m_hAttribDC) r = ::SaveDC(m_hAttribDC);
    if (m_hDC && m_hDC != m_hAttribDC) r = ::SaveDC(m_hDC);
    return r;
}
BOOL CDC::RestoreDC(int level) {
    BOOL ok = TRUE;
    if (m_hDC && m_hDC != m_hAttribDC) ok = ::RestoreDC(m_hDC, level);
    if (m_hAttribDC) ok = ::RestoreDC(m_hAttribDC, level) && ok;
    return ok;
}
int CDC::GetDeviceCaps(int index) const {
    return ::GetDeviceCaps(m_hAttribDC, index);
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    HGDIOBJ old = nullptr;
    if (m_hDC && m_hDC != m_hAttribDC) old = ::SelectObject(m_hDC, object);
    if (m_hAttribDC) old = ::SelectObject(m_hAttribDC, object);
    return old;
}
CPen* CDC::SelectObject(CPen* pen) {
    return CPen::FromHandle(static_cast<HPEN>(SelectObject(pen ? pen->m_hObject : nullptr)));
}
CBrush* CDC::SelectObject(CBrush* brush) {
    return CBrush::FromHandle(
        static_cast<HBRUSH>(SelectObject(brush ? brush->m_hObject : nullptr)));
}
CFont* CDC::SelectObject(CFont* font) {
    return CFont::FromHandle(static_cast<HFONT>(SelectObject(font ? font->m_hObject : nullptr)));
}
CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    // Bitmaps go only into the output context.
    HGDIOBJ old = ::SelectObject(m_hDC, bitmap ? bitmap->m_hObject : nullptr);
    return CBitmap::FromHandle(static_cast<HBITMAP>(old));
}
CGdiObject* CDC::SelectObject(CGdiObject* object) {
    return CGdiObject::FromHandle(SelectObject(object ? object->m_hObject : nullptr));
}
int CDC::SelectObject(CRgn* region) {
    return SelectClipRgn(region);
}
CGdiObject* CDC::SelectStockObject(int index) {
    return CGdiObject::FromHandle(SelectObject(::GetStockObject(index)));
}
CPalette* CDC::SelectPalette(CPalette* palette, BOOL force) {
    HPALETTE old = ::SelectPalette(m_hDC, palette ? HPALETTE(*palette) : nullptr, force);
    return CPalette::FromHandle(old);
}
UINT CDC::RealizePalette() {
    return ::RealizePalette(m_hDC);
}
CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN)));
}
CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}
CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}
CPalette* CDC::GetCurrentPalette() const {
    return CPalette::FromHandle(static_cast<HPALETTE>(::GetCurrentObject(m_hDC, OBJ_PAL)));
}

COLORREF CDC::SetBkColor(COLORREF c) {
    SD_BOTH(SetBkColor(m_hDC, c));
    return ::SetBkColor(m_hAttribDC, c);
}
COLORREF CDC::GetBkColor() const {
    return ::GetBkColor(m_hAttribDC);
}
int CDC::SetBkMode(int mode) {
    SD_BOTH(SetBkMode(m_hDC, mode));
    return ::SetBkMode(m_hAttribDC, mode);
}
int CDC::GetBkMode() const {
    return ::GetBkMode(m_hAttribDC);
}
COLORREF CDC::SetTextColor(COLORREF c) {
    SD_BOTH(SetTextColor(m_hDC, c));
    return ::SetTextColor(m_hAttribDC, c);
}
COLORREF CDC::GetTextColor() const {
    return ::GetTextColor(m_hAttribDC);
}
int CDC::SetROP2(int rop2) {
    SD_BOTH(SetROP2(m_hDC, rop2));
    return ::SetROP2(m_hAttribDC, rop2);
}
int CDC::GetROP2() const {
    return ::GetROP2(m_hAttribDC);
}
int CDC::SetPolyFillMode(int mode) {
    SD_BOTH(SetPolyFillMode(m_hDC, mode));
    return ::SetPolyFillMode(m_hAttribDC, mode);
}
int CDC::GetPolyFillMode() const {
    return ::GetPolyFillMode(m_hAttribDC);
}
int CDC::SetStretchBltMode(int mode) {
    SD_BOTH(SetStretchBltMode(m_hDC, mode));
    return ::SetStretchBltMode(m_hAttribDC, mode);
}
int CDC::GetStretchBltMode() const {
    return ::GetStretchBltMode(m_hAttribDC);
}
UINT CDC::SetTextAlign(UINT align) {
    SD_BOTH(SetTextAlign(m_hDC, align));
    return ::SetTextAlign(m_hAttribDC, align);
}
UINT CDC::GetTextAlign() const {
    return ::GetTextAlign(m_hAttribDC);
}
CPoint CDC::SetBrushOrg(int x, int y) {
    POINT old{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &old);
    return old;
}
COLORREF CDC::GetNearestColor(COLORREF c) const {
    return ::GetNearestColor(m_hAttribDC, c);
}

int CDC::SetMapMode(int mode) {
    SD_BOTH(SetMapMode(m_hDC, mode));
    return ::SetMapMode(m_hAttribDC, mode);
}
int CDC::GetMapMode() const {
    return ::GetMapMode(m_hAttribDC);
}
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT old{0, 0};
    SD_BOTH(SetViewportOrgEx(m_hDC, x, y, nullptr));
    ::SetViewportOrgEx(m_hAttribDC, x, y, &old);
    return old;
}
CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    POINT old{0, 0};
    SD_BOTH(OffsetViewportOrgEx(m_hDC, dx, dy, nullptr));
    ::OffsetViewportOrgEx(m_hAttribDC, dx, dy, &old);
    return old;
}
CPoint CDC::GetViewportOrg() const {
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hAttribDC, &p);
    return p;
}
CSize CDC::SetViewportExt(int x, int y) {
    SIZE old{0, 0};
    SD_BOTH(SetViewportExtEx(m_hDC, x, y, nullptr));
    ::SetViewportExtEx(m_hAttribDC, x, y, &old);
    return old;
}
CSize CDC::ScaleViewportExt(int xn, int xd, int yn, int yd) {
    SIZE old{0, 0};
    SD_BOTH(ScaleViewportExtEx(m_hDC, xn, xd, yn, yd, nullptr));
    ::ScaleViewportExtEx(m_hAttribDC, xn, xd, yn, yd, &old);
    return old;
}
CSize CDC::GetViewportExt() const {
    SIZE s{0, 0};
    ::GetViewportExtEx(m_hAttribDC, &s);
    return s;
}
CPoint CDC::SetWindowOrg(int x, int y) {
    POINT old{0, 0};
    SD_BOTH(SetWindowOrgEx(m_hDC, x, y, nullptr));
    ::SetWindowOrgEx(m_hAttribDC, x, y, &old);
    return old;
}
CPoint CDC::OffsetWindowOrg(int dx, int dy) {
    POINT old{0, 0};
    SD_BOTH(OffsetWindowOrgEx(m_hDC, dx, dy, nullptr));
    ::OffsetWindowOrgEx(m_hAttribDC, dx, dy, &old);
    return old;
}
CPoint CDC::GetWindowOrg() const {
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hAttribDC, &p);
    return p;
}
CSize CDC::SetWindowExt(int x, int y) {
    SIZE old{0, 0};
    SD_BOTH(SetWindowExtEx(m_hDC, x, y, nullptr));
    ::SetWindowExtEx(m_hAttribDC, x, y, &old);
    return old;
}
CSize CDC::ScaleWindowExt(int xn, int xd, int yn, int yd) {
    SIZE old{0, 0};
    SD_BOTH(ScaleWindowExtEx(m_hDC, xn, xd, yn, yd, nullptr));
    ::ScaleWindowExtEx(m_hAttribDC, xn, xd, yn, yd, &old);
    return old;
}
CSize CDC::GetWindowExt() const {
    SIZE s{0, 0};
    ::GetWindowExtEx(m_hAttribDC, &s);
    return s;
}
void CDC::LPtoDP(LPPOINT points, int count) const {
    ::LPtoDP(m_hAttribDC, points, count);
}
void CDC::DPtoLP(LPPOINT points, int count) const {
    ::DPtoLP(m_hAttribDC, points, count);
}
void CDC::LPtoDP(LPSIZE size) const {
    POINT p[2] = {{0, 0}, {size->cx, size->cy}};
    ::LPtoDP(m_hAttribDC, p, 2);
    size->cx = p[1].x - p[0].x;
    size->cy = p[1].y - p[0].y;
}
void CDC::DPtoLP(LPSIZE size) const {
    POINT p[2] = {{0, 0}, {size->cx, size->cy}};
    ::DPtoLP(m_hAttribDC, p, 2);
    size->cx = p[1].x - p[0].x;
    size->cy = p[1].y - p[0].y;
}

int CDC::GetClipBox(LPRECT rect) const {
    return ::GetClipBox(m_hDC, rect);
}
int CDC::SelectClipRgn(CRgn* region) {
    int r = ERROR;
    if (m_hDC && m_hDC != m_hAttribDC) r = ::SelectClipRgn(m_hDC, region ? HRGN(*region) : nullptr);
    if (m_hAttribDC) r = ::SelectClipRgn(m_hAttribDC, region ? HRGN(*region) : nullptr);
    return r;
}
int CDC::SelectClipRgn(CRgn* region, int mode) {
    int r = ERROR;
    if (m_hDC && m_hDC != m_hAttribDC)
        r = ::ExtSelectClipRgn(m_hDC, region ? HRGN(*region) : nullptr, mode);
    if (m_hAttribDC) r = ::ExtSelectClipRgn(m_hAttribDC, region ? HRGN(*region) : nullptr, mode);
    return r;
}
int CDC::ExcludeClipRect(int l, int t, int r, int b) {
    SD_BOTH(ExcludeClipRect(m_hDC, l, t, r, b));
    return ::ExcludeClipRect(m_hAttribDC, l, t, r, b);
}
int CDC::IntersectClipRect(int l, int t, int r, int b) {
    SD_BOTH(IntersectClipRect(m_hDC, l, t, r, b));
    return ::IntersectClipRect(m_hAttribDC, l, t, r, b);
}
int CDC::OffsetClipRgn(int dx, int dy) {
    SD_BOTH(OffsetClipRgn(m_hDC, dx, dy));
    return ::OffsetClipRgn(m_hAttribDC, dx, dy);
}
BOOL CDC::PtVisible(int x, int y) const {
    return ::PtVisible(m_hDC, x, y);
}
BOOL CDC::RectVisible(const RECT* rect) const {
    return ::RectVisible(m_hDC, rect);
}

CPoint CDC::MoveTo(int x, int y) {
    POINT old{0, 0};
    SD_BOTH(MoveToEx(m_hDC, x, y, nullptr));
    ::MoveToEx(m_hAttribDC, x, y, &old);
    return old;
}
CPoint CDC::GetCurrentPosition() const {
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hAttribDC, &p);
    return p;
}
BOOL CDC::LineTo(int x, int y) {
    if (m_hAttribDC && m_hAttribDC != m_hDC) ::MoveToEx(m_hAttribDC, x, y, nullptr);
    return ::LineTo(m_hDC, x, y);
}
BOOL CDC::Polyline(const POINT* p, int n) {
    return ::Polyline(m_hDC, p, n);
}
BOOL CDC::PolylineTo(const POINT* p, int n) {
    return n < 0 ? FALSE : ::PolylineTo(m_hDC, p, DWORD(n));
}
BOOL CDC::PolyBezier(const POINT* p, int n) {
    return n < 0 ? FALSE : ::PolyBezier(m_hDC, p, DWORD(n));
}
BOOL CDC::PolyBezierTo(const POINT* p, int n) {
    return n < 0 ? FALSE : ::PolyBezierTo(m_hDC, p, DWORD(n));
}
BOOL CDC::Polygon(const POINT* p, int n) {
    return ::Polygon(m_hDC, p, n);
}
BOOL CDC::PolyPolygon(const POINT* p, const INT* counts, int polygons) {
    return ::PolyPolygon(m_hDC, p, counts, polygons);
}
BOOL CDC::Rectangle(int l, int t, int r, int b) {
    return ::Rectangle(m_hDC, l, t, r, b);
}
BOOL CDC::RoundRect(int l, int t, int r, int b, int w, int h) {
    return ::RoundRect(m_hDC, l, t, r, b, w, h);
}
BOOL CDC::Ellipse(int l, int t, int r, int b) {
    return ::Ellipse(m_hDC, l, t, r, b);
}
BOOL CDC::Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Arc(m_hDC, l, t, r, b, x1, y1, x2, y2);
}
BOOL CDC::Chord(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Chord(m_hDC, l, t, r, b, x1, y1, x2, y2);
}
BOOL CDC::Pie(int l, int t, int r, int b, int x1, int y1, int x2, int y2) {
    return ::Pie(m_hDC, l, t, r, b, x1, y1, x2, y2);
}
void CDC::FillRect(const RECT* rect, CBrush* brush) {
    ::FillRect(m_hDC, rect, brush ? HBRUSH(*brush) : nullptr);
}
void CDC::FillSolidRect(const RECT* rect, COLORREF color) {
    // The background colour paints it, as an opaque empty text would.
    HBRUSH b = ::CreateSolidBrush(color);
    ::FillRect(m_hDC, rect, b);
    ::DeleteObject(b);
    ::SetBkColor(m_hDC, color);
}
void CDC::FillSolidRect(int x, int y, int w, int h, COLORREF color) {
    RECT r{x, y, x + w, y + h};
    FillSolidRect(&r, color);
}
BOOL CDC::DrawIcon(int x, int y, HICON icon) {
    return ::DrawIcon(m_hDC, x, y, icon);
}
void CDC::FrameRect(const RECT* rect, CBrush* brush) {
    ::FrameRect(m_hDC, rect, brush ? HBRUSH(*brush) : nullptr);
}
void CDC::InvertRect(const RECT* rect) {
    ::InvertRect(m_hDC, rect);
}
BOOL CDC::FillRgn(CRgn* region, CBrush* brush) {
    return region && brush ? ::FillRgn(m_hDC, *region, *brush) : FALSE;
}
BOOL CDC::FrameRgn(CRgn* region, CBrush* brush, int w, int h) {
    return region && brush ? ::FrameRgn(m_hDC, *region, *brush, w, h) : FALSE;
}
BOOL CDC::PaintRgn(CRgn* region) {
    return region ? ::PaintRgn(m_hDC, *region) : FALSE;
}
BOOL CDC::InvertRgn(CRgn* region) {
    return region ? ::InvertRgn(m_hDC, *region) : FALSE;
}
BOOL CDC::PatBlt(int x, int y, int w, int h, DWORD rop) {
    return ::PatBlt(m_hDC, x, y, w, h, rop);
}
BOOL CDC::BitBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, DWORD rop) {
    return ::BitBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, rop);
}
BOOL CDC::StretchBlt(int x, int y, int w, int h, CDC* src, int xs, int ys, int ws, int hs,
                     DWORD rop) {
    return ::StretchBlt(m_hDC, x, y, w, h, src ? src->m_hDC : nullptr, xs, ys, ws, hs, rop);
}
COLORREF CDC::SetPixel(int x, int y, COLORREF color) {
    return ::SetPixel(m_hDC, x, y, color);
}
BOOL CDC::SetPixelV(int x, int y, COLORREF color) {
    return ::SetPixelV(m_hDC, x, y, color);
}
COLORREF CDC::GetPixel(int x, int y) const {
    return ::GetPixel(m_hDC, x, y);
}

BOOL CDC::TextOut(int x, int y, LPCSTR text, int length) {
    return ::TextOutA(m_hDC, x, y, text, length);
}
BOOL CDC::ExtTextOut(int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT length,
                     const INT* dx) {
    return ::ExtTextOutA(m_hDC, x, y, options, rect, text, length, dx);
}

BOOL CDC::BeginPath() {
    return ::BeginPath(m_hDC);
}
BOOL CDC::EndPath() {
    return ::EndPath(m_hDC);
}
BOOL CDC::AbortPath() {
    return ::AbortPath(m_hDC);
}
BOOL CDC::CloseFigure() {
    return ::CloseFigure(m_hDC);
}
BOOL CDC::FillPath() {
    return ::FillPath(m_hDC);
}
BOOL CDC::StrokePath() {
    return ::StrokePath(m_hDC);
}
BOOL CDC::StrokeAndFillPath() {
    return ::StrokeAndFillPath(m_hDC);
}
BOOL CDC::FlattenPath() {
    return ::FlattenPath(m_hDC);
}
BOOL CDC::SelectClipPath(int mode) {
    return ::SelectClipPath(m_hDC, mode);
}

int CDC::Escape(int escape, int inSize, LPCSTR in, LPVOID out) {
    return ::Escape(m_hDC, escape, inSize, in, out);
}
int CDC::StartDoc(const DOCINFOA* info) {
    return ::StartDocA(m_hDC, info);
}
int CDC::StartDoc(LPCSTR name) {
    DOCINFOA di{int(sizeof(DOCINFOA)), name, nullptr, nullptr, 0};
    return StartDoc(&di);
}
int CDC::EndDoc() {
    return ::EndDoc(m_hDC);
}
int CDC::AbortDoc() {
    return ::AbortDoc(m_hDC);
}
int CDC::StartPage() {
    return ::StartPage(m_hDC);
}
int CDC::EndPage() {
    return ::EndPage(m_hDC);
}
