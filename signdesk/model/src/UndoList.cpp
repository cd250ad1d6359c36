#include "model/UndoList.h"

#include <algorithm>
#include <cstring>

#include "BackupIndex.h"
#include "mfc/CMemFile.h"
#include "mfc/CWaitCursor.h"
#include "model/CBackup.h"
#include "model/CGroupObj.h"
#include "model/CObjTreeIterator.h"
#include "model/COwnedObArray.h"
#include "model/CSign.h"
#include "model/CUndoStep.h"

DWORD UndoList::MaxUndoMem = 4000;
int UndoList::MinUndoSteps = 1;

namespace {

CBackup* RecordAt(CObArray& baseline, int i) {
    return static_cast<CBackup*>(baseline.GetAt(i));
}

bool SameBox(const floatBBox* a, const floatBBox* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a->left == b->left && a->right == b->right && a->bottom == b->bottom && a->top == b->top;
}

} // namespace

UndoList::~UndoList() {
    Clear();
}

CUndoStep* UndoList::GetStep(int i) const {
    return static_cast<CUndoStep*>(m_steps.GetAt(i));
}

void UndoList::DeleteStep(CUndoStep* pStep) {
    delete pStep;
}

DWORD UndoList::GetUndoMemory() const {
    DWORD total = 0;
    for (int i = 0; i < m_steps.GetSize(); ++i)
        total += GetStep(i)->m_nMemSize;
    return total;
}

BOOL UndoList::RecordStep(const char* name) {
    CWaitCursor wait;
    CSign& sign = GetUndoSign();
    auto* pStep = new CUndoStep(name);
    CMemFile scratch(1024);
    try {
        if (m_baseline.IsEmpty()) m_baseline.Add(new CDocumentBackup(this, &scratch));

        CObjTreeIterator it(&sign);
        for (it.First(); !it.IsDone(); it.Next()) {
            if (CSignObj* pObj = it.Current()) pObj->StoreStamp();
        }

        // Added objects: a full record into the baseline, a marker into the step.
        BackupIndex index(m_baseline);
        int hint = -1;
        for (it.First(); !it.IsDone(); it.Next()) {
            CSignObj* pObj = it.Current();
            if (pObj == nullptr) continue;
            const int found = index.Find(pObj->m_nSerial, hint);
            if (found >= 0) {
                hint = found;
                continue;
            }
            const int at = m_baseline.GetSize() - 1;
            m_baseline.InsertAt(at, new CSignObjBackup(pObj, it, this, &scratch));
            index.Inserted(pObj->m_nSerial, at);
            hint = at;
            auto* pMarker = new CSignObjBackup(pObj, it, this, nullptr);
            pMarker->m_nKind = CBackup::added;
            pStep->AddRecord(pMarker);
        }

        // Removed and changed objects, in baseline order.
        it.First();
        for (int i = 0; i < m_baseline.GetSize() - 1;) {
            auto* pRecord = static_cast<CSignObjBackup*>(RecordAt(m_baseline, i));
            CSignObj* pObj = FindObjectBySerial(pRecord->m_nSerial, it);
            if (pObj == nullptr) {
                m_baseline.RemoveAt(i);
                pRecord->m_nKind = CBackup::removed;
                pStep->AddRecord(pRecord);
                continue;
            }
            if (pRecord->IsChanged(pObj, it)) {
                if (pRecord->m_nStamp == pObj->m_nSavedStamp) {
                    // Attributes or position only: the baseline takes the new ones, the step
                    // keeps the old ones.
                    auto* pOld = new CSignObjBackup(pObj, it, this, nullptr);
                    pOld->SwapAttributes(*pRecord);
                    pStep->AddRecord(pOld);
                } else {
                    m_baseline.SetAt(i, new CSignObjBackup(pObj, it, this, &scratch));
                    pStep->AddRecord(pRecord);
                }
            }
            ++i;
        }

        const int last = m_baseline.GetSize() - 1;
        auto* pDocRecord = static_cast<CDocumentBackup*>(RecordAt(m_baseline, last));
        if (pDocRecord->IsChanged(this)) {
            m_baseline.RemoveAt(last);
            pStep->AddRecord(pDocRecord);
            m_baseline.Add(new CDocumentBackup(this, &scratch));
        }
    } catch (...) {
        delete pStep;
        throw;
    }

    if (pStep->m_records.IsEmpty()) {
        delete pStep;
        return 0;
    }

    // The baseline follows the design's depth-first order.
    CObjTreeIterator it(&sign);
    int n = 0;
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj == nullptr) continue;
        if (RecordAt(m_baseline, n)->m_nSerial != pObj->m_nSerial) {
            const int found = FindBackup(m_baseline, pObj->m_nSerial, n);
            if (found >= 0) {
                CObject* pRecord = m_baseline.GetAt(found);
                m_baseline.RemoveAt(found);
                m_baseline.InsertAt(n, pRecord);
            }
        }
        ++n;
    }

    m_steps.Add(pStep);
    Trim();
    SetUndoModified();
    return 1;
}

