#include "model/CTextureFill.h"

#include <algorithm>
#include <cmath>
#include <string>

#include <mfc/CArchive.h>
#include <mfc/CArchiveException.h>
#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <output/CPrinterStream.h>
#include <pathkit/PathDraw.h>
#include <pathkit/StreamArgs.h>
#include <rasterkit/CDibDC.h>
#include <rasterkit/TexturePaint.h>
#include <shared/CSharedBmp.h>
#include <shell/BoxTransforms.h>
#include <win32/wingdi.h>

#include "PostScriptText.h"
#include "model/Gradient.h"
#include "model/ToolGeometry.h"
#include "model/ViewHooks.h"
#include "shared/SharedObjRef.h"

IMPLEMENT_SERIAL(CTextureFill, CFillObj, 0)

namespace {

constexpr UINT KeyShift = 4;
constexpr UINT KeyControl = 8;

COLORREF ToColorRef(const RGBQUAD& q) {
    return COLORREF(q.rgbRed) | (COLORREF(q.rgbGreen) << 8) | (COLORREF(q.rgbBlue) << 16);
}

floatPoint Sub(const floatPoint& a, const floatPoint& b) {
    return floatPoint(a.x - b.x, a.y - b.y);
}
floatPoint Add(const floatPoint& a, const floatPoint& b) {
    return floatPoint(a.x + b.x, a.y + b.y);
}
double Len(const floatPoint& a) {
    return std::hypot(double(a.x), double(a.y));
}

} // namespace

CTextureFill::CTextureFill() = default;

CTextureFill::CTextureFill(const char* fileName, BOOL bMarked) {
    std::string key = fileName != nullptr ? fileName : "";
    const std::string marker = "[*]";
    const bool marked = key.size() >= marker.size() &&
                        key.compare(key.size() - marker.size(), marker.size(), marker) == 0;
    if (bMarked && !marked) key += marker;
    const int found = CSharedBmp::FindByName(key.c_str());
    SetBitmap(found >= 0 ? static_cast<CSharedBmp*>(SharedBitmapList().GetAt(found))
                         : new CSharedBmp(key.c_str()));
}

CTextureFill::~CTextureFill() {
    ReleaseShared(m_pBitmap);
}

void CTextureFill::SetBitmap(CSharedBmp* pBitmap) {
    ReplaceShared(m_pBitmap, pBitmap);
}

void CTextureFill::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << Version;
        ar << m_origin.x << m_origin.y << m_xAxis.x << m_xAxis.y << m_yAxis.x << m_yAxis.y;
        ar << m_nTileMode;
        WriteSharedObjRef(ar, m_pBitmap);
        return;
    }
    WORD version = 0;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> m_origin.x >> m_origin.y >> m_xAxis.x >> m_xAxis.y >> m_yAxis.x >> m_yAxis.y;
    ar >> m_nTileMode;
    CSharedObj* pObj = ReadSharedObjRef(ar);
    if (pObj != nullptr && !pObj->IsKindOf(RUNTIME_CLASS(CSharedBmp)))
        AfxThrowArchiveException(CArchiveException::badClass, ar.m_strFileName);
    SetBitmap(static_cast<CSharedBmp*>(pObj));
}

DWORD CTextureFill::GetMemSize() {
    if (m_nRefCount != 1) return 0;
    return 4 + (m_pBitmap != nullptr ? m_pBitmap->GetMemSize() : 0);
}

CFillObj* CTextureFill::Clone() {
    auto* pCopy = new CTextureFill;
    pCopy->m_origin = m_origin;
    pCopy->m_xAxis = m_xAxis;
    pCopy->m_yAxis = m_yAxis;
    pCopy->m_nTileMode = m_nTileMode;
    pCopy->SetBitmap(m_pBitmap);
    return pCopy;
}

BOOL CTextureFill::IsEqual(const CFillObj* pOther) {
    if (pOther == this) return 1;
    if (pOther == nullptr || pOther->GetRuntimeClass() != GetRuntimeClass()) return 0;
    const auto* o = static_cast<const CTextureFill*>(pOther);
    auto same = [](const floatPoint& a, const floatPoint& b) { return a.x == b.x && a.y == b.y; };
    return same(m_origin, o->m_origin) && same(m_xAxis, o->m_xAxis) && same(m_yAxis, o->m_yAxis) &&
                   m_nTileMode == o->m_nTileMode && m_pBitmap == o->m_pBitmap
               ? 1
               : 0;
}

void CTextureFill::Transform(const floatTMatrix& m) {
    m.Transform(m_origin.x, m_origin.y);
    m.Transform(m_xAxis.x, m_xAxis.y);
    m.Transform(m_yAxis.x, m_yAxis.y);
}

