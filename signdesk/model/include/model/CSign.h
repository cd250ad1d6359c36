#pragma once
// The object list of one design sheet: the top-level objects in stacking order (later above
// earlier), the cached extent, the selection summary and the layer table. The list owns its
// objects.

#include "mfc/CObArray.h"
#include "model/CSignObj.h"
#include "pathkit/BBox.h"
#include "pathkit/TMatrix.h"

class CSign : public CObArray {
    DECLARE_SERIAL(CSign)
public:
    CSign();
    ~CSign() override;
    // The count, then every object's record. Loading replaces the objects only when the
    // whole list was read; on an error the list is left as it was.
    void Serialize(CArchive& ar) override;

    CSignObj* GetObj(int i) const { return static_cast<CSignObj*>(GetAt(i)); }
    // Deletes every object.
    void DeleteAll();

    void RefreshBounds(int all);
    DWORD UpdateSelection();
    void UnselectAll();
    // Every unlocked top-level object on a shown layer (a group: when one of its members is).
    void SelectAll();
    // Every unlocked top-level object on a shown layer whose box lies wholly inside box
    // (bounds included) is selected, or toggled with toggle. A null box selects nothing.
    void SelectInBox(const floatBBox* box, BOOL toggle);
    // The paths of the selected path objects of the tree become one new path object at the
    // first selected index, selected, with the layer and colour of the lowest layer met. Only
    // the objects that gave a path are deleted; without any path nothing changes.
    void CombineSelection();
    // Every selected path object of the tree with more than one sub-path becomes a group of
    // one path object per sub-path, each with the object's colour and layer.
    void SimplifySelection();
    void SelectByColor(COLORREF color);
    void DeleteSelected();
    void DuplicateSelection();
    void GroupSelection();
    void UngroupSelection();
    // Every selected path object becomes one path object per sub-path, at its place.
    void BreakApartSelection();
    BOOL AcceptsTransform(const floatTMatrix& m);
    void TransformObjects(const floatTMatrix& m, int selectedOnly);
    BOOL CanDistortSelection();
    void DistortSelection(NonLinearTrans* pTrans, int flag);
    CSignObj* HitTest(floatPoint& p, float tolerance, int mode, int arg);
    BOOL CanExportTo(const char* format, int selectedOnly);
    BOOL WriteColorPaths(ColorWPFWriter& writer, const floatTMatrix& m, int selectedOnly,
                         int flags);
    void DrawGdiPaths(CDC* pDC, int selectedOnly, int mode, float scale);
    void Draw(CDC* pDC, const floatTMatrix& m, int selectedOnly);
    void WriteIllustrator(AIWriter& writer, int selectedOnly);
    void ReplaceObject(CSignObj* pOld, CSignObj* pNew);
    void LockSelection();
    void UnlockAll();
    void SetSelectionFill(CFillObj* pFill);
    void SetSelectionTransparency(CFillObj* pFill);
    void CountLayerObjects();
    int GetObjectOrdinal(DWORD serial);
    BOOL NeedsRasterPrinting(CDC* pDC, int bitmapFlag);

    // Whether a layer (-128..127) is drawn, output and hit.
    BOOL IsLayerVisible(int layer) const { return m_bLayerVisible[layer + 128]; }
    void SetLayerVisible(int layer, BOOL bVisible) {
        m_bLayerVisible[layer + 128] = bVisible ? 1 : 0;
    }
    DWORD GetLayerCount(int layer) const { return m_nLayerCount[layer + 128]; }

    floatBBox m_bbExtent;
    floatBBox m_bbSelection;
    DWORD m_nLayerCount[256];
    BYTE m_bLayerVisible[256];
    int m_nFirstSelected = -1;
    DWORD m_nSelected = 0;
    DWORD m_nSelectedPaths = 0;

private:
    // Layers -127..127 that hold objects and are visible, in drawing order.
    template <class F> void ForEachDrawnLayer(F&& f);
};

// Recursively removes and deletes groups left without children and editable path objects
// without sub-paths.
void RemoveEmptyObjects(CObArray& array);

class ColorWPFReader;
// Reads the coloured paths of a text path stream into new path objects appended to out:
// several as one group, one as itself, none as nothing.
void ReadWPFObjects(ColorWPFReader& reader, CObArray& out);
