#pragma once
// Walks every object of a tree, groups included, in pre-order, counting the objects it
// passes and reporting where the current one stands. Groups deeper than MaxTreeLevels
// arrays are visited but not entered.

#include "mfc/CObArray.h"

class CSignObj;

class CObjTreeIterator {
public:
    struct Level {
        DWORD parentSerial;
        CObArray* array;
        int index;
    };

    explicit CObjTreeIterator(CObArray* pRoot = nullptr);

    void SetRoot(CObArray* pRoot);
    void First();
    // The new ordinal (the first object has 0).
    int Next();
    CSignObj* Current() const;
    // The walk has passed the last object.
    BOOL IsDone() const;
    int GetOrdinal() const { return m_nOrdinal; }
    // The current object's parent serial (0 at the top level), the serial of the element
    // just before it (0 for the first), its index and, when asked, its array.
    void GetPosition(DWORD* pParentSerial, DWORD* pPrevSerial, int* pIndex,
                     CObArray** ppArray = nullptr) const;
    // The child array of the object with that serial; the root for 0; null when absent.
    CObArray* FindChildArray(DWORD serial);

private:
    Level m_levels[64];
    int m_nDepth;
    CSignObj* m_pPendingGroup;
    int m_nOrdinal;
};

// From the iterator's position to the end, then the whole tree again from the start; the
// iterator is left on the object found. Null when absent.
CSignObj* FindObjectBySerial(DWORD serial, CObjTreeIterator& it);
// Linear search; a null obj gives -1 unless bAllowNull.
int IndexOfObject(CObject* pObj, CObArray& array, BOOL bAllowNull);
