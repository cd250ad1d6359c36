#include "model/CGroupObj.h"

#include <algorithm>

#include "SignObjCount.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CDC.h"
#include "mfc/CRect.h"
#include "model/CFillObj.h"
#include "model/CObjIterator.h"
#include "model/FillPainting.h"
#include "pathkit/AIWriter.h"
#include "pathkit/OutStream.h"
#include "pathkit/PathDraw.h"
#include "rasterkit/CDibDC.h"
#include "win32/DeviceRange.h"

IMPLEMENT_SERIAL(CGroupObj, CSignObj, VERSIONABLE_SCHEMA | 0)

namespace {

// Groups whose records are being read, outermost first; loading refuses nesting that the
// tree walkers could not follow.
int g_loadNesting = 0;

struct LoadNesting {
    explicit LoadNesting(CArchive& ar) {
        if (g_loadNesting + 1 >= MaxTreeLevels) {
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        }
        ++g_loadNesting;
    }
    ~LoadNesting() { --g_loadNesting; }
    LoadNesting(const LoadNesting&) = delete;
    LoadNesting& operator=(const LoadNesting&) = delete;
};

} // namespace

void LoadSignObjArray(CArchive& ar, CObArray& array, const CRuntimeClass* pElementClass) {
    if (pElementClass == nullptr) pElementClass = RUNTIME_CLASS(CSignObj);
    COwnedObArray loaded;
    const DWORD count = ar.ReadCount();
    // Every record takes at least two bytes: a count beyond the stream fails before the
    // array is sized for it.
    ar.RequireBytes(std::uint64_t(count) * 2);
    for (DWORD i = 0; i < count; ++i) {
        const std::uint64_t before = SignObjConstructionCount();
        CObject* pObj = ar.ReadObject(pElementClass);
        if (pObj == nullptr) continue;
        // A new record constructs its object; a reference back to an object read before
        // (already owned, or a group holding itself) constructs none.
        if (SignObjConstructionCount() == before) {
            AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
        }
        loaded.Add(pObj);
    }
    for (int i = 0; i < loaded.GetSize(); ++i)
        array.Add(loaded.GetAt(i));
    loaded.RemoveAll();
}

int TreeHeight(CSignObj* pObj) {
    if (pObj == nullptr || !pObj->IsGroup()) return 1;
    // Iterative over the subtree, so that any depth is measured without recursion.
    struct Frame {
        CObArray* array;
        int index;
    };
    std::vector<Frame> stack{{&static_cast<CGroupObj*>(pObj)->m_children, 0}};
    int height = 2;
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.index >= top.array->GetSize()) {
            stack.pop_back();
            continue;
        }
        auto* pChild = static_cast<CSignObj*>(top.array->GetAt(top.index++));
        if (pChild != nullptr && pChild->IsGroup()) {
            stack.push_back({&static_cast<CGroupObj*>(pChild)->m_children, 0});
            height = std::max(height, int(stack.size()) + 1);
        }
    }
    return height;
}

CGroupObj::CGroupObj() = default;
CGroupObj::~CGroupObj() = default;

// The children first, then u16 version 2 and the object record (version 1 has none).
void CGroupObj::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_children.Serialize(ar);
        ar << WORD(Version);
        CSignObj::Serialize(ar);
        return;
    }
    {
        LoadNesting nesting(ar);
        m_children.Truncate(0);
        LoadSignObjArray(ar, m_children);
    }
    WORD version;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    if (version == 2) CSignObj::Serialize(ar);
}

void CGroupObj::SetFill(CFillObj*) {}

void CGroupObj::Select() {
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->Select();
    m_bSelected = 1;
}

void CGroupObj::Unselect() {
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->Unselect();
    m_bSelected = 0;
}

BYTE CGroupObj::ToggleSelect() {
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->ToggleSelect();
    m_bSelected = m_bSelected ? 0 : 1;
    return m_bSelected;
}

BOOL CGroupObj::IsGroup() {
    return 1;
}

BOOL CGroupObj::CanUngroup() {
    return 1;
}

void CGroupObj::RefreshBBox() {
    m_bbox = floatBBox();
    bool first = true;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CSignObj* pChild = GetChild(i);
        pChild->RefreshBBox();
        const floatBBox* pBox = pChild->GetBBox();
        if (pBox == nullptr) continue;
        if (first) {
            m_bbox = *pBox;
            first = false;
        } else {
            m_bbox += *pBox;
        }
    }
}

floatBBox* CGroupObj::GetBBox() {
    return m_children.IsEmpty() ? nullptr : &m_bbox;
}

CSignObj* CGroupObj::HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg) {
    if (!m_bbox.IsInside(p, tolerance)) return nullptr;
    for (int i = m_children.GetSize() - 1; i >= 0; --i) {
        CSignObj* pChild = GetChild(i);
        const int childLayer = pChild->GetLayer();
        if (childLayer != NO_LAYER && childLayer != layer) continue;
        CSignObj* pHit = pChild->HitTest(p, layer, tolerance, mode, arg);
        if (pHit != nullptr) return arg ? pHit : this;
    }
    return nullptr;
}

COLORREF CGroupObj::GetColor() {
    CObjIterator it(&m_children);
    it.Last();
    CSignObj* pLeaf = it.Current();
    return pLeaf ? pLeaf->GetColor() : 0;
}

BOOL CGroupObj::HasContentData() {
    return 1;
}

void CGroupObj::DrawOutlineOnLayer(CDC* pDC, const floatTMatrix& m, int layer) {
    for (int i = 0; i < m_children.GetSize(); ++i) {
        const int saved = pDC->SaveDC();
        GetChild(i)->DrawOutlineOnLayer(pDC, m, layer);
        pDC->RestoreDC(saved);
    }
}

