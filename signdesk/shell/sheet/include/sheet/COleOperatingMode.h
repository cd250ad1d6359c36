#pragma once
// The operating mode: the command target that a sheet view hands all its input to. The base
// gives every operation a default and a rubber band (an XOR-drawn dotted rectangle dragged
// with the left button). Coordinates are client pixels of the view, not snapped; a mode
// converts them itself with the view's ClientToWorld. A BOOL result: the mode handled it.

#include <mfc/CCmdTarget.h>
#include <mfc/CRect.h>
#include <pathkit/BBox.h>
#include <pathkit/TMatrix.h>

class CDC;
class CWnd;
class COleSheetView;

class COleOperatingMode : public CCmdTarget {
    DECLARE_DYNCREATE(COleOperatingMode)
public:
    COleOperatingMode() = default;
    ~COleOperatingMode() override = default;

    // The document's extent.
    virtual floatBBox& GetExtent(floatBBox& out);
    virtual void Activate() {}
    // next: the mode that takes over.
    virtual void Deactivate(COleOperatingMode* next) { (void)next; }
    virtual BOOL OnLButtonDown(UINT flags, int x, int y);
    // Calls OnTrackRect with the normalised band when the view holds the capture.
    virtual BOOL OnLButtonUp(UINT flags, int x, int y);
    virtual BOOL OnLButtonDblClk(UINT, int, int) { return FALSE; }
    // FALSE: the view shows its context menu.
    virtual BOOL OnRButtonDown(UINT, int, int) { return FALSE; }
    virtual BOOL OnRButtonUp(UINT, int, int) { return FALSE; }
    virtual BOOL OnRButtonDblClk(UINT, int, int) { return FALSE; }
    virtual void OnChar(UINT, UINT, UINT) {}
    virtual void OnKeyDown(UINT, UINT, UINT) {}
    virtual void OnKeyUp(UINT, UINT, UINT) {}
    virtual void OnMouseMove(UINT flags, int x, int y);
    virtual void OnTrackRect(UINT flags, const CRect* rect);
    // Around the view's scrolling while it auto-scrolls.
    virtual void HideFeedback();
    virtual void ShowFeedback();
    virtual void OnDrawContent(CDC* dc, const floatTMatrix* matrix);
    // In the repaint: puts a drawn band back on what the repaint covered.
    virtual void DrawFeedback(CDC* dc, const floatTMatrix* matrix);
    // FALSE: the view sets its own cursor.
    virtual BOOL OnSetCursor(CWnd*, UINT, UINT) { return FALSE; }
    virtual void OnEraseBackground(CDC*) {}
    virtual void OnViewportChanged() {}
    virtual void OnDocumentChanged() {}
    // Every timer of the view but its auto-scroll timer.
    virtual void OnTimer(UINT) {}
    // The view's drag operations by default.
    virtual BOOL OnCtrlDragEnter(CWnd* sender, UINT flags, int x, int y);
    virtual BOOL OnCtrlDragLeave(CWnd* sender, UINT flags, int x, int y);
    virtual BOOL OnCtrlDragOver(CWnd* sender, UINT flags, int x, int y);
    virtual BOOL OnCtrlDrop(CWnd* sender, UINT flags, int x, int y);
    // fresh: newly installed (TRUE) or current again after a temporary mode (FALSE).
    virtual void SetView(COleSheetView* sheetView, BOOL fresh);

    // XOR-draws the band in a client DC of the view; a second call erases it.
    void DrawRubberBand();

    COleSheetView* view = nullptr;
    CPoint bandStart{0, 0};
    CPoint bandEnd{0, 0};
    // Left to derived modes: the client point of the last left press.
    CPoint pressPoint{0, 0};
    BOOL bandDrawn = FALSE;
    BOOL captured = FALSE;

protected:
    // The band's outline in dc, moved by offset (the scroll position in a paint DC).
    void DrawBandOutline(CDC* dc, CPoint offset) const;
    BOOL ViewHasCapture() const;
};
