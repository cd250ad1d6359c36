#pragma once
// Attribute objects shared by several holders (fills, foreign content), with a reference
// count that every holder keeps itself.

#include "mfc/CObject.h"

class CSharedObj : public CObject {
    DECLARE_SERIAL(CSharedObj)
public:
    CSharedObj();
    ~CSharedObj() override;
    void Serialize(CArchive& ar) override;

    // Bytes an undo record counts for holding this object: 4 when the record would be the
    // last holder, else 0.
    virtual DWORD GetMemSize();

    int m_nRefCount = 0;
};

// The holder's side of the count. Release deletes the object when the count falls below 1.
void AcquireShared(CSharedObj* pObj);
void ReleaseShared(CSharedObj* pObj);

// Replaces a held pointer: nothing for the same pointer, else the new one is acquired and
// the old one released.
template <class T> void ReplaceShared(T*& pSlot, T* pNew) {
    if (pSlot == pNew) return;
    T* pOld = pSlot;
    pSlot = pNew;
    AcquireShared(pNew);
    ReleaseShared(pOld);
}
