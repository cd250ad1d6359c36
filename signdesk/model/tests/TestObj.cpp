#include "TestObj.h"

#include "mfc/CArchive.h"
#include "mfc/CDC.h"

IMPLEMENT_SERIAL(CTestObj, CSignObj, 1)

CTestObj::CTestObj(float left, float bottom, float right, float top, signed char layer,
                   COLORREF color)
    : m_box(left, bottom, right, top), m_nLayer(layer), m_clrColor(color) {}

static void SerializeBoxAndContent(CArchive& ar, CTestObj& o) {
    if (ar.IsStoring()) {
        ar << o.m_box.left << o.m_box.right << o.m_box.bottom << o.m_box.top << o.m_nLayer
           << DWORD(o.m_clrColor) << DWORD(o.m_nContent);
    } else {
        DWORD color, content;
        ar >> o.m_box.left >> o.m_box.right >> o.m_box.bottom >> o.m_box.top >> o.m_nLayer >>
            color >> content;
        o.m_clrColor = color;
        o.m_nContent = content;
    }
}

void CTestObj::Serialize(CArchive& ar) {
    CSignObj::Serialize(ar);
    SerializeBoxAndContent(ar, *this);
}

void CTestObj::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    CSignObj::SerializeState(ar, pDoc);
    SerializeBoxAndContent(ar, *this);
}

CSignObj* CTestObj::HitTest(floatPoint& p, int layer, float tolerance, int, int) {
    ++m_nHitQueries;
    if (layer != m_nLayer || m_bLocked) return nullptr;
    return m_box.IsInside(p, tolerance) ? this : nullptr;
}

BOOL CTestObj::SetLayer(char layer, int) {
    m_nLayer = static_cast<signed char>(layer);
    return 1;
}

BOOL CTestObj::SetColor(COLORREF color) {
    m_clrColor = color;
    return 1;
}

void CTestObj::Transform(const floatTMatrix& m) {
    if (m.IsIdentMatrix()) return;
    float x1 = m_box.left, y1 = m_box.bottom, x2 = m_box.right, y2 = m_box.top;
    m.Transform(x1, y1);
    m.Transform(x2, y2);
    m_box = floatBBox(x1, y1, x2, y2);
    CSignObj::Transform(m);
    UpdateStamp();
}

CSignObj* CTestObj::Duplicate() {
    auto* pCopy = new CTestObj;
    pCopy->CopyAttributes(this);
    pCopy->m_box = m_box;
    pCopy->m_bHasBox = m_bHasBox;
    pCopy->m_nLayer = m_nLayer;
    pCopy->m_clrColor = m_clrColor;
    pCopy->m_nContent = m_nContent;
    return pCopy;
}

void CTestObj::SetContent(DWORD content) {
    m_nContent = content;
    UpdateStamp();
}

void CTestObj::MoveBy(float dx, float dy) {
    m_box.left += dx;
    m_box.right += dx;
    m_box.bottom += dy;
    m_box.top += dy;
    UpdateStamp();
}

void CTestObj::Paint(CDC* pDC, const floatTMatrix&, int, int, int) {
    ++m_nPaints;
    if (m_bUntidy) {
        pDC->SetROP2(R2_NOT);
        pDC->SetViewportOrg(7, 3);
        pDC->IntersectClipRect(0, 0, 1, 1);
    }
}

void CTestObj::PaintOutline(CDC* pDC, const floatTMatrix& m, int arg) {
    ++m_nOutlinePaints;
    CSignObj::PaintOutline(pDC, m, arg);
}
