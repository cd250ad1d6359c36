#include "model/CBackup.h"

#include <cstdlib>
#include <new>

#include "mfc/CMemFile.h"
#include "model/CFillObj.h"
#include "model/CObjTreeIterator.h"
#include "model/CSignObj.h"
#include "model/UndoList.h"

IMPLEMENT_DYNAMIC(CBackup, CObject)
IMPLEMENT_DYNAMIC(CDocumentBackup, CBackup)
IMPLEMENT_DYNAMIC(CSignObjBackup, CBackup)

CBackup::~CBackup() {
    std::free(m_pData);
}

DWORD CBackup::GetMemSize() {
    return m_nSize + 21;
}

void CBackup::TakeSnapshot(CFile* pFile, const std::function<void(CArchive&)>& serialize) {
    pFile->SetLength(0);
    pFile->SeekToBegin();
    {
        CArchive ar(pFile, CArchive::store, 4096);
        serialize(ar);
        ar.Close();
    }
    const std::uint64_t length = pFile->GetLength();
    m_nSize = DWORD(length);
    if (m_nSize == 0) return;
    m_pData = static_cast<BYTE*>(std::malloc(m_nSize));
    if (m_pData == nullptr) {
        m_nSize = 0;
        throw std::bad_alloc();
    }
    pFile->SeekToBegin();
    pFile->Read(m_pData, m_nSize);
}

void CBackup::ReadSnapshot(const std::function<void(CArchive&)>& serialize) const {
    if (m_pData == nullptr) return;
    // The file reads the record's buffer in place and never frees it.
    CMemFile file(m_pData, m_nSize, 0);
    CArchive ar(&file, CArchive::load, 4096);
    serialize(ar);
    ar.Close();
}

// ---- document record

CDocumentBackup::CDocumentBackup(UndoList* pDoc, CFile* pFile) {
    m_nSerial = 0;
    m_nStamp = pDoc->GetUndoStateHash();
    if (pFile != nullptr)
        TakeSnapshot(pFile, [pDoc](CArchive& ar) { pDoc->SerializeUndoSettings(ar); });
}

BOOL CDocumentBackup::IsChanged(UndoList* pDoc) {
    return m_nStamp != pDoc->GetUndoStateHash();
}

void CDocumentBackup::Restore(UndoList* pDoc) {
    ReadSnapshot([pDoc](CArchive& ar) { pDoc->SerializeUndoSettings(ar); });
}

// ---- object record

CSignObjBackup::CSignObjBackup(CSignObj* pObj, CObjTreeIterator& it, UndoList* pDoc, CFile* pFile)
    : m_pClass(pObj->GetRuntimeClass()) {
    m_nSerial = pObj->m_nSerial;
    m_nStamp = pObj->m_nSavedStamp;
    it.GetPosition(&m_nParentSerial, &m_nPrevSerial, nullptr);
    m_bSelected = pObj->m_bSelected;
    m_bLocked = pObj->m_bLocked;
    m_nLayer = pObj->GetLayerWord();
    m_clrColor = pObj->GetColor();
    m_fOutlineWidth = pObj->m_fOutlineWidth;
    m_clrOutline = pObj->m_clrOutline;
    m_bFixedOutlineWidth = pObj->m_bFixedOutlineWidth;
    m_bFlag1 = pObj->m_bFlag1;
    m_bFlag2 = pObj->m_bFlag2;
    m_fTransparency = pObj->m_fTransparency;
    m_pContent = pObj->GetSharedContent();
    AcquireShared(m_pContent);
    m_pFill = pObj->m_pFill;
    AcquireShared(m_pFill);
    m_pTransparencyFill = pObj->m_pTransparencyFill;
    AcquireShared(m_pTransparencyFill);
    if (pFile != nullptr) {
        CSignDoc* pSignDoc = pDoc ? pDoc->GetUndoDoc() : nullptr;
        TakeSnapshot(pFile, [pObj, pSignDoc](CArchive& ar) { pObj->SerializeState(ar, pSignDoc); });
    }
}

CSignObjBackup::~CSignObjBackup() {
    ReleaseShared(m_pContent);
    ReleaseShared(m_pFill);
    ReleaseShared(m_pTransparencyFill);
}

DWORD CSignObjBackup::GetMemSize() {
    DWORD size = m_nSize + 88;
    if (m_pContent) size += m_pContent->GetMemSize();
    if (m_pFill) size += m_pFill->GetMemSize();
    if (m_pTransparencyFill) size += m_pTransparencyFill->GetMemSize();
    return size;
}

BOOL CSignObjBackup::IsChanged(CSignObj* pObj, CObjTreeIterator& it) {
    DWORD parent, prev;
    it.GetPosition(&parent, &prev, nullptr);
    const bool same =
        parent == m_nParentSerial && prev == m_nPrevSerial && m_nStamp == pObj->m_nSavedStamp &&
        m_bSelected == pObj->m_bSelected && m_bLocked == pObj->m_bLocked &&
        m_nLayer == pObj->GetLayerWord() && m_clrColor == pObj->GetColor() &&
        m_fOutlineWidth == pObj->m_fOutlineWidth && m_clrOutline == pObj->m_clrOutline &&
        m_bFixedOutlineWidth == pObj->m_bFixedOutlineWidth && m_bFlag1 == pObj->m_bFlag1 &&
        m_bFlag2 == pObj->m_bFlag2 && m_pContent == pObj->GetSharedContent() &&
        m_pFill == pObj->m_pFill && m_fTransparency == pObj->m_fTransparency &&
        m_pTransparencyFill == pObj->m_pTransparencyFill;
    return same ? 0 : 1;
}

