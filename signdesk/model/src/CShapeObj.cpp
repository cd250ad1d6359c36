#include "model/CShapeObj.h"

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "model/TMatrixRecord.h"

IMPLEMENT_SERIAL(CShapeObj, CPathObj, VERSIONABLE_SCHEMA | 0)

CShapeObj::CShapeObj() = default;
CShapeObj::~CShapeObj() = default;

void CShapeObj::SerializeShapeRecord(CArchive& ar) {
    CSignObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << WORD(Version) << DWORD(m_path.colour) << WORD(m_path.layer) << WORD(m_path.pathFlags);
        StoreTMatrix(ar, m_matrix);
        return;
    }
    WORD version;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    DWORD colour;
    WORD layer, flags;
    ar >> colour >> layer >> flags;
    m_path.colour = colour;
    m_path.layer = std::int16_t(layer);
    m_path.pathFlags = flags;
    LoadTMatrix(ar, m_matrix);
}

void CShapeObj::Serialize(CArchive& ar) {
    SerializeShapeRecord(ar);
    if (ar.IsLoading()) RebuildShape();
}

void CShapeObj::SerializeShapeState(CArchive& ar, CSignDoc* pDoc) {
    CSignObj::SerializeState(ar, pDoc);
    if (ar.IsStoring()) {
        ar << DWORD(m_path.colour) << WORD(m_path.layer) << WORD(m_path.pathFlags);
        StoreTMatrix(ar, m_matrix);
        return;
    }
    DWORD colour;
    WORD layer, flags;
    ar >> colour >> layer >> flags;
    m_path.colour = colour;
    m_path.layer = std::int16_t(layer);
    m_path.pathFlags = flags;
    LoadTMatrix(ar, m_matrix);
}

void CShapeObj::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    SerializeShapeState(ar, pDoc);
    if (ar.IsLoading()) RebuildShape();
}

void CShapeObj::Transform(const floatTMatrix& m) {
    CPathObj::Transform(m);
    m_matrix *= m;
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

void CShapeObj::RebuildShape() {}

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
