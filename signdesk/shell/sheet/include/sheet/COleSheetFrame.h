#pragma once
// The framework main frame under the application's: the framework tool bar, the status bar
// with the mouse position and the unit, the two rulers, the current unit and its menu, the
// routing of control drags to the drop target under the cursor, the window placement and
// the out-of-memory question. It is the busy indicator and the status-bar frame of the
// shell's prompts and progress bars.

#include <vector>

#include <mfc/CFrameWnd.h>
#include <mfc/CGdiObject.h>
#include <mfc/CStatusBar.h>
#include <mfc/CToolBar.h>

#include "sheet/COleRuler.h"
#include "shell/BusyIndicator.h"
#include "shell/CStatusBarProgress.h"

class CMenu;

class COleSheetFrame : public CFrameWnd, public BusyIndicator, public StatusBarFrame {
    DECLARE_DYNCREATE(COleSheetFrame)
public:
    COleSheetFrame() = default;
    ~COleSheetFrame() override;

    // Loads the tool bar's images and buttons (2005, or 2006 with a large tool bar).
    virtual BOOL CreateFrameToolBar();
    // Six panes (message, position, unit, CAPS, NUM, SCRL), or four without the extended bar.
    void SetupStatusBar() override;
    virtual BOOL HasLargeToolBar() { return FALSE; }
    // Menu 2000 whose first submenu lists the units ("Units.cfg" ones when loaded), the
    // current one checked.
    virtual BOOL BuildUnitsMenu(CMenu* out);
    virtual void OnModeChanged() {}

    BOOL CreateRulers();
    // Docks bar right of leftOf, on the side of bar's own alignment.
    void DockBarLeftOf(CControlBar* bar, CControlBar* leftOf);
    void SetStatusPrompt(UINT stringId);
    CFont* GetBarFont();
    void SetUnit(int unit);
    // Only with the extended status bar.
    void ShowPosition(float x, float y);
    void AddDropTarget(CWnd* wnd);
    void RemoveDropTarget(CWnd* wnd);
    void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState) override;

    // ---- BusyIndicator ----
    void StartBusyIndicator() override;
    void ShowBusyPrompt() override;
    void StepBusyIndicator() override;
    void EndBusyIndicator() override;
    // ---- StatusBarFrame ----
    CStatusBar* GetStatusBar() override { return &statusBar; }
    BOOL GetExtendedStatusBar() const override { return extendedStatusBar; }
    void SetExtendedStatusBar(BOOL extended) override { extendedStatusBar = extended; }

    BOOL extendedStatusBar = TRUE;
    UINT activeState = 0;
    BYTE rulersBeforePreview = 0;
    std::vector<CWnd*> dropTargets;
    CWnd* currentTarget = nullptr;
    CFont barFont;
    CToolBar toolBar;
    CStatusBar statusBar;
    COleRuler verticalRuler;
    COleRuler horizontalRuler;

    static inline int framesCreated = 0;

protected:
    int OnCreate(CREATESTRUCT* lpCreateStruct);
    void OnDestroy();
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    LRESULT OnAllocFailure(WPARAM wParam, LPARAM lParam);
    // wParam: key flags; lParam: the source's window handle. The application's frame may
    // change the source before it calls these.
    LRESULT OnCtrlDragOver(WPARAM wParam, LPARAM lParam);
    LRESULT OnCtrlDrop(WPARAM wParam, LPARAM lParam);
    void OnUnitCommand(UINT nID);
    void OnUpdateUnit(CCmdUI* pCmdUI);
    BOOL OnVerticalRulerCheck(UINT nID);
    // The registered window under the cursor, the last registered first; null when none.
    CWnd* DropTargetUnderCursor() const;
    DECLARE_MESSAGE_MAP()
};