void CTextureFill::PaintFill(CDC* pDC, const floatTMatrix& m, int mode, const floatBBox& area) {
    if (pDC == nullptr || m_pBitmap == nullptr || m_pBitmap->image.IsEmpty()) return;
    CDib& texture = m_pBitmap->image;
    floatTMatrix T;
    const floatPoint o(0, 0), w(float(texture.GetWidth()), 0), h(0, float(texture.GetHeight()));
    if (!MatrixFromThreePoints(T, o, w, h, m_origin, m_xAxis, m_yAxis)) return;
    T *= m;
    floatBBox box = area;
    CRect r;
    ::Transform(m, box, r);

    if (pDC->IsKindOf(RUNTIME_CLASS(CDibDC))) {
        auto* pDibDC = static_cast<CDibDC*>(pDC);
        int flags;
        switch (mode) {
        case 0:
        case 1:
        case 2: flags = int(m_nTileMode); break;
        case 3: flags = int(m_nTileMode) | 4; break;
        case 4: flags = int(m_nTileMode) | 8; break;
        case 5: flags = int(m_nTileMode) | 16; break;
        default: return;
        }
        CRect clip;
        pDC->GetClipBox(&clip);
        CRect visible;
        if (!visible.IntersectRect(&r, &clip) || visible.IsRectEmpty()) return;
        const CPoint origin = pDC->GetViewportOrg();
        visible.OffsetRect(origin.x, origin.y);
        T.Translate(float(origin.x), float(origin.y));
        TexturePaint(texture, T, visible, pDibDC->m_DIB, flags);
        return;
    }

    // Printers and other devices: the texture at a reduced resolution, then stretched.
    const bool postScript = !IsPrintPreview() && Gradient::IsPostScriptDevice(pDC);
    const double s = postScript ? 0.333333 : 0.1;
    const int width = int(r.Width() * s), height = int(r.Height() * s);
    if (width < 1 || height < 1) return;
    CDibDC image(width, height);
    if (!image.IsValid()) return;
    T.Scale(float(s), float(s));
    T.Translate(float(-r.left * s), float(-r.top * s));
    TexturePaint(texture, T, CRect(0, 0, width, height), image.m_DIB, int(m_nTileMode));
    if (postScript) {
        PaintPostScriptImage(pDC, m, image.m_DIB, area);
        return;
    }
    image.m_DIB.Paint(pDC, 0, 0, width, height, r.left, r.top, r.Width(), r.Height(), 0);
}

void CTextureFill::PaintPostScriptImage(CDC* pDC, const floatTMatrix& m, DIBInterface& image,
                                        const floatBBox& area) {
    CPrinterStream out(pDC, 16382);
    out << "save" << EndLine();
    WritePSImage(out, m, image, area);
    out << "restore" << EndLine();
    out.Flush();
}

int CTextureFill::GetHandleCount() {
    return 3;
}

BOOL CTextureFill::GetHandlePoint(int nHandle, floatPoint& p) {
    switch (nHandle) {
    case 0: p = m_origin; return 1;
    case 1: p = m_xAxis; return 1;
    case 2: p = m_yAxis; return 1;
    default: return 0;
    }
}

void CTextureFill::SetFrame(const floatBBox& box, BOOL bSquare) {
    m_origin = floatPoint(box.left, box.bottom);
    m_xAxis = floatPoint(box.right, box.bottom);
    m_yAxis = floatPoint(box.left, box.top);
    if (bSquare) m_yAxis = floatPoint(box.left, box.bottom + (box.right - box.left));
}

void CTextureFill::DrawHandles(CDC* pDC, const floatTMatrix& m, int nSelected) {
    if (pDC == nullptr) return;
    const POINT p0 = TransformToPoint(m, m_origin), p1 = TransformToPoint(m, m_xAxis);
    const POINT p2 = TransformToPoint(m, m_yAxis);
    const POINT p3 = TransformToPoint(m, Sub(Add(m_xAxis, m_yAxis), m_origin));
    CPen pen(PS_SOLID, 2, 0);
    CPen* pOldPen = pDC->SelectObject(&pen);
    pDC->MoveTo(p0.x, p0.y);
    pDC->LineTo(p1.x, p1.y);
    if (nSelected == 0)
        DrawSquareMarker(pDC, p0.x, p0.y, 6);
    else
        DrawRoundMarker(pDC, p0.x, p0.y, 5);
    if (nSelected == 1)
        DrawSquareMarker(pDC, p1.x, p1.y, 5);
    else
        DrawRoundMarker(pDC, p1.x, p1.y, 5);
    pDC->SelectStockObject(BLACK_PEN);
    pDC->MoveTo(p0.x, p0.y);
    pDC->LineTo(p2.x, p2.y);
    pDC->LineTo(p3.x, p3.y);
    pDC->LineTo(p1.x, p1.y);
    DrawRoundMarker(pDC, p2.x, p2.y, 3);
    pDC->SelectObject(pOldPen);
}

