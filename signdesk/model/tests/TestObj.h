#pragma once
// A design object for the tests: a box on a layer in a colour, with a content number, all of
// them in its undo snapshot. It stands in for the path objects.

#include "model/CSignObj.h"

class CTestObj : public CSignObj {
    DECLARE_SERIAL(CTestObj)
public:
    CTestObj() = default;
    CTestObj(float left, float bottom, float right, float top, signed char layer = 0,
             COLORREF color = 0);

    void Serialize(CArchive& ar) override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    floatBBox* GetBBox() override { return m_bHasBox ? &m_box : nullptr; }
    CSignObj* HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg) override;
    signed char GetLayer() override { return m_nLayer; }
    BOOL SetLayer(char layer, int) override;
    COLORREF GetColor() override { return m_clrColor; }
    BOOL SetColor(COLORREF color) override;
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override { return 1; }
    CSignObj* Duplicate() override;
    Path* GetPath() override { return m_pPath; }
    // Counts its calls; with m_bUntidy it leaves the context changed behind it.
    void Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) override;
    void PaintOutline(CDC* pDC, const floatTMatrix& m, int arg) override;

    // A content change: the number moves and the stamp with it.
    void SetContent(DWORD content);
    void MoveBy(float dx, float dy);

    floatBBox m_box;
    BOOL m_bHasBox = TRUE;
    signed char m_nLayer = 0;
    COLORREF m_clrColor = 0;
    DWORD m_nContent = 0;
    Path* m_pPath = nullptr; // not owned
    int m_nHitQueries = 0;
    int m_nPaints = 0;
    int m_nOutlinePaints = 0;
    bool m_bUntidy = false;
};
