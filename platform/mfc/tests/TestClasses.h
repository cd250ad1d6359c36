#pragma once
// Serialisable classes of the archive tests.

#include "mfc/afx.h"

// A point with the schema seen while it was read.
class CTestPoint : public CObject {
    DECLARE_SERIAL(CTestPoint)
public:
    CTestPoint() = default;
    CTestPoint(LONG x, LONG y) : m_x(x), m_y(y) {}
    void Serialize(CArchive& ar) override;
    LONG m_x = 0;
    LONG m_y = 0;
    UINT m_schemaRead = 0;
};

// A named node that refers to another object (not owned).
class CTestNode : public CObject {
    DECLARE_SERIAL(CTestNode)
public:
    CTestNode() = default;
    void Serialize(CArchive& ar) override;
    CString m_name;
    CObject* m_pChild = nullptr;
};

// A point kind for kind and exact-class tests.
class CTestPoint3 : public CTestPoint {
    DECLARE_SERIAL(CTestPoint3)
public:
    void Serialize(CArchive& ar) override;
    LONG m_z = 0;
};

// Accepts any stored schema.
class CTestVersioned : public CObject {
    DECLARE_SERIAL(CTestVersioned)
public:
    void Serialize(CArchive& ar) override;
    UINT m_schemaRead = 0;
};

// Run-time information only.
class CTestDynamic : public CObject {
    DECLARE_DYNAMIC(CTestDynamic)
};

class CTestCreatable : public CObject {
    DECLARE_DYNCREATE(CTestCreatable)
};
