#include "model/CShapeObj.h"

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "model/HashBytes.h"
#include "model/TMatrixRecord.h"

IMPLEMENT_SERIAL(CShapeObj, CPathObj, VERSIONABLE_SCHEMA | 0)

namespace {

// The shape's own fields after its object record: colour, layer, path flags, placement.
void StoreShapeFields(CArchive& ar, const ColorPath& path, const floatTMatrix& matrix) {
    ar << DWORD(path.colour) << WORD(path.layer) << WORD(path.pathFlags);
    StoreTMatrix(ar, matrix);
}

void LoadShapeFields(CArchive& ar, ColorPath& path, floatTMatrix& matrix) {
    DWORD colour;
    WORD layer, flags;
    ar >> colour >> layer >> flags;
    path.colour = colour;
    path.layer = std::int16_t(layer);
    path.pathFlags = flags;
    LoadTMatrix(ar, matrix);
}

} // namespace

CShapeObj::CShapeObj() = default;
CShapeObj::~CShapeObj() = default;

void CShapeObj::SerializeShapeRecord(CArchive& ar) {
    CSignObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << WORD(Version);
        StoreShapeFields(ar, m_path, m_matrix);
        return;
    }
    WORD version;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    LoadShapeFields(ar, m_path, m_matrix);
}

void CShapeObj::Serialize(CArchive& ar) {
    SerializeShapeRecord(ar);
    if (ar.IsLoading()) RebuildShape();
}

void CShapeObj::SerializeShapeState(CArchive& ar, CSignDoc* pDoc) {
    CSignObj::SerializeState(ar, pDoc);
    if (ar.IsStoring()) {
        StoreShapeFields(ar, m_path, m_matrix);
        return;
    }
    LoadShapeFields(ar, m_path, m_matrix);
}

void CShapeObj::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    SerializeShapeState(ar, pDoc);
    if (ar.IsLoading()) RebuildShape();
}

void CShapeObj::UpdateStamp() {
    CPathObj::UpdateStamp();
    const float placement[6] = {m_matrix.m11, m_matrix.m12, m_matrix.m21,
                                m_matrix.m22, m_matrix.dx,  m_matrix.dy};
    HashBytes(placement, sizeof placement, &m_nStamp);
}

void CShapeObj::Transform(const floatTMatrix& m) {
    CPathObj::Transform(m);
    m_matrix *= m;
    UpdateStamp();
}

CSignObj* CShapeObj::GetEditablePath() {
    return CPathObj::Duplicate();
}

BOOL CShapeObj::IsEditable() {
    return 0;
}

double CShapeObj::GetStartAngle() {
    return 0.0;
}

int CShapeObj::GetHandleCount() {
    return 0;
}

BOOL CShapeObj::GetHandlePoint(int, floatPoint&) {
    return 0;
}

void CShapeObj::MoveHandle(int, floatPoint, UINT) {}

void CShapeObj::RebuildShape() {
    UpdateStamp();
}

void CShapeObj::GetHandlesBox(floatBBox& out) {
    bool first = m_path.subPaths.Filled() == 0;
    if (!first) out = m_path.accBox;
    const int count = GetHandleCount();
    for (int i = 0; i < count; ++i) {
        floatPoint p;
        if (!GetHandlePoint(i, p)) continue;
        if (first) {
            out = p;
            first = false;
        } else {
            out += p;
        }
    }
}
