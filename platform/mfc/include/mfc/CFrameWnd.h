#pragma once
// The frame: a top-level window with a menu, accelerators, a title, control bars along its
// edges and a view filling the rest (the pane, AFX_IDW_PANE_FIRST).
//
// Layout (RecalcLayout): the bars are placed in the order they joined the frame, each taking
// what it asks for (CalcFixedLayout) from the side of its alignment of the space left; bars
// docked into one row (DockControlBar with a rectangle on a row) share that row left to
// right. The pane gets the rest.
//
// Commands: the active view (and through it its document) first, then the frame's own map,
// then the application. Menus are updated through the same route when they open
// (WM_INITMENUPOPUP), and control bars while the application is idle.

#include <vector>

#include "mfc/CControlBar.h"
#include "mfc/CCreateContext.h"
#include "mfc/CString.h"
#include "win32/accelerator.h"

class CDocument;
class CMenu;
class CView;

// Frame styles.
constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
constexpr DWORD FWS_PREFIXTITLE = 0x00004000;

// What the frame keeps while print preview stands in for its view.
struct CPrintPreviewState {
    HMENU hMenu = nullptr;
    UINT nIDMainPane = AFX_IDW_PANE_FIRST;
    std::vector<CControlBar*> hiddenBars;
    CView* pViewActiveOld = nullptr;
};

class MFC_API CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const CRect rectDefault;

    CFrameWnd() = default;
    ~CFrameWnd() override;

    BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName,
                DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* pParentWnd = nullptr, LPCSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);
    // Title from the first text of string nIDResource, menu and accelerators of that id
    // (each optional); the context's view is made as the pane. FALSE when the window
    // cannot be made.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);

    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame() { return this; }
    // Makes the view of the context's class as the child with that id.
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);

    // ---- bars ----
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    int GetControlBarCount() const { return int(m_listControlBars.size()); }
    CControlBar* GetControlBarAt(int nIndex) const;
    // The bar with that control id, or null.
    CControlBar* GetControlBar(UINT nID);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // The sides bars may be docked on.
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }
    // Docks the bar on the side of nDockBarID (AFX_IDW_DOCKBAR_TOP ...; 0: its own
    // alignment). A rectangle (screen coordinates) that meets a row of that side puts the
    // bar into that row where the rectangle's leading edge is; otherwise it gets a row of
    // its own after the others.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    // Takes the bar off its edge into a small captioned window whose client area has its
    // top-left corner at point (screen); dwStyle's CBRS_ALIGN_ bits choose the orientation.
    // A floating bar is moved and sized again. DockControlBar puts it back on an edge.
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = CBRS_ALIGN_TOP);
    // Profile sections "<name>-Summary" (Bars=count) and "<name>-Bar<i>" (BarID, Visible,
    // DockSide: the CBRS_ALIGN_ bit of its side) in the application's profile.
    void SaveBarState(LPCSTR lpszProfileName) const;
    // Bars not found and values that make no sense are passed over.
    void LoadBarState(LPCSTR lpszProfileName);

    // ---- the rest ----
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
    BOOL InPreviewMode() const { return m_pPreviewState != nullptr; }
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void SetMessageText(LPCSTR lpszText);
    void SetMessageText(UINT nID);
    virtual void ActivateFrame(int nCmdShow = -1);
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);
    const CString& GetTitle() const { return m_strTitle; }
    void SetTitle(LPCSTR lpszTitle) { m_strTitle = lpszTitle; }

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void PostNcDestroy() override;

    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;
    BOOL m_bAutoMenuEnable = TRUE;
    UINT m_nIDHelp = 0;
    CPrintPreviewState* m_pPreviewState = nullptr;

protected:
    virtual BOOL OnCreateClient(CREATESTRUCT* lpcs, CCreateContext* pContext);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    int OnCreate(CREATESTRUCT* lpCreateStruct);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    void OnSetFocus(CWnd* pOldWnd);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    // Show or hide the bar of the command's id.
    BOOL OnBarCheck(UINT nID);
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    // CAPS, NUM and SCRL panes follow the toggle state of their keys.
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

    CString m_strTitle;
    DWORD m_dwDockStyle = 0;

private:
    struct BarPlace {
        CControlBar* bar;
        int row; // bars with the same row share a line; 0 for a bar of its own
    };
    std::vector<BarPlace> m_listControlBars;
    int m_nextRow = 1;
    CView* m_pViewActive = nullptr;
    CCreateContext* m_pCreating = nullptr;
    bool m_inLayout = false;
    friend class CControlBar;
};

// Dock side of an AFX_IDW_DOCKBAR_ id (0 for another id).
MFC_API DWORD AfxDockSideOf(UINT nDockBarID);
