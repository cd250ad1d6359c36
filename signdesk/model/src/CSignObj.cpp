#include "model/CSignObj.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <strings.h>

#include "SignObjCount.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CDC.h"
#include "mfc/CRect.h"
#include "model/CFillObj.h"
#include "model/FillPainting.h"
#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"
#include "pathkit/PathDraw.h"
#include "pathkit/PathUnion.h"
#include "rasterkit/CDibDC.h"
#include "shared/RasterExtensions.h"
#include "shared/SharedObjRef.h"
#include "win32/user.h"

IMPLEMENT_SERIAL(CSignObj, CObject, CSignObj::Schema)

namespace {
DWORD g_serialCounter = 0;
BOOL g_keepSerials = FALSE;
std::uint64_t g_constructed = 0;

// 0 never names an object: after a kept serial of 0xFFFFFFFF the counter wraps past it.
DWORD NextSerial() {
    if (++g_serialCounter == 0) ++g_serialCounter;
    return g_serialCounter;
}
} // namespace

CSignObj::CSignObj() : m_nSerial(NextSerial()) {
    ++g_constructed;
}

std::uint64_t SignObjConstructionCount() {
    return g_constructed;
}

CSignObj::~CSignObj() {
    ReleaseShared(m_pFill);
    ReleaseShared(m_pTransparencyFill);
}

DWORD CSignObj::GetSerialCounter() {
    return g_serialCounter;
}

void CSignObj::SetKeepSerials(BOOL bKeep) {
    g_keepSerials = bKeep;
}

BOOL CSignObj::GetKeepSerials() {
    return g_keepSerials;
}

void CSignObj::TakeNewSerial() {
    m_nSerial = NextSerial();
}

// Record, schema 6: u16 schema, f32 width, u32 outline colour, u8 fixed width, u8 flag 1,
// u8 flag 2, u8 locked, fill reference, f32 transparency, transparency fill reference,
// u32 serial. Older schemas stop earlier (1: up to fixed width; 2: the flags; 3: locked;
// 4: the fill; 5: transparency and its fill).
void CSignObj::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << WORD(Schema) << m_fOutlineWidth << DWORD(m_clrOutline) << m_bFixedOutlineWidth
           << m_bFlag1 << m_bFlag2 << m_bLocked;
        WriteSharedObjRef(ar, m_pFill);
        ar << m_fTransparency;
        WriteSharedObjRef(ar, m_pTransparencyFill);
        ar << DWORD(m_nSerial);
        return;
    }
    WORD schema;
    ar >> schema;
    if (schema > Schema) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    DWORD outline;
    ar >> m_fOutlineWidth;
    // A width that is not a number or infinite can be neither drawn nor scaled.
    if (!std::isfinite(m_fOutlineWidth)) {
        AfxThrowArchiveException(CArchiveException::badIndex, ar.m_strFileName);
    }
    ar >> outline >> m_bFixedOutlineWidth;
    m_clrOutline = outline;
    if (schema >= 2) ar >> m_bFlag1 >> m_bFlag2;
    if (schema >= 3) ar >> m_bLocked;
    // A blank object holds no fill yet; the fill read is installed directly.
    if (schema >= 4) {
        CFillObj* pFill = ReadFillObjRef(ar);
        ReplaceShared(m_pFill, pFill);
    }
    if (schema >= 5) {
        ar >> m_fTransparency;
        CFillObj* pFill = ReadFillObjRef(ar);
        ReplaceShared(m_pTransparencyFill, pFill);
    }
    if (schema >= 6) {
        DWORD serial;
        ar >> serial;
        // 0 never names an object. A kept number also moves the counter past it, so objects
        // made later never repeat it.
        if (g_keepSerials && serial != 0) {
            m_nSerial = serial;
            if (serial > g_serialCounter) g_serialCounter = serial;
        }
    }
}

void CSignObj::AssertValid() const {}
void CSignObj::Dump(CDumpContext&) const {}

DWORD CSignObj::StoreStamp() {
    m_nSavedStamp = m_nStamp;
    return m_nSavedStamp;
}

void CSignObj::SerializeState(CArchive& ar, CSignDoc*) {
    if (ar.IsStoring()) {
        ar << DWORD(m_nStamp);
    } else {
        DWORD stamp;
        ar >> stamp;
        m_nStamp = stamp;
    }
}

CSharedObj* CSignObj::GetSharedContent() {
    return nullptr;
}

void CSignObj::SetSharedContent(CSharedObj*) {}

void CSignObj::SetFill(CFillObj* pFill) {
    ReplaceShared(m_pFill, pFill);
}

void CSignObj::SetTransparencyFill(CFillObj* pFill) {
    ReplaceShared(m_pTransparencyFill, pFill);
}

void CSignObj::TransformFill(const floatTMatrix& m) {
    if (m_pFill == nullptr) return;
    CFillObj* pCopy = m_pFill->Clone();
    if (pCopy == nullptr) return; // a fill that cannot be copied stays as it is
    pCopy->Transform(m);
    SetFill(pCopy);
    ++m_nStamp;
}