void CSignObjBackup::SwapAttributes(CSignObjBackup& other) {
    std::swap(m_nParentSerial, other.m_nParentSerial);
    std::swap(m_nPrevSerial, other.m_nPrevSerial);
    std::swap(m_clrColor, other.m_clrColor);
    std::swap(m_nLayer, other.m_nLayer);
    std::swap(m_bSelected, other.m_bSelected);
    std::swap(m_bLocked, other.m_bLocked);
    std::swap(m_clrOutline, other.m_clrOutline);
    std::swap(m_fOutlineWidth, other.m_fOutlineWidth);
    std::swap(m_bFixedOutlineWidth, other.m_bFixedOutlineWidth);
    std::swap(m_bFlag1, other.m_bFlag1);
    std::swap(m_bFlag2, other.m_bFlag2);
    std::swap(m_pContent, other.m_pContent);
    std::swap(m_pFill, other.m_pFill);
    std::swap(m_pTransparencyFill, other.m_pTransparencyFill);
    std::swap(m_fTransparency, other.m_fTransparency);
}

CSignObj* CSignObjBackup::Restore(CSignObj* pObj, CObjTreeIterator& it, UndoList* pDoc) {
    if (pObj == nullptr) {
        CObject* pNew = m_pClass ? m_pClass->CreateObject() : nullptr;
        if (pNew == nullptr) return nullptr;
        if (!pNew->IsKindOf(RUNTIME_CLASS(CSignObj))) {
            delete pNew;
            return nullptr;
        }
        pObj = static_cast<CSignObj*>(pNew);
        pObj->m_nSerial = m_nSerial;
        it.FindChildArray(0)->InsertAt(0, pObj);
        it.First();
    }
    pObj->m_bSelected = m_bSelected;
    pObj->m_bLocked = m_bLocked;
    pObj->m_fOutlineWidth = m_fOutlineWidth;
    pObj->m_clrOutline = m_clrOutline;
    pObj->m_bFixedOutlineWidth = m_bFixedOutlineWidth;
    pObj->m_bFlag1 = m_bFlag1;
    pObj->m_bFlag2 = m_bFlag2;
    pObj->m_fTransparency = m_fTransparency;
    pObj->m_nSavedStamp = m_nStamp;
    CSignDoc* pSignDoc = pDoc ? pDoc->GetUndoDoc() : nullptr;
    ReadSnapshot([pObj, pSignDoc](CArchive& ar) { pObj->SerializeState(ar, pSignDoc); });
    pObj->SetLayerWord(m_nLayer);
    pObj->SetColor(m_clrColor);

    // The iterator stands on the object (found by serial, or restarted onto the new one).
    DWORD parent, prev;
    int index;
    CObArray* pArray;
    it.GetPosition(&parent, &prev, &index, &pArray);
    if ((parent != m_nParentSerial || prev != m_nPrevSerial) && pArray != nullptr && index >= 0 &&
        index < pArray->GetSize() && pArray->GetAt(index) == pObj) {
        pArray->RemoveAt(index);
        CObjTreeIterator finder;
        finder.SetRoot(it.FindChildArray(0));
        CObArray* pTarget = finder.FindChildArray(m_nParentSerial);
        // A parent that is gone gives the top level. The object is out of the tree here, so
        // its own subtree is never found as its parent.
        if (pTarget == nullptr) pTarget = it.FindChildArray(0);
        int at = 0;
        if (m_nPrevSerial != 0) {
            at = pTarget->GetSize(); // the previous sibling is gone: appended
            for (int i = 0; i < pTarget->GetSize(); ++i) {
                auto* pSibling = static_cast<CSignObj*>(pTarget->GetAt(i));
                if (pSibling != nullptr && pSibling->m_nSerial == m_nPrevSerial) {
                    at = i + 1;
                    break;
                }
            }
        }
        pTarget->InsertAt(at, pObj);
        it.First();
    }
    pObj->SetSharedContent(m_pContent);
    pObj->SetFill(m_pFill);
    pObj->SetTransparencyFill(m_pTransparencyFill);
    pObj->RefreshBBox();
    return pObj;
}

int FindBackup(CObArray& baseline, DWORD serial, int hint) {
    const int end = baseline.GetSize() - 1; // the document record is not searched
    if (end < 1) return -1;
    auto matches = [&](int i) {
        return static_cast<CBackup*>(baseline.GetAt(i))->m_nSerial == serial;
    };
    if (hint >= 0 && hint < end) {
        for (int i = hint; i < end; ++i)
            if (matches(i)) return i;
        for (int i = 0; i < hint; ++i)
            if (matches(i)) return i;
        return -1;
    }
    for (int i = 0; i < end; ++i)
        if (matches(i)) return i;
    return -1;
}