void CTextureFill::MoveHandle(int nHandle, floatPoint& p, double angle, UINT nKeyFlags) {
    const bool shift = (nKeyFlags & KeyShift) != 0, ctrl = (nKeyFlags & KeyControl) != 0;
    switch (nHandle) {
    case 0: {
        ShowKeyHints(0, 0, 1, 0);
        if (shift && ctrl) {
            m_origin = p;
            return;
        }
        if (ctrl) RotatePointAbout(m_origin.x, m_origin.y, p, angle);
        const floatPoint d = Sub(p, m_origin);
        m_xAxis = Add(m_xAxis, d);
        m_yAxis = Add(m_yAxis, d);
        m_origin = p;
        return;
    }
    case 1: {
        ShowKeyHints(1, 1, 1, 0);
        if (shift && ctrl) {
            m_xAxis = p;
            return;
        }
        const double axisLength = Len(Sub(m_xAxis, m_origin));
        const double secondLength = Len(Sub(m_yAxis, m_origin));
        const double ratio = axisLength > 0 ? secondLength / axisLength : 0.0;
        m_xAxis = p;
        const floatPoint d = Sub(m_xAxis, m_origin);
        const floatPoint w(-d.y, d.x);
        const double wLength = Len(w);
        if (wLength > 0) {
            const double target = ctrl ? wLength : shift ? ratio * wLength : secondLength;
            const double s = target / wLength;
            m_yAxis = floatPoint(float(m_origin.x + w.x * s), float(m_origin.y + w.y * s));
        }
        return;
    }
    case 2: {
        ShowKeyHints(0, 1, 1, 0);
        if (shift && ctrl) {
            m_yAxis = p;
            return;
        }
        const floatPoint d = Sub(m_yAxis, m_origin), v = Sub(p, m_origin);
        const double l2 = double(d.x) * d.x + double(d.y) * d.y;
        const double s = l2 > 0 ? (double(v.x) * d.x + double(v.y) * d.y) / l2 : 0.0;
        m_yAxis = floatPoint(float(m_origin.x + s * d.x), float(m_origin.y + s * d.y));
        return;
    }
    default: return;
    }
}

bool CTextureFill::GetColors(COLORREF& first, COLORREF& last) const {
    if (m_pBitmap == nullptr || !m_pBitmap->HasColorTable()) return false;
    const CDib& image = m_pBitmap->image;
    const RGBQUAD* table = image.GetColorTab();
    const int entries = DIBInterface::GetNoPaletteEntries(image.GetBitsPerPixel());
    if (table == nullptr || entries < 1) return false;
    first = ToColorRef(table[0]);
    last = ToColorRef(table[entries - 1]);
    return true;
}

// The tolerance bounds the larger of |dx| and |dy| itself, not its square.
int CTextureFill::HandleNear(const floatPoint& p, float tolerance) const {
    auto near = [&](const floatPoint& h) {
        return std::max(std::fabs(double(p.x) - h.x), std::fabs(double(p.y) - h.y)) <= tolerance;
    };
    if (near(m_origin)) return 0;
    if (near(m_xAxis)) return 1;
    return -1;
}

BOOL CTextureFill::HitTest(const floatPoint& p, float tolerance) {
    COLORREF first, last;
    if (!GetColors(first, last)) return 0;
    return HandleNear(p, tolerance) >= 0 ? 1 : 0;
}

void CTextureFill::DropColor(const floatPoint& p, float tolerance, COLORREF color) {
    COLORREF first, last;
    if (!GetColors(first, last)) return;
    const int handle = HandleNear(p, tolerance);
    if (handle == 0)
        first = color;
    else if (handle == 1)
        last = color;
    m_pBitmap->image.SetTransientPalette(first, last);
}

COLORREF CTextureFill::GetColorAt(const floatPoint& p, float tolerance) {
    COLORREF first, last;
    if (!GetColors(first, last)) return NO_FILL_COLOR;
    const int handle = HandleNear(p, tolerance);
    return handle == 0 ? first : handle == 1 ? last : NO_FILL_COLOR;
}

COLORREF CTextureFill::GetStopColor(int nStop) {
    COLORREF first, last;
    if (!GetColors(first, last)) return NO_FILL_COLOR;
    return nStop == 0 ? first : nStop == 1 ? last : NO_FILL_COLOR;
}
