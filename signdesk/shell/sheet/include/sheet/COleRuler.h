#pragma once
// The rulers above and left of the sheet view: graduations in the current unit following
// the view's zoom and scrolling, a marker following the mouse, the unit menu on a right
// click, and a drag source for guide lines (WM_CTRLDRAGOVER and WM_CTRLDROP to the frame).

#include <mfc/CControlBar.h>
#include <pathkit/Point.h>

class CPen;
class COleSheetView;

class COleRuler : public CControlBar {
    DECLARE_DYNAMIC(COleRuler)
public:
    COleRuler() = default;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // 25 pixels high along the top, 30 wide along the left.
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DoPaint(CDC* pDC) override;

    BOOL IsHorizontalRuler() const { return (m_dwStyle & CBRS_ALIGN_TOP) != 0; }
    // XOR line at markerPos; toggles markerDrawn.
    void DrawMarker();
    void HideMarker() {
        if (markerDrawn) DrawMarker();
    }
    void ShowMarker() {
        if (!markerDrawn) DrawMarker();
    }
    void RulerToWorld(int x, int y, floatPoint& out) const;
    void WorldToRuler(float x, float y, POINT& out) const;

    struct TickSteps {
        int major;
        int minor;
        int perMajor;
    };
    // The graduation steps for the active view's scale.
    TickSteps ComputeTickSteps() const;
    // The steps for p pixels per graduation unit.
    static TickSteps TickStepsFor(double p);

    float rulerStep = 0.1f;
    int rulerDivisor = 10;
    int markerPos = 0;
    BOOL markerDrawn = FALSE;

protected:
    COleSheetView* ActiveView() const;
    void DrawTicks(CDC* pDC, float step, int length, CPen& first, CPen& second, float labelFactor);

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
