#pragma once
// Undo records: one object's state (attributes, position, shared references and a snapshot
// of its content) or the document's settings.

#include <functional>

#include "mfc/CArchive.h"
#include "mfc/CFile.h"
#include "mfc/CObject.h"
#include "model/CSignObj.h"

class CSharedObj;
class CFillObj;
class CObjTreeIterator;
class UndoList;
class CObArray;

class CBackup : public CObject {
    DECLARE_DYNAMIC(CBackup)
public:
    enum Kind : BYTE { changed = 0, added = 1, removed = 2 };

    CBackup() = default;
    ~CBackup() override;
    virtual DWORD GetMemSize();

    // Writes the snapshot into the scratch file through a storing archive, then copies the
    // file's bytes into the record's own buffer (none when empty).
    void TakeSnapshot(CFile* pFile, const std::function<void(CArchive&)>& serialize);
    // Runs serialize on a loading archive over the record's buffer; nothing without one.
    void ReadSnapshot(const std::function<void(CArchive&)>& serialize) const;

    DWORD m_nSerial = 0;
    DWORD m_nStamp = 0;
    DWORD m_nSize = 0;
    BYTE* m_pData = nullptr;
    BYTE m_nKind = changed;
};

class CDocumentBackup : public CBackup {
    DECLARE_DYNAMIC(CDocumentBackup)
public:
    CDocumentBackup(UndoList* pDoc, CFile* pFile);
    BOOL IsChanged(UndoList* pDoc);
    void Restore(UndoList* pDoc);
};

class CSignObjBackup : public CBackup {
    DECLARE_DYNAMIC(CSignObjBackup)
public:
    // Snapshot of pObj, on which it stands; without a file no content snapshot is taken.
    CSignObjBackup(CSignObj* pObj, CObjTreeIterator& it, UndoList* pDoc, CFile* pFile);
    ~CSignObjBackup() override;
    DWORD GetMemSize() override;

    BOOL IsChanged(CSignObj* pObj, CObjTreeIterator& it);
    void SwapAttributes(CSignObjBackup& other);
    // Puts the recorded state back into pObj, or into a new object of the recorded class
    // (with the recorded serial) when pObj is null; → the object.
    CSignObj* Restore(CSignObj* pObj, CObjTreeIterator& it, UndoList* pDoc);

    const CRuntimeClass* m_pClass;
    DWORD m_nParentSerial = 0;
    DWORD m_nPrevSerial = 0;
    COLORREF m_clrColor = 0;
    float m_fOutlineWidth = 0;
    COLORREF m_clrOutline = 0;
    BYTE m_bFixedOutlineWidth = 0;
    BYTE m_bSelected = 0;
    BYTE m_bLocked = 0;
    BYTE m_bFlag1 = 0;
    BYTE m_bFlag2 = 0;
    LayerWord m_nLayer = 0; // the object's whole layer word (GetLayerWord)
    CSharedObj* m_pContent = nullptr;
    CFillObj* m_pFill = nullptr;
    CFillObj* m_pTransparencyFill = nullptr;
    float m_fTransparency = 0;
};

// Index of the record of that serial in the baseline (its last element, the document record,
// excluded); with a hint (>= 0) searched from the hint first. -1 when absent.
int FindBackup(CObArray& baseline, DWORD serial, int hint);
