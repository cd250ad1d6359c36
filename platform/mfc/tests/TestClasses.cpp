#include "TestClasses.h"

IMPLEMENT_SERIAL(CTestPoint, CObject, 1)
IMPLEMENT_SERIAL(CTestNode, CObject, 2)
IMPLEMENT_SERIAL(CTestPoint3, CTestPoint, 1)
IMPLEMENT_SERIAL(CTestVersioned, CObject, VERSIONABLE_SCHEMA | 4)
IMPLEMENT_DYNAMIC(CTestDynamic, CObject)
IMPLEMENT_DYNCREATE(CTestCreatable, CObject)

void CTestPoint::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_x << m_y;
    } else {
        m_schemaRead = ar.GetObjectSchema();
        ar >> m_x >> m_y;
    }
}

void CTestNode::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << m_name << m_pChild;
    } else {
        ar >> m_name >> m_pChild;
    }
}

void CTestPoint3::Serialize(CArchive& ar) {
    CTestPoint::Serialize(ar);
    if (ar.IsStoring()) {
        ar << m_z;
    } else {
        ar >> m_z;
    }
}

void CTestVersioned::Serialize(CArchive& ar) {
    if (ar.IsLoading()) m_schemaRead = ar.GetObjectSchema();
}
