#pragma once
// The sheet view: shows one sheet of a COleSheetDoc, maps world millimetres (y up) to
// pixels (y down), zooms (fit page, real size, free, with a history), scrolls together with
// the frame's rulers, paints page, grid and cross-hair, and hands every input and, before
// itself, every command to its current operating mode.

#include <vector>

#include <mfc/CScrollView.h>
#include <pathkit/BBox.h>
#include <pathkit/TMatrix.h>
#include <win32/user.h>

class COleOperatingMode;
class COleRuler;
class COleSheetDoc;
class COleSheetFrame;

constexpr UINT AUTOSCROLL_TIMER = 54243;
// The most zoom states the history keeps.
constexpr int ZOOM_HISTORY_DEPTH = 24;

enum ZoomKind : int { ZOOM_FIT_PAGE = 0, ZOOM_REAL_SIZE = 1, ZOOM_FREE = 2 };

struct ZoomState {
    int kind = ZOOM_FIT_PAGE;
    float margin = 0;
    floatTMatrix matrix;
    CPoint scroll{0, 0};
};

class COleSheetView : public CScrollView {
    DECLARE_DYNCREATE(COleSheetView)
public:
    COleSheetView() = default;
    // Deletes the current mode (a temporary mode takes the one it interrupted with it).
    ~COleSheetView() override;

    COleSheetDoc* GetSheetDoc() const;
    COleSheetFrame* GetSheetFrame() const;
    COleRuler* GetRuler(bool horizontal) const;

    // ---- modes ----
    // Installs a new mode: focus to the view, the old mode's Deactivate with the new one,
    // the old mode deleted, the new one current with SetView (view, TRUE) and Activate, and
    // the frame told. The application's tool commands install their tools through here.
    void InstallMode(COleOperatingMode* newMode);
    // Starts a temporary tool of that class over the current mode, unless one is current.
    void StartTemporaryMode(CRuntimeClass* modeClass);
    // Deletes a mode once no handler of the view runs any more.
    void RetireMode(COleOperatingMode* oldMode);

    // ---- coordinates ----
    void ClientToWorld(int x, int y, floatPoint& out) const;
    void WorldToClient(float x, float y, CPoint& out) const;
    void GetWorldToClientMatrix(floatTMatrix& out) const;
    void GetClientToWorldMatrix(floatTMatrix& out) const;
    // The box's client rectangle grown by margin plus MouseSens; nothing for null.
    void InvalidateWorldRect(const floatBBox* box, BOOL erase, int margin);
    void SetCursorToWorld(const floatPoint* p);
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;

    // ---- zoom ----
    void ZoomAt(float factor, const CPoint* clientPoint);
    void ZoomToRect(const CRect* clientRect);
    void ZoomToBox(floatBBox worldBox);
    void PushZoomState();
    void PopZoomState();
    void UpdateScrollSizes();
    // Fits the matrix for fit page and real size (the scroll sizes follow when it changed).
    void RefitMatrix(CDC* pDC);
    void StartAutoScroll(UINT ms);
    void StopAutoScroll();
    void AutoScrollStep(int x, int y);
    // Pixels of a free zoom's extent may not exceed this on either axis.
    static float FreeZoomLimit();

    // ---- painting ----
    void OnDraw(CDC* pDC) override;
    virtual void DrawSheetBackground(CDC* pDC, const floatTMatrix* matrix);
    virtual void DrawContent(CDC*, const floatTMatrix*) {}
    void DrawGrid(CDC* pDC);
    // XOR in a client DC; toggles crossHairDrawn.
    void DrawCrossHair();
    void DrawDragGuide();
    // A guide line through client point p at angle a (radians) across area, in GridColor
    // with R2_NOTXORPEN.
    static void DrawGuideLine(CDC* pDC, CPoint p, double a, const CRect& area);
    // The guide line through world point p.
    void DrawWorldGuideLine(CDC* pDC, const floatPoint& p, double a, const CRect& area);
    void InvalidateGuideLine(const floatPoint& p, double angle);
    void EraseCrossHair() {
        if (crossHairOn && crossHairDrawn) DrawCrossHair();
    }
    void ShowCrossHair() {
        if (crossHairOn && !crossHairDrawn) DrawCrossHair();
    }

