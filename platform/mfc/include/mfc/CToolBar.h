#pragma once
// A tool bar: a row of buttons showing images of one bitmap strip, and separators. A
// TOOLBAR resource (WORD version 1, image width, image height, count, then the command ids,
// 0 for a separator) names the buttons; the BITMAP resource of the same id holds their
// images side by side. A click on an enabled button sends its command (WM_COMMAND, the id)
// to the owner: the frame. The frame's update handlers set each button's state.

#include <vector>

#include "mfc/CControlBar.h"
#include "mfc/CGdiObject.h"

constexpr UINT TBBS_BUTTON = 0x0000;
constexpr UINT TBBS_SEPARATOR = 0x0001;
constexpr UINT TBBS_CHECKBOX = 0x0002;
constexpr UINT TBBS_GROUP = 0x0004;
constexpr UINT TBBS_CHECKGROUP = TBBS_GROUP | TBBS_CHECKBOX;
constexpr UINT TBBS_CHECKED = 0x0100;
constexpr UINT TBBS_PRESSED = 0x0200;
constexpr UINT TBBS_DISABLED = 0x0400;
constexpr UINT TBBS_HIDDEN = 0x0800;
constexpr UINT TBBS_INDETERMINATE = 0x1000;

// Width of a separator unless its item says otherwise.
constexpr int SD_TOOLBAR_SEPARATOR = 8;
// The control style of a flat tool bar: buttons show no edges until the pointer is over
// them (a thin raised edge) or they are down (a thin sunken one).
constexpr DWORD TBSTYLE_FLAT = 0x0800;
// Sent to a tool bar after its buttons changed: it takes the size they need, on its edge or
// in its floating window.
constexpr UINT TB_AUTOSIZE = WM_USER + 33;

class MFC_API CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                        UINT nID = AFX_IDW_TOOLBAR);
    using CWnd::Create;
    // dwCtrlStyle: TBSTYLE_FLAT or 0.
    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                          CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

    // The TOOLBAR resource and the BITMAP of the same id; FALSE when either is missing or bad.
    BOOL LoadToolBar(UINT nIDResource);
    BOOL LoadToolBar(LPCSTR lpszResourceName);
    // The image strip; FALSE when it cannot be loaded.
    BOOL LoadBitmap(UINT nIDResource);
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    // One button per id (ID_SEPARATOR makes a separator); buttons take the images in order.
    // A null array makes nIDCount empty buttons.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    // Button size and image size; the button is at least the image and 7 x 6 more.
    void SetSizes(SIZE sizeButton, SIZE sizeImage);

    int GetCount() const { return int(m_buttons.size()); }
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    // Client coordinates; empty for a bad index.
    virtual void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    // iImage is a separator's width.
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    void SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage);
    CSize GetButtonSize() const { return m_sizeButton; }
    CSize GetImageSize() const { return m_sizeImage; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // With CBRS_TOOLTIPS each button gets a tool tip: the text after the line break of its
    // command's string.
    void SetBarStyle(DWORD dwStyle) override;
    // The tool-tip window while the bar shows tips, else null.
    HWND GetToolTipWindow() const { return m_hWndTip; }
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void DoPaint(CDC* pDC) override;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnCancelMode();
    LRESULT OnAutoSize(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    void OnDestroy();
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    DECLARE_MESSAGE_MAP()

private:
    struct Button {
        UINT id = 0;
        UINT style = 0;
        int image = 0; // a separator's width
    };
    int HitTest(CPoint point) const;
    void DrawButton(CDC* pDC, int index);
    void InvalidateButton(int index);

    std::vector<Button> m_buttons;
    CSize m_sizeButton{23, 22};
    CSize m_sizeImage{16, 15};
    CBitmap m_bitmap;
    int m_tracking = -1; // the button pressed with the mouse
    int m_hot = -1;      // a flat bar's button under the pointer
    UINT m_flyBy = 0;    // the command whose prompt the status bar shows (CBRS_FLYBY)
    // With CBRS_FLYBY: the prompt of the command under the pointer in the frame's status bar,
    // the idle message once the pointer has left the buttons (looked at by a timer).
    void FlyBy(int index);
    // One tool per button of the tip window, made or dropped with CBRS_TOOLTIPS.
    void SyncToolTips();
    HWND m_hWndTip = nullptr;
    int m_tipTools = 0;
    DWORD m_ctrlStyle = 0;
};
