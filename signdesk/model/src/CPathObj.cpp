#include "model/CPathObj.h"

#include <strings.h>

#include <type_traits>

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CWnd.h"
#include "model/HashBytes.h"
#include "pathkit/NonLinearTrans.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/TMatrix.h"
#include "shell/GeometryRecords.h"
#include "win32/user.h"

IMPLEMENT_SERIAL(CPathObj, CSignObj, VERSIONABLE_SCHEMA | 0)
IMPLEMENT_SERIAL(CConstantPath, CPathObj, VERSIONABLE_SCHEMA | 0)

bool IsOpenOrEmpty(const SubPath& sp) {
    if (sp.members.Filled() == 0) return true;
    const floatPoint& s = sp.members.first()->start;
    const floatPoint& e = sp.members.last()->end;
    return s.x != e.x || s.y != e.y;
}

void HashPathMember(const PathMember& pm, DWORD* hash) {
    const WORD flags = WORD(pm.flags & ~PM_CHANGED);
    HashBytes(&flags, 2, hash);
    const float ends[4] = {pm.start.x, pm.start.y, pm.end.x, pm.end.y};
    HashBytes(ends, sizeof ends, hash);
    if (pm.flags & PM_CURVE) {
        const float ctrls[4] = {pm.ctrl1.x, pm.ctrl1.y, pm.ctrl2.x, pm.ctrl2.y};
        HashBytes(ctrls, sizeof ctrls, hash);
    }
}

CPathObj::CPathObj() {
    m_path.colour = NO_COLOR;
    m_path.layer = 1;
    m_path.pathFlags = 0;
}

CPathObj::~CPathObj() = default;

void CPathObj::Serialize(CArchive& ar) {
    CSignObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << WORD(Version) << m_path;
        return;
    }
    WORD version;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> m_path;
    // The boxes are worked out from the members, not taken from the file, which may hold
    // boxes that do not fit them: what our own files hold comes out the same.
    m_path.Invalidate(SP_ACCBOX_INVALID | SP_CTRLBOX_INVALID);
    m_path.Validate(SP_ALL_INVALID);
    // The stamp is kept valid from the start: undo finds a change by comparing stamps.
    UpdateStamp();
}

void CPathObj::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    CSignObj::SerializeState(ar, pDoc);
    if (ar.IsStoring()) {
        ar << m_path;
    } else {
        ar >> m_path;
        m_path.Validate(SP_CTRLBOX_INVALID | SP_CLUSTERS_INVALID);
    }
}

void CPathObj::UpdateStamp() {
    DWORD stamp = 0;
    for (const SubPath& sp : m_path.subPaths)
        for (const PathMember& pm : sp.members)
            HashPathMember(pm, &stamp);
    m_nStamp = stamp;
}

void CPathObj::RefreshBBox() {
    m_path.RefreshBBoxes();
}

floatBBox* CPathObj::GetBBox() {
    return m_path.subPaths.Filled() ? &m_path.accBox : nullptr;
}

CSignObj* CPathObj::HitTest(floatPoint& p, int layer, float tolerance, int mode, int) {
    if (GetLayer() != layer || m_bLocked || m_path.subPaths.Filled() == 0) return nullptr;
    unsigned sub = 0, member = 0;
    std::uint32_t param = 0;
    const bool inside = mode >= 2 && (m_path.Inside(p) & 1);
    if (m_path.IsBeside(p, tolerance, sub, member, param)) {
        floatPoint onPath;
        m_path.subPaths[std::uint16_t(sub)].members[std::uint16_t(member)].GetPointAt(param,
                                                                                    onPath);
        p = onPath;
        return this;
    }
    return inside ? this : nullptr;
}

signed char CPathObj::GetLayer() {
    return static_cast<signed char>(m_path.layer & 0xFF);
}

BOOL CPathObj::SetLayer(char layer, int) {
    m_path.layer = static_cast<signed char>(layer);
    return 1;
}

static_assert(std::is_same_v<decltype(ColorPath::layer), LayerWord>,
              "the object record's layer field is the layer word");

LayerWord CPathObj::GetLayerWord() {
    return m_path.layer;
}

void CPathObj::SetLayerWord(LayerWord layer) {
    m_path.layer = layer;
}

COLORREF CPathObj::GetColor() {
    return m_path.colour;
}

BOOL CPathObj::SetColor(COLORREF color) {
    SetFill(nullptr);
    m_path.colour = color;
    return 1;
}

void CPathObj::Transform(const floatTMatrix& m) {
    CSignObj::Transform(m);
    m_path.Transform(m);
    m_path.Invalidate(SP_ALL_INVALID);
    // A mirroring matrix turns contours and holes the wrong way round.
    float ox = 0, oy = 0, xx = 1, xy = 0, yx = 0, yy = 1;
    m.Transform(ox, oy);
    m.Transform(xx, xy);
    m.Transform(yx, yy);
    const auto sign = [](double v) { return v > 0 ? 1 : v < 0 ? -1 : 0; };
    const int before = sign(VectAngle(1, 0, 0, 1));
    const int after = sign(VectAngle(xx - ox, xy - oy, yx - ox, yy - oy));
    if (before == after)
        m_path.Validate(SP_ALL_INVALID);
    else
        m_path.Prepare();
    UpdateStamp();
}

BOOL CPathObj::CanDistort() {
    return 1;
}

CSignObj* CPathObj::GetEditablePath() {
    return this;
}

void CPathObj::Distort(NonLinearTrans& t) {
    t.Transform(m_path);
    m_path.Prepare();
    UpdateStamp();
}

void CPathObj::CopyInto(CPathObj* pCopy) {
    pCopy->m_path.colour = m_path.colour;
    pCopy->m_path.layer = m_path.layer;
    pCopy->m_path.pathFlags = m_path.pathFlags;
    pCopy->SetLayer(char(GetLayer()), 0);
    pCopy->RefreshBBox();
    pCopy->CopyAttributes(this);
}

CSignObj* CPathObj::Duplicate() {
    auto* pCopy = new CPathObj;
    static_cast<Path&>(pCopy->m_path) = Path(m_path);
    CopyInto(pCopy);
    return pCopy;
}

CSignObj* CPathObj::ConvertToPaths() {
    auto* pCopy = new CPathObj;
    Path& dst = pCopy->m_path;
    dst.subPaths = m_path.subPaths; // moves the array; this path is left without sub-paths
    dst.ctrlBox = m_path.ctrlBox;
    dst.accBox = m_path.accBox;
    dst.accuracy = m_path.accuracy;
    dst.Normalize();
    CopyInto(pCopy);
    return pCopy;
}

BOOL CPathObj::CanExportTo(const char* format) {
    if (!CSignObj::CanExportTo(format)) return 0;
    if (strcasecmp(format, "BEZ") != 0) return 1;
    return m_fOutlineWidth <= 0 && m_fTransparency <= 0 && m_pFill == nullptr &&
                   m_pTransparencyFill == nullptr && m_path.colour == NO_COLOR
               ? 1
               : 0;
}

Path* CPathObj::GetPath() {
    return &m_path;
}

void CPathObj::Edit(CWnd* pWnd) {
    if (pWnd != nullptr) PostMessageA(pWnd->GetSafeHwnd(), WM_COMMAND, ID_EDIT_NODES, 0);
}

BOOL CPathObj::IsEditable() {
    return 1;
}

CConstantPath::CConstantPath() = default;
CConstantPath::~CConstantPath() = default;

BOOL CConstantPath::IsEditable() {
    return 0;
}
