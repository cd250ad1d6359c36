#pragma once
// The document's side of undo for the model's tests and fuzz targets.

#include <vector>

#include "mfc/CArchive.h"
#include "mfc/CWaitCursor.h"
#include "model/CSign.h"
#include "model/HashBytes.h"
#include "model/UndoList.h"

// The document's side of undo: a design, two settings, the boxes the views were asked to
// redraw and the modified flag.
class StandInDoc : public UndoList {
public:
    CSign& GetUndoSign() override { return m_sign; }
    void SerializeUndoSettings(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << m_fPageWidth << DWORD(m_nGrid);
        } else {
            DWORD grid;
            ar >> m_fPageWidth >> grid;
            m_nGrid = int(grid);
        }
    }
    DWORD GetUndoStateHash() override {
        DWORD h = 0;
        HashBytes(&m_fPageWidth, sizeof m_fPageWidth, &h);
        HashBytes(&m_nGrid, sizeof m_nGrid, &h);
        return h;
    }
    void InvalidateUndoBox(const floatBBox* pBox) override {
        m_invalidated.push_back(pBox ? *pBox : floatBBox(-1, -1, -1, -1));
        m_waitDuringApply = SdWaitCursorCount();
    }
    void SetUndoModified() override { m_bModified = true; }

    // What the document does with a design it has just read: empty objects go, counts and
    // boxes are refreshed, and the first step is recorded.
    void Opened() {
        RemoveEmptyObjects(m_sign);
        m_sign.CountLayerObjects();
        m_sign.RefreshBounds(1);
        m_sign.UpdateSelection();
        RecordStep("Open");
    }

    CSign m_sign;
    float m_fPageWidth = 210;
    int m_nGrid = 5;
    std::vector<floatBBox> m_invalidated;
    bool m_bModified = false;
    int m_waitDuringApply = -1;
};
