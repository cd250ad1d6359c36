#pragma once
// The drawable object that owns geometry: one coloured path. CConstantPath is the same
// object whose nodes stay fixed (no node editing).

#include "model/CSignObj.h"
#include "pathkit/ColorPath.h"

class CPathObj : public CSignObj {
    DECLARE_SERIAL(CPathObj)
public:
    static constexpr WORD Version = 1;

    CPathObj();
    ~CPathObj() override;
    void Serialize(CArchive& ar) override;

    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    void UpdateStamp() override;
    void RefreshBBox() override;
    floatBBox* GetBBox() override;
    CSignObj* HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg) override;
    signed char GetLayer() override;
    BOOL SetLayer(char layer, int arg) override;
    COLORREF GetColor() override;
    BOOL SetColor(COLORREF color) override;
    void DrawOutline(CDC* pDC, const floatTMatrix& m, COLORREF color) override;
    void DrawMask(CDibDC* pMask, const floatTMatrix& m, int mode) override;
    void Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) override;
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    CSignObj* GetEditablePath() override;
    void Distort(NonLinearTrans& t) override;
    CSignObj* Duplicate() override;
    CSignObj* ConvertToPaths() override;
    BOOL CanExportTo(const char* format) override;
    void WriteIllustrator(AIWriter& writer, int layer) override;
    void DrawGdiPath(CDC* pDC, const floatBBox* box, int layer, int mode, float scale) override;
    BOOL BuildColorPath(ColorWPFWriter& writer, const floatTMatrix& m, int layer,
                        int flags) override;
    Path* GetPath() override;
    void Edit(CWnd* pWnd) override;
    LayerWord GetLayerWord() override;
    void SetLayerWord(LayerWord layer) override;
    virtual BOOL IsEditable();

    BOOL IsLinesOnly() const { return (m_path.pathFlags & CP_LINES_ONLY) != 0; }

    ColorPath m_path;

protected:
    // Colour, layer, flags and attributes of this object given to a new plain path object.
    void CopyInto(CPathObj* pCopy);
};

class CConstantPath : public CPathObj {
    DECLARE_SERIAL(CConstantPath)
public:
    CConstantPath();
    ~CConstantPath() override;
    BOOL IsEditable() override;
};

// The command that starts node editing.
inline constexpr UINT ID_EDIT_NODES = 32802;

// 1 when the sub-path is empty or its first start differs from its last end.
bool IsOpenOrEmpty(const SubPath& sp);

// Folds one member into a stamp: its flags without the changed bit, start and end, and a
// curve's control points.
void HashPathMember(const PathMember& pm, DWORD* hash);
