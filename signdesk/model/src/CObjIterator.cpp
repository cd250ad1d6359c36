#include "model/CObjIterator.h"

#include "model/CGroupObj.h"

CObjIterator::CObjIterator(CObArray* pRoot) {
    SetRoot(pRoot);
}

void CObjIterator::SetRoot(CObArray* pRoot) {
    m_nDepth = 0;
    m_levels[0] = Level{pRoot, -1};
}

void CObjIterator::First() {
    m_nDepth = 0;
    m_levels[0].index = -1;
    Next();
}

void CObjIterator::Last() {
    m_nDepth = 0;
    m_levels[0].index = m_levels[0].array ? m_levels[0].array->GetSize() : 0;
    Prev();
}

void CObjIterator::Next() {
    for (;;) {
        Level& level = m_levels[m_nDepth];
        const int count = level.array ? level.array->GetSize() : 0;
        if (level.index >= count - 1) {
            if (m_nDepth == 0) {
                level.index = count; // past the end: the walk is over
                return;
            }
            --m_nDepth;
            continue;
        }
        ++level.index;
        auto* pObj = static_cast<CSignObj*>(level.array->GetAt(level.index));
        if (pObj == nullptr) continue;
        if (!pObj->IsGroup()) return;
        // A group nested deeper than the walker's levels is passed over.
        if (m_nDepth + 1 >= MaxTreeLevels) continue;
        ++m_nDepth;
        m_levels[m_nDepth] = Level{&static_cast<CGroupObj*>(pObj)->m_children, -1};
    }
}

void CObjIterator::Prev() {
    for (;;) {
        Level& level = m_levels[m_nDepth];
        if (level.index <= 0) {
            if (m_nDepth == 0) {
                level.index = -1; // before the start: the walk is over
                return;
            }
            --m_nDepth;
            continue;
        }
        --level.index;
        auto* pObj = static_cast<CSignObj*>(level.array->GetAt(level.index));
        if (pObj == nullptr) continue;
        if (!pObj->IsGroup()) return;
        if (m_nDepth + 1 >= MaxTreeLevels) continue;
        CObArray* pChildren = &static_cast<CGroupObj*>(pObj)->m_children;
        ++m_nDepth;
        m_levels[m_nDepth] = Level{pChildren, pChildren->GetSize()};
    }
}

CSignObj* CObjIterator::Current() const {
    const Level& level = m_levels[m_nDepth];
    if (level.array == nullptr || level.index < 0 || level.index >= level.array->GetSize()) {
        return nullptr;
    }
    return static_cast<CSignObj*>(level.array->GetAt(level.index));
}
