#pragma once
// A group: an owned, ordered array of child objects that are selected, transformed, drawn
// and exported together.

#include "model/COwnedObArray.h"
#include "model/CSignObj.h"

class CGroupObj : public CSignObj {
    DECLARE_SERIAL(CGroupObj)
public:
    static constexpr WORD Version = 2;

    CGroupObj();
    ~CGroupObj() override;
    void Serialize(CArchive& ar) override;

    void SetFill(CFillObj* pFill) override;
    void Select() override;
    void Unselect() override;
    BYTE ToggleSelect() override;
    BOOL IsGroup() override;
    BOOL CanUngroup() override;
    void RefreshBBox() override;
    floatBBox* GetBBox() override;
    CSignObj* HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg) override;
    COLORREF GetColor() override;
    BOOL HasContentData() override;
    void DrawOutlineOnLayer(CDC* pDC, const floatTMatrix& m, int layer) override;
    void DrawMask(CDibDC* pMask, const floatTMatrix& m, int mode) override;
    void Paint(CDC* pDC, const floatTMatrix& m, int mode, int layer, int flag) override;
    void PaintOutline(CDC* pDC, const floatTMatrix& m, int arg) override;
    BOOL AcceptsTransform(const floatTMatrix& m) override;
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    CSignObj* GetEditablePath() override;
    void Distort(NonLinearTrans& t) override;
    CSignObj* Duplicate() override;
    BOOL CanExportTo(const char* format) override;
    void WriteIllustrator(AIWriter& writer, int layer) override;
    void DrawGdiPath(CDC* pDC, const floatBBox* box, int layer, int mode, float scale) override;
    BOOL BuildColorPath(ColorWPFWriter& writer, const floatTMatrix& m, int layer,
                        int flags) override;
    void AddToPath(Path& target) override;
    int ApplyBooleanOp(int operation, Path& other) override;
    void SetupPropertySheet(CPropertySheet* pSheet, int arg) override;
    void ExtendContextMenu(CMenu* pMenu) override;

    CSignObj* GetChild(int i) const { return static_cast<CSignObj*>(m_children.GetAt(i)); }

    floatBBox m_bbox;
    COwnedObArray m_children;
};

// The deepest nesting the tree walkers follow: 64 arrays, the top-level one included, so a
// group's children may lie at most 63 groups deep.
inline constexpr int MaxTreeLevels = 64;

// The number of arrays on the longest path from obj's own level down (1 for a leaf or an
// empty group, 2 for a group of leaves, ...).
int TreeHeight(CSignObj* pObj);

// Reads an array of design objects as CObArray::Serialize stores it (count, then object
// records) into array, which must be empty. Every element must be a new object of the
// element class (CSignObj unless given): other classes raise the class error and references
// to objects already read cause 5 (a design object has one owner); null records are dropped.
// On an exception the objects read so far are deleted.
void LoadSignObjArray(CArchive& ar, CObArray& array, const CRuntimeClass* pElementClass = nullptr);
