#include "model/CClippedObj.h"

#include <strings.h>

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CPropertySheet.h"
#include "mfc/CString.h"
#include "model/HashBytes.h"
#include "model/ViewColors.h"
#include "rasterkit/DIBInterface.h"
#include "shared/RasterExtensions.h"
#include "shell/BoxTransforms.h"
#include "shell/GeometryRecords.h"

IMPLEMENT_SERIAL(CClippedObj, CPathObj, VERSIONABLE_SCHEMA | 0)

CClippedObj::CClippedObj() = default;
CClippedObj::~CClippedObj() = default;

// Record: the path object's record, u16 version 1, the clip box as four f32 (x min, x max,
// y min, y max).
void CClippedObj::Serialize(CArchive& ar) {
    CPathObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << WORD(Version) << m_bbClip;
        return;
    }
    WORD version;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> m_bbClip;
}

DWORD CClippedObj::StoreStamp() {
    m_nSavedStamp = m_nStamp;
    const float box[4] = {m_bbClip.left, m_bbClip.right, m_bbClip.bottom, m_bbClip.top};
    HashBytes(box, sizeof box, &m_nSavedStamp);
    return m_nSavedStamp;
}

void CClippedObj::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    CPathObj::SerializeState(ar, pDoc);
    if (ar.IsStoring())
        ar << m_bbClip;
    else
        ar >> m_bbClip;
}

void CClippedObj::SetFill(CFillObj*) {}

BOOL CClippedObj::AcceptsTransform(const floatTMatrix& m) {
    const auto sign = [](float v) { return v > 0 ? 1 : v < 0 ? -1 : 0; };
    return m.m12 == 0 && m.m21 == 0 && sign(m.m11) == sign(m.m22) ? 1 : 0;
}

void CClippedObj::Transform(const floatTMatrix& m) {
    TransformContour(m);
    TransformBBox(m, m_bbClip);
}

void CClippedObj::TransformContour(const floatTMatrix& m) {
    CPathObj::Transform(m);
}

void CClippedObj::ResetContour() {
    BuildBox(m_bbClip, m_path);
}

BOOL CClippedObj::CanDistort() {
    return 0;
}

// "WMF" takes only a plain rectangle equal to the content area, "EMF" no transparency;
// other formats only as pictures.
BOOL CClippedObj::CanExportTo(const char* format) {
    if (!CSignObj::CanExportTo(format)) return 0;
    if (strcasecmp(format, "WMF") == 0) {
        if (m_path.subPaths.Filled() != 1 || m_path.subPaths[0].members.Filled() != 4) return 0;
        const floatBBox& b = m_path.accBox;
        return b.left == m_bbClip.left && b.right == m_bbClip.right &&
                       b.bottom == m_bbClip.bottom && b.top == m_bbClip.top
                   ? 1
                   : 0;
    }
    if (strcasecmp(format, "EMF") == 0)
        return m_fTransparency == 0 && m_pTransparencyFill == nullptr ? 1 : 0;
    return IsRasterExtension(format) ? 1 : 0;
}

void CClippedObj::WriteIllustrator(AIWriter&, int) {}

void CClippedObj::SetupPropertySheet(CPropertySheet* pSheet, int) {
    if (pSheet == nullptr) return;
    CString title;
    title.LoadString(IDS_CLIPPED_SHEET_TITLE);
    pSheet->SetTitle(title);
}

BOOL CClippedObj::HasContent() {
    return 0;
}

void MakeColorMask(DIBInterface& bitmap) {
    if (bitmap.GetBitsPerPixel() != 24) return;
    const COLORREF key = GetViewColors().TraceBGColor;
    const BYTE red = GetRValue(key), green = GetGValue(key), blue = GetBValue(key);
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
        BYTE* p = bitmap.GetPointer(0, y);
        if (p == nullptr) continue;
        for (int x = 0; x < bitmap.GetWidth(); ++x, p += 3) {
            const BYTE v = p[0] == blue && p[1] == green && p[2] == red ? 255 : 0;
            p[0] = p[1] = p[2] = v;
        }
    }
}