void UndoList::Trim() {
    // At least one step stays: the one just recorded.
    const int keep = std::max(MinUndoSteps, 1);
    const std::uint64_t limit = std::uint64_t(MaxUndoMem) * 1024;
    while (GetUndoMemory() >= limit && m_steps.GetSize() > keep) {
        DeleteStep(GetStep(0));
        m_steps.RemoveAt(0);
    }
    DeleteStep(m_pRedoStep);
    m_pRedoStep = nullptr;
}

void UndoList::ApplyStep() {
    if (m_steps.IsEmpty()) return;
    CWaitCursor wait;
    CSign& sign = GetUndoSign();
    CUndoStep* pStep = GetStep(m_steps.GetUpperBound());
    m_steps.RemoveAt(m_steps.GetUpperBound());

    bool extentChanged = false;
    CObjTreeIterator it(&sign);
    it.First();
    try {
        for (int r = 0; r < pStep->m_records.GetSize(); ++r) {
            CBackup* pRecord = pStep->GetRecord(r);
            if (pRecord->IsKindOf(RUNTIME_CLASS(CDocumentBackup))) {
                static_cast<CDocumentBackup*>(pRecord)->Restore(this);
                continue;
            }
            auto* pBackup = static_cast<CSignObjBackup*>(pRecord);
            switch (pBackup->m_nKind) {
            case CBackup::changed: {
                CSignObj* pObj = FindObjectBySerial(pBackup->m_nSerial, it);
                if (pObj == nullptr) break; // nothing to put back
                floatBBox before;
                const floatBBox* pBefore = pObj->GetBBox();
                if (pBefore != nullptr) {
                    before = *pBefore;
                    InvalidateUndoBox(&before);
                }
                pObj = pBackup->Restore(pObj, it, this);
                const floatBBox* pAfter = pObj->GetBBox();
                if (pAfter != nullptr) InvalidateUndoBox(pAfter);
                if (!SameBox(pBefore ? &before : nullptr, pAfter)) extentChanged = true;
                break;
            }
            case CBackup::added: {
                CSignObj* pObj = FindObjectBySerial(pBackup->m_nSerial, it);
                if (pObj == nullptr) break;
                InvalidateUndoBox(pObj->GetBBox());
                CObArray* pArray;
                int index;
                it.GetPosition(nullptr, nullptr, &index, &pArray);
                pArray->RemoveAt(index);
                if (pObj->IsGroup()) {
                    auto* pGroup = static_cast<CGroupObj*>(pObj);
                    for (int c = 0; c < pGroup->m_children.GetSize(); ++c)
                        pArray->InsertAt(index + c, pGroup->m_children.GetAt(c));
                    pGroup->m_children.RemoveAll();
                }
                delete pObj;
                it.First();
                extentChanged = true;
                break;
            }
            case CBackup::removed: {
                CSignObj* pObj = pBackup->Restore(nullptr, it, this);
                if (pObj != nullptr && !pObj->IsGroup()) {
                    if (const floatBBox* pBox = pObj->GetBBox()) InvalidateUndoBox(pBox);
                }
                extentChanged = true;
                break;
            }
            default:
                break;
            }
        }
    } catch (...) {
        delete pStep;
        throw;
    }
    delete pStep;
    sign.CountLayerObjects();
    if (extentChanged) sign.RefreshBounds(1);
}

BOOL UndoList::CanUndo() {
    return !m_steps.IsEmpty();
}

void UndoList::Undo() {
    if (m_steps.IsEmpty()) return;
    ApplyStep();
    // Only a step recorded now is the inverse of what was undone; an older pending step no
    // longer fits the design either way.
    DeleteStep(m_pRedoStep);
    m_pRedoStep = nullptr;
    if (RecordStep("For Redo") == 1) {
        m_pRedoStep = GetStep(m_steps.GetUpperBound());
        m_steps.RemoveAt(m_steps.GetUpperBound());
    }
}

BOOL UndoList::CanRedo() {
    return m_pRedoStep != nullptr;
}

void UndoList::Redo() {
    if (m_pRedoStep == nullptr) return;
    m_steps.Add(m_pRedoStep);
    m_pRedoStep = nullptr;
    ApplyStep();
    RecordStep("For Redo");
}

void UndoList::Clear() {
    ObArrayTruncate(m_baseline, 0);
    for (int i = 0; i < m_steps.GetSize(); ++i)
        DeleteStep(GetStep(i));
    m_steps.RemoveAll();
    DeleteStep(m_pRedoStep);
    m_pRedoStep = nullptr;
}
