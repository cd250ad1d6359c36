#pragma once
// The framework document under the application's: it owns the sheet size, gives the page
// extent, snaps points and boxes to the grid and tells its views that it changed. The
// application's document adds the objects and guide lines and snaps to them first.

#include <mfc/COleDocument.h>
#include <pathkit/BBox.h>
#include <win32/dialog.h>

class COleSheetDoc : public COleDocument {
    DECLARE_DYNCREATE(COleSheetDoc)
public:
    // The first document of the program (none other alive) resets the grid and reads the
    // sheet size from the profile; a document made beside another leaves them alone.
    COleSheetDoc();
    ~COleSheetDoc() override;

    BOOL OnNewDocument() override;
    // DocWidth and DocHeight (floats), then the container's items.
    void Serialize(CArchive& ar) override;

    virtual floatBBox& GetExtent(floatBBox& out);
    // Grid snapping of x (y): FALSE and p unchanged while snapping is off. tolerance and
    // flags (an object or 1 in the application's document) are for the overrides.
    virtual BOOL SnapX(floatPoint* p, float tolerance, INT_PTR flags);
    virtual BOOL SnapY(floatPoint* p, float tolerance, INT_PTR flags);
    // Moves the box by the smaller movement of its two corners.
    virtual void SnapBox(floatBBox* box, float tolerance, INT_PTR flags);
    virtual BOOL SnapPoint(floatPoint* p, float tolerance, INT_PTR flags);
    // No guide lines here: beeps, FALSE.
    virtual BOOL AddGuideLine(const floatPoint* p, double angle);

    // Tells every view at once (OnUpdate, HINT_DOCCHANGED), then posts WM_DOCCHANGED to each.
    void PostChangedToViews();

protected:
    void OnSnapToGrid();
    void OnUpdateSnapToGrid(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

// The grid coordinate nearest to v (halves up); the index is kept within 32 bits.
float SnapToGridLine(float v, float origin, float spacing);