    // ---- drags from other controls: FALSE in the base ----
    virtual BOOL OnCtrlDragEnter(CWnd*, UINT, int, int) { return FALSE; }
    virtual BOOL OnCtrlDragLeave(CWnd*, UINT, int, int) { return FALSE; }
    virtual BOOL OnCtrlDragOver(CWnd*, UINT, int, int) { return FALSE; }
    virtual BOOL OnCtrlDrop(CWnd*, UINT, int, int) { return FALSE; }

    void OnInitialUpdate() override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT_PTR autoScrollTimer = 0;
    COleOperatingMode* mode = nullptr;
    ZoomState zoomHistory[ZOOM_HISTORY_DEPTH + 1];
    int zoomTop = -1;
    float pageMargin = 0.015625f;
    BOOL initialised = FALSE;
    int zoomKind = ZOOM_FIT_PAGE;
    BOOL crossHairDrawn = FALSE;
    CPoint crossHairPos{0, 0};
    floatTMatrix worldToDevice;
    floatTMatrix printMatrix;
    HCURSOR cursor = ::LoadCursorA(nullptr, IDC_ARROW);
    BOOL printFitToPage = TRUE;
    BOOL crossHairOn = FALSE;
    double crossHairAngle = 0;
    BOOL autoScrollOn = TRUE;
    BOOL guideLinesShown = TRUE;
    BOOL guideLinesLocked = FALSE;
    BOOL dragGuideDrawn = FALSE;
    // Set while OnPrepareDC runs.
    BOOL preparingDC = FALSE;
    double dragGuideAngle = 0;
    floatPoint dragGuidePoint{0, 0};

    // Sheet views that had their first update; the first reads the settings.
    static inline int initialisedViews = 0;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void SetFitPageMatrix();
    void SetRealSizeMatrix(CDC* pDC);
    // A free zoom to the client rectangle r (floats) with margin; pushes the state.
    void ZoomToClientBox(float left, float top, float right, float bottom, float margin);
    // The push already made is dropped when the zoom is refused; FALSE then.
    BOOL CheckFreeZoom(float scaleX, float scaleY, const floatBBox& extent, int kindBefore);
    // Scrolls the ruler of one axis by the change of the scroll position.
    void ScrollRuler(bool horizontal, int amount);
    CPoint CursorClientPoint() const;
    BOOL GuideDragAllowed(CWnd* sender) const;
    void SnapDragGuide(int x, int y);

    void OnDestroy();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDblClk(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    LRESULT OnViewportChangedMessage(WPARAM, LPARAM);
    LRESULT OnDocChangedMessage(WPARAM, LPARAM);
    LRESULT OnCtrlDragEnterMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDragLeaveMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDragOverMessage(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDropMessage(WPARAM wParam, LPARAM lParam);

    void OnZoomTool();
    void OnUpdateZoomTool(CCmdUI* pCmdUI);
    void OnPanTool();
    void OnUpdatePanTool(CCmdUI* pCmdUI);
    void OnCrossHairAngle();
    void OnUpdateCrossHairAngle(CCmdUI* pCmdUI);
    void OnCrossHair();
    void OnUpdateCrossHair(CCmdUI* pCmdUI);
    void OnCrossHairReset();
    void OnZoomBack();
    void OnUpdateZoomBack(CCmdUI* pCmdUI);
    void OnFitPage();
    void OnUpdateFitPage(CCmdUI* pCmdUI);
    void OnRealSize();
    void OnUpdateRealSize(CCmdUI* pCmdUI);
    void OnSmallerPage();
    void OnUpdateSmallerPage(CCmdUI* pCmdUI);
    void OnSheetSettings();
    void OnGrid();
    void OnUpdateGrid(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    void FlushRetiredModes();
    void ScrollAlong(bool horizontal, UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    std::vector<COleOperatingMode*> retired_;
    int handlerDepth_ = 0;
};
