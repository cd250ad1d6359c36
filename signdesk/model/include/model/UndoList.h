#pragma once
// Undo by difference against a baseline. The baseline holds one full record per object of
// the design, in depth-first order, and the document's settings record last. Recording a
// step compares the design with it and moves what changed into the step; undoing applies the
// newest step and keeps its inverse as the one step that can be redone.
//
// The document derives from this list and supplies what the recorder needs of it (the
// design, its settings, the views and the modified flag) through the hooks below.

#include "mfc/CObArray.h"
#include "pathkit/BBox.h"

class CArchive;
class CSign;
class CSignDoc;
class CUndoStep;

class UndoList {
public:
    // Application settings: the steps are trimmed from the oldest while they account for at
    // least MaxUndoMem kilobytes and more than MinUndoSteps remain (taken as at least 1).
    static DWORD MaxUndoMem;
    static int MinUndoSteps;

    UndoList() = default;
    UndoList(const UndoList&) = delete;
    UndoList& operator=(const UndoList&) = delete;

    // 1 when a step was recorded, 0 when nothing had changed.
    virtual BOOL RecordStep(const char* name);
    // Applies the newest step to the design and deletes it.
    virtual void ApplyStep();
    virtual BOOL CanUndo();
    virtual void Undo();
    virtual BOOL CanRedo();
    virtual void Redo();
    virtual void Clear();
    // After the list's own operations, so that they keep their slots.
    virtual ~UndoList();

    // The document's side.
    virtual CSign& GetUndoSign() = 0;
    virtual void SerializeUndoSettings(CArchive& ar) = 0;
    virtual DWORD GetUndoStateHash() = 0;
    // Redraws a box of the design in every view; null: the whole views.
    virtual void InvalidateUndoBox(const floatBBox* pBox) = 0;
    virtual void SetUndoModified() = 0;
    // Passed to the objects' SerializeState.
    virtual CSignDoc* GetUndoDoc() { return nullptr; }

    DWORD GetUndoMemory() const;
    int GetStepCount() const { return m_steps.GetSize(); }
    CUndoStep* GetStep(int i) const;
    CUndoStep* GetRedoStep() const { return m_pRedoStep; }

    CObArray m_baseline;
    CObArray m_steps;
    CUndoStep* m_pRedoStep = nullptr;

private:
    void Trim();
    void DeleteStep(CUndoStep* pStep);
};
