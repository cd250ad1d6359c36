#pragma once
// The leaves of one object, depth first: the object itself when it is not a group.

#include "model/CGroupObj.h"
#include "model/CObjIterator.h"
#include "model/CSignObj.h"

template <class F> void ForEachLeaf(CSignObj* pObj, F&& f) {
    if (pObj == nullptr) return;
    if (!pObj->IsGroup()) {
        f(pObj);
        return;
    }
    CObjIterator it(&static_cast<CGroupObj*>(pObj)->m_children);
    for (it.First(); it.Current() != nullptr; it.Next())
        f(it.Current());
}