// Children in stacking order, each with the context's state saved around it; nothing when
// the group's box misses the clip box. The box is grown by one pixel, as path objects grow
// theirs, so a group of only horizontal or vertical lines (a box of zero width or height)
// is still drawn. A transparent group drawn in colour onto a bitmap context is blended
// through DrawTransparent, which paints it again with the flag set.
void CGroupObj::Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) {
    CRect box;
    ::Transform(m, m_bbox, box);
    SdInflateDeviceRect(box, 1, 1);
    CRect clip;
    pDC->GetClipBox(&clip);
    CRect visible;
    if (!visible.IntersectRect(&box, &clip) || visible.Width() == 0 || visible.Height() == 0) {
        return;
    }
    if (mode >= 2 && flag == 0 && pDC->IsKindOf(RUNTIME_CLASS(CDibDC)) &&
        (m_fTransparency > 0 || m_pTransparencyFill != nullptr)) {
        DrawTransparent(static_cast<CDibDC*>(pDC), m, mode, layer);
        return;
    }
    for (int i = 0; i < m_children.GetSize(); ++i) {
        const int saved = pDC->SaveDC();
        GetChild(i)->Paint(pDC, m, mode, layer, 0);
        pDC->RestoreDC(saved);
    }
}

// The group's transparency over its whole box: a grey level, or the transparency fill.
void CGroupObj::DrawMask(CDibDC* pMask, const floatTMatrix& m, int mode) {
    if (pMask == nullptr) return;
    if (m_pTransparencyFill == nullptr) {
        const BYTE v = TransparencyLevel(m_fTransparency);
        pMask->m_DIB.Fill(v, v, v, 0, 0, 0, 0);
        return;
    }
    m_pTransparencyFill->PaintFill(pMask, m, mode, m_bbox);
}

void CGroupObj::PaintOutline(CDC* pDC, const floatTMatrix& m, int arg) {
    CRect box;
    ::Transform(m, m_bbox, box);
    if (box.Width() != 0 && box.Height() != 0) {
        CRect clip;
        pDC->GetClipBox(&clip);
        CRect visible;
        if (!visible.IntersectRect(&box, &clip)) return;
    }
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->PaintOutline(pDC, m, arg);
}

BOOL CGroupObj::AcceptsTransform(const floatTMatrix& m) {
    for (int i = 0; i < m_children.GetSize(); ++i) {
        if (!GetChild(i)->AcceptsTransform(m)) return 0;
    }
    return 1;
}

void CGroupObj::Transform(const floatTMatrix& m) {
    TransformFill(m);
    TransformTransparency(m);
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->Transform(m);
}

BOOL CGroupObj::CanDistort() {
    for (int i = 0; i < m_children.GetSize(); ++i) {
        if (!GetChild(i)->CanDistort()) return 0;
    }
    return 1;
}

CSignObj* CGroupObj::GetEditablePath() {
    for (int i = 0; i < m_children.GetSize(); ++i) {
        CSignObj* pChild = GetChild(i);
        CSignObj* pEditable = pChild->GetEditablePath();
        if (pEditable != nullptr && pEditable != pChild) {
            m_children.SetAt(i, pEditable);
            delete pChild;
        }
    }
    return this;
}

void CGroupObj::Distort(NonLinearTrans& t) {
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->Distort(t);
}

CSignObj* CGroupObj::Duplicate() {
    auto* pCopy = new CGroupObj;
    pCopy->CopyAttributes(this);
    for (int i = 0; i < m_children.GetSize(); ++i)
        pCopy->m_children.Add(GetChild(i)->Duplicate());
    pCopy->m_bbox = m_bbox;
    return pCopy;
}

BOOL CGroupObj::CanExportTo(const char* format) {
    if (!CSignObj::CanExportTo(format)) return 0;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        if (!GetChild(i)->CanExportTo(format)) return 0;
    }
    return 1;
}

void CGroupObj::WriteIllustrator(AIWriter& writer, int layer) {
    writer.GetStream() << "u\r\n";
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->WriteIllustrator(writer, layer);
    writer.GetStream() << "U\r\n";
}

void CGroupObj::DrawGdiPath(CDC* pDC, const floatBBox* box, int layer, int mode, float scale) {
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->DrawGdiPath(pDC, box, layer, mode, scale);
}

BOOL CGroupObj::BuildColorPath(ColorWPFWriter& writer, const floatTMatrix& m, int layer,
                               int flags) {
    BOOL result = 1;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        if (!GetChild(i)->BuildColorPath(writer, m, layer, flags)) result = 0;
    }
    return result;
}

void CGroupObj::AddToPath(Path& target) {
    for (int i = 0; i < m_children.GetSize(); ++i)
        GetChild(i)->AddToPath(target);
}

int CGroupObj::ApplyBooleanOp(int operation, Path& other) {
    int result = 0;
    for (int i = 0; i < m_children.GetSize(); ++i) {
        int code = GetChild(i)->ApplyBooleanOp(operation, other);
        if (code && !result) result = code;
    }
    return result;
}

// The property sheet and context menu of a group need the platform's sheets and menus; the
// base behaviour holds until they exist.
void CGroupObj::SetupPropertySheet(CPropertySheet* pSheet, int arg) {
    CSignObj::SetupPropertySheet(pSheet, arg);
}

void CGroupObj::ExtendContextMenu(CMenu* pMenu) {
    CSignObj::ExtendContextMenu(pMenu);
}