void CSignObj::TransformTransparency(const floatTMatrix& m) {
    if (m_pTransparencyFill == nullptr) return;
    CFillObj* pCopy = m_pTransparencyFill->Clone();
    if (pCopy == nullptr) return;
    pCopy->Transform(m);
    SetTransparencyFill(pCopy);
    ++m_nStamp;
}

void CSignObj::Select() {
    m_bSelected = 1;
}

void CSignObj::Unselect() {
    m_bSelected = 0;
}

BYTE CSignObj::ToggleSelect() {
    m_bSelected = m_bSelected ? 0 : 1;
    return m_bSelected;
}

void CSignObj::UpdateStamp() {
    ++m_nStamp;
}

BOOL CSignObj::IsGroup() {
    return 0;
}

BOOL CSignObj::CanUngroup() {
    return 0;
}

void CSignObj::RefreshBBox() {}

floatBBox* CSignObj::GetBBox() {
    return nullptr;
}

CSignObj* CSignObj::HitTest(floatPoint&, int, float, int, int) {
    return nullptr;
}

signed char CSignObj::GetLayer() {
    return NO_LAYER;
}

BOOL CSignObj::SetLayer(char, int) {
    return 0;
}

LayerWord CSignObj::GetLayerWord() {
    return GetLayer();
}

void CSignObj::SetLayerWord(LayerWord layer) {
    SetLayer(char(layer), 1);
}

COLORREF CSignObj::GetColor() {
    return NO_COLOR;
}

BOOL CSignObj::SetColor(COLORREF) {
    return 0;
}

BOOL CSignObj::SetOutlineColor(DWORD color) {
    m_clrOutline = color;
    return 1;
}

void CSignObj::DrawOutline(CDC*, const floatTMatrix&, COLORREF) {}

BOOL CSignObj::HasContentData() {
    return 0;
}

void CSignObj::DrawOutlineOnLayer(CDC* pDC, const floatTMatrix& m, int layer) {
    if (GetLayer() == static_cast<signed char>(layer)) DrawOutline(pDC, m, 0);
}

void CSignObj::DrawMask(CDibDC*, const floatTMatrix&, int) {}

// The object is painted into an image of its device rectangle and its coverage into a mask
// (255 keeps the target, 0 shows the image), which blends the image into the target.
void CSignObj::DrawTransparent(CDibDC* pTarget, const floatTMatrix& m, int mode, int layer) {
    floatBBox* pBox = GetBBox();
    if (pTarget == nullptr || pBox == nullptr) return;
    CRect box;
    ::Transform(m, *pBox, box);
    CRect clip;
    pTarget->GetClipBox(&clip);
    CRect r;
    if (!r.IntersectRect(&box, &clip) || r.Width() <= 0 || r.Height() <= 0) return;

    CDibDC image(pTarget, r);
    CDibDC mask(pTarget, r);
    if (!image.IsValid() || !mask.IsValid()) return;
    Paint(&image, m, mode, layer, 1);
    mask.m_DIB.Clear(0xFF);
    DrawMask(&mask, m, mode);
    if (HasContentData()) {
        CDibDC coverage(pTarget, r);
        if (coverage.IsValid()) {
            DrawOutlineOnLayer(&coverage, m, layer);
            mask.m_DIB.Mask(mask.m_DIB, coverage.m_DIB, 0, 0, 0, 0, 0, 0);
        }
    }
    const CPoint origin = pTarget->GetViewportOrg();
    pTarget->m_DIB.AlphaMerge(image.m_DIB, mask.m_DIB, r.Width(), r.Height(), r.left + origin.x,
                              r.top + origin.y, 0, 0);
}

void CSignObj::Paint(CDC*, const floatTMatrix&, int, int, int) {}

// The path stroked, else the box as a closed outline, else nothing.
void CSignObj::PaintOutline(CDC* pDC, const floatTMatrix& m, int) {
    if (Path* pPath = GetPath()) {
        ::Paint(pDC, m, *pPath, PP_STROKE);
        return;
    }
    floatBBox* pBox = GetBBox();
    if (pBox == nullptr) return;
    CRect r;
    ::Transform(m, *pBox, r);
    pDC->MoveTo(r.left, r.top);
    pDC->LineTo(r.right, r.top);
    pDC->LineTo(r.right, r.bottom);
    pDC->LineTo(r.left, r.bottom);
    pDC->LineTo(r.left, r.top);
}

BOOL CSignObj::AcceptsTransform(const floatTMatrix&) {
    return 1;
}

void CSignObj::Transform(const floatTMatrix& m) {
    if (m.IsIdentMatrix()) return;
    if (!m_bFixedOutlineWidth) {
        float x = m_fOutlineWidth;
        float y = 0;
        m.dTransform(x, y);
        // The width stays finite, as a stored one must be: a length past the largest float
        // ends there, one that is not a number leaves the width as it was.
        const float w = std::sqrt(x * x + y * y);
        if (std::isfinite(w)) {
            m_fOutlineWidth = w;
        } else if (!std::isnan(w)) {
            const double d = std::hypot(double(x), double(y)); // the squares overflowed
            m_fOutlineWidth = float(std::min(d, double(std::numeric_limits<float>::max())));
        }
    }
    TransformFill(m);
    TransformTransparency(m);
}

