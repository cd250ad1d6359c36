#include "model/CObjTreeIterator.h"

#include "model/CGroupObj.h"

CObjTreeIterator::CObjTreeIterator(CObArray* pRoot) {
    SetRoot(pRoot);
}

void CObjTreeIterator::SetRoot(CObArray* pRoot) {
    m_nDepth = 0;
    m_levels[0] = Level{0, pRoot, -1};
    m_pPendingGroup = nullptr;
    m_nOrdinal = -1;
}

void CObjTreeIterator::First() {
    m_nOrdinal = -1;
    m_nDepth = 0;
    m_levels[0].index = -1;
    m_pPendingGroup = nullptr;
    Next();
}

int CObjTreeIterator::Next() {
    if (m_pPendingGroup != nullptr) {
        // A group nested deeper than the walker's levels is visited but not entered.
        if (m_nDepth + 1 < MaxTreeLevels) {
            ++m_nDepth;
            m_levels[m_nDepth] = Level{m_pPendingGroup->m_nSerial,
                                       &static_cast<CGroupObj*>(m_pPendingGroup)->m_children, -1};
        }
        m_pPendingGroup = nullptr;
    }
    for (;;) {
        Level& level = m_levels[m_nDepth];
        const int count = level.array ? level.array->GetSize() : 0;
        if (level.index < count - 1) {
            ++level.index;
            auto* pObj = static_cast<CSignObj*>(level.array->GetAt(level.index));
            if (pObj != nullptr && pObj->IsGroup()) m_pPendingGroup = pObj;
            return ++m_nOrdinal;
        }
        if (m_nDepth == 0) {
            level.index = count;
            return ++m_nOrdinal;
        }
        --m_nDepth;
    }
}

CSignObj* CObjTreeIterator::Current() const {
    if (m_pPendingGroup != nullptr) return m_pPendingGroup;
    const Level& level = m_levels[m_nDepth];
    if (level.array == nullptr || level.index < 0 || level.index >= level.array->GetSize()) {
        return nullptr;
    }
    return static_cast<CSignObj*>(level.array->GetAt(level.index));
}

void CObjTreeIterator::GetPosition(DWORD* pParentSerial, DWORD* pPrevSerial, int* pIndex,
                                   CObArray** ppArray) const {
    const Level& level = m_levels[m_nDepth];
    if (pParentSerial) *pParentSerial = level.parentSerial;
    if (pIndex) *pIndex = level.index;
    if (pPrevSerial) {
        *pPrevSerial = 0;
        if (level.array != nullptr && level.index > 0 && level.index <= level.array->GetSize()) {
            auto* pPrev = static_cast<CSignObj*>(level.array->GetAt(level.index - 1));
            if (pPrev != nullptr) *pPrevSerial = pPrev->m_nSerial;
        }
    }
    if (ppArray) *ppArray = level.array;
}

CObArray* CObjTreeIterator::FindChildArray(DWORD serial) {
    if (serial == 0) return m_levels[0].array;
    for (First(); !IsDone(); Next()) {
        if (m_levels[m_nDepth].parentSerial == serial) return m_levels[m_nDepth].array;
        CSignObj* pObj = Current();
        if (pObj != nullptr && pObj->m_nSerial == serial) {
            return pObj->IsGroup() ? &static_cast<CGroupObj*>(pObj)->m_children : nullptr;
        }
    }
    return nullptr;
}

BOOL CObjTreeIterator::IsDone() const {
    const Level& root = m_levels[0];
    return m_nDepth == 0 && m_pPendingGroup == nullptr &&
           (root.array == nullptr || root.index >= root.array->GetSize());
}

CSignObj* FindObjectBySerial(DWORD serial, CObjTreeIterator& it) {
    if (serial == 0) return nullptr;
    // From the current position to the end, then the whole tree.
    for (; !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj != nullptr && pObj->m_nSerial == serial) return pObj;
    }
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj != nullptr && pObj->m_nSerial == serial) return pObj;
    }
    return nullptr;
}

int IndexOfObject(CObject* pObj, CObArray& array, BOOL bAllowNull) {
    if (pObj == nullptr && !bAllowNull) return -1;
    for (int i = 0; i < array.GetSize(); ++i) {
        if (array.GetAt(i) == pObj) return i;
    }
    return -1;
}
