#include "model/CEditablePathIterator.h"

#include "model/CNodeEditor.h"
#include "model/CPathObj.h"
#include "model/CSign.h"

CEditablePathIterator::CEditablePathIterator(CObArray* pRoot) : CObjIterator(pRoot) {
    First();
}

BOOL CEditablePathIterator::IsEditablePath(CSignObj* pObj) {
    if (pObj == nullptr || !pObj->IsKindOf(RUNTIME_CLASS(CPathObj))) return 0;
    return static_cast<CPathObj*>(pObj)->IsEditable() && !pObj->m_bLocked;
}

void CEditablePathIterator::Next() {
    do
        CObjIterator::Next();
    while (Current() != nullptr && !IsEditablePath(Current()));
}

void CEditablePathIterator::Prev() {
    do
        CObjIterator::Prev();
    while (Current() != nullptr && !IsEditablePath(Current()));
}

CPathObj* CEditablePathIterator::CurrentPath() const {
    return static_cast<CPathObj*>(Current());
}

CSelectedPathIterator::CSelectedPathIterator(CNodeEditor* pEditor)
    : CEditablePathIterator(pEditor->GetSign()), m_pEditor(pEditor) {
    if (Current() != nullptr && !Qualifies(Current())) Next();
}

BOOL CSelectedPathIterator::Qualifies(CSignObj* pObj) const {
    return pObj->m_bSelected && !m_pEditor->IsOnHiddenLayer(pObj);
}

void CSelectedPathIterator::Next() {
    do
        CEditablePathIterator::Next();
    while (Current() != nullptr && !Qualifies(Current()));
}

void CSelectedPathIterator::Prev() {
    do
        CEditablePathIterator::Prev();
    while (Current() != nullptr && !Qualifies(Current()));
}
