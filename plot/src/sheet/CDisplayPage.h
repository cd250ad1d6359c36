#pragma once
// The base of every page of the plot sheet: the media preview (control 1200) with zoom,
// scroll bars, the mouse position read-out, and mouse input handed to the job's layout.

#include <mfc/CControls.h>
#include <mfc/CPropertySheet.h>

namespace plotsheet {

// The preview: records every mouse event and tells its page (a click notification).
class CPreviewButton : public CButton {
public:
    enum { LeftDown = 0, LeftUp = 1, RightDown = 2, RightUp = 3, Move = 4 };
    CPoint point;
    int kind = Move;
    int held = 0; // a button is down
    HCURSOR cursor = nullptr;

protected:
    void OnLButtonDown(UINT flags, CPoint p);
    void OnLButtonUp(UINT flags, CPoint p);
    void OnRButtonDown(UINT flags, CPoint p);
    void OnRButtonUp(UINT flags, CPoint p);
    void OnMouseMove(UINT flags, CPoint p);
    void OnLButtonDblClk(UINT flags, CPoint p);
    DECLARE_MESSAGE_MAP()

private:
    void Tell(int kind, UINT flags, CPoint p, WORD code = 0);
};

class CDisplayPage : public CPropertyPage {
public:
    explicit CDisplayPage(UINT templateId);

    virtual int CanEditLayout() { return 1; }
    // Redraws the preview; `now` paints it at once.
    void Refresh(bool now = false);
    void UpdateScrollBars();
    void UpdateReadout();

    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;

protected:
    // The preview's picture; the base draws the job's layout.
    virtual void DrawPreview(CDC& dc);
    // A mouse event on the preview.
    virtual void OnPreviewEvent();
    virtual void OnPreviewDoubleClick() {}

    void OnPreview();
    void OnPreviewDblClk();
    void OnZoomIn();
    void OnZoomOut();
    void OnZoomReset();
    void OnDrawItem(int id, LPDRAWITEMSTRUCT item);
    void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

    CPreviewButton preview_;
    // The layout changed under the mouse: fields, preview and bars follow.
    void LayoutChanged();

private:
    void Scroll(bool horizontal, UINT code, UINT pos);
};

} // namespace plotsheet