BOOL CSignObj::CanDistort() {
    return 0;
}

CSignObj* CSignObj::GetEditablePath() {
    return nullptr;
}

void CSignObj::Distort(NonLinearTrans&) {}

CSignObj* CSignObj::Duplicate() {
    return new CSignObj;
}

CSignObj* CSignObj::ConvertToPaths() {
    return nullptr;
}

BOOL CSignObj::CanExportTo(const char* format) {
    if (format == nullptr) return 0;
    if (IsRasterExtension(format)) return 1;
    const bool wpf = strcasecmp(format, "WPF") == 0;
    if (wpf) {
        if (m_fOutlineWidth > 0) return 0;
    } else if (strcasecmp(format, "AI") != 0) {
        return 1;
    }
    if (m_fTransparency > 0 || m_pTransparencyFill != nullptr) return 0;
    if (m_pFill == nullptr) return 1;
    // Fountain fills are exported as bands.
    return IsFountainFill(m_pFill);
}

void CSignObj::WriteIllustrator(AIWriter&, int) {}

void CSignObj::Draw(CDC* pDC, const floatTMatrix& m, int layer) {
    Paint(pDC, m, 3, layer, 0);
}

void CSignObj::DrawGdiPath(CDC*, const floatBBox*, int, int, float) {}

BOOL CSignObj::BuildColorPath(ColorWPFWriter&, const floatTMatrix&, int, int) {
    return 0;
}

BOOL CSignObj::IsRaster() {
    return 0;
}

CSignObj* CSignObj::GetRasterCopy() {
    return nullptr;
}

Path* CSignObj::GetPath() {
    return nullptr;
}

void CSignObj::AddToPath(Path& target) {
    Path* pPath = GetPath();
    if (pPath == nullptr) return;
    if (MergePaths(*pPath, target) == 0) target.Prepare();
}

int CSignObj::ApplyBooleanOp(int operation, Path& other) {
    Path* pPath = GetPath();
    if (pPath == nullptr || operation < 1 || operation > 3) return 0;
    // Set only when it changes, so that a path known in normal form stays known.
    if (pPath->accuracy != Path::ValidAccuracy(other.accuracy)) pPath->SetAccuracy(other.accuracy);
    Path copy(other);
    Path result(Path::ValidAccuracy(other.accuracy));
    // Only the islands of the path that meet the other path take part; the region is that of
    // the plain guarded operation.
    int code = CombineNearIslands(operation, copy, *pPath, result);
    pPath->ClosePath();
    result.ClosePath();
    *pPath = std::move(result);
    pPath->Prepare();
    UpdateStamp();
    return code;
}

void CSignObj::SetupPropertySheet(CPropertySheet*, int) {}

void CSignObj::ReservedOperation(int, int) {}

void CSignObj::ExtendContextMenu(CMenu*) {}

void CSignObj::Edit(CWnd*) {
    MessageBeep(0);
}

void CSignObj::CopyAttributes(CSignObj* pOther) {
    if (pOther == nullptr || pOther == this) return;
    m_fOutlineWidth = pOther->m_fOutlineWidth;
    m_clrOutline = pOther->m_clrOutline;
    m_bFixedOutlineWidth = pOther->m_bFixedOutlineWidth;
    m_bFlag1 = pOther->m_bFlag1;
    m_bFlag2 = pOther->m_bFlag2;
    m_fTransparency = pOther->m_fTransparency;
    SetFill(pOther->m_pFill);
    SetTransparencyFill(pOther->m_pTransparencyFill);
}

// The two boxes meet when they overlap or touch.
static bool BoxesMeet(const floatBBox& a, const floatBBox& b) {
    return a.right >= b.left && a.left <= b.right && a.top >= b.bottom && a.bottom <= b.top;
}

int MergePaths(Path& src, Path& dst) {
    if (src.subPaths.Filled() == 0) return 1;
    Path copy(src);
    if (dst.subPaths.Filled() != 0 && BoxesMeet(src.ctrlBox, dst.ctrlBox)) {
        Path result(Path::ValidAccuracy(dst.accuracy));
        SafeMerge(copy, dst, result);
        dst.ClosePath();
        result.ClosePath();
        dst = std::move(result);
        dst.Prepare();
        return 1;
    }
    const floatBBox ctrl = src.ctrlBox;
    const floatBBox acc = src.accBox;
    const bool wasEmpty = dst.subPaths.Filled() == 0;
    dst.Concat(copy);
    if (wasEmpty) {
        dst.ctrlBox = ctrl;
        dst.accBox = acc;
    } else {
        dst.ctrlBox += ctrl;
        dst.accBox += acc;
    }
    return 0;
}
