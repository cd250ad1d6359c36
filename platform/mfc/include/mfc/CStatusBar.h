#pragma once
// The status bar: a row of panes along the bottom of its parent, each with a command id, a
// style, a width and a text. Headless layout: panes run from the left edge with a gap of
// SD_STATUS_GAP pixels, SD_STATUS_INSET pixels inside the bar's top and bottom; a
// SBPS_STRETCH pane takes the width the others leave. An indicator's width is its text's,
// SD_STATUS_CHAR_WIDTH pixels a character.

#include <vector>

#include "mfc/CControlBar.h"

constexpr UINT ID_SEPARATOR = 0;

constexpr UINT SBPS_NORMAL = 0x0000;
constexpr UINT SBPS_NOBORDERS = 0x0100;
constexpr UINT SBPS_POPOUT = 0x0200;
constexpr UINT SBPS_OWNERDRAW = 0x1000;
constexpr UINT SBPS_DISABLED = 0x04000000;
constexpr UINT SBPS_STRETCH = 0x08000000;


constexpr int SD_STATUS_HEIGHT = 20;
constexpr int SD_STATUS_GAP = 2;
constexpr int SD_STATUS_INSET = 2;
constexpr int SD_STATUS_CHAR_WIDTH = 7;

class MFC_API CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar() = default;
    ~CStatusBar() override;

    // A child along the bottom of the parent's client area, its full width (a frame lays it
    // out with its other bars).
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                        UINT nID = AFX_IDW_STATUS_BAR);
    using CWnd::Create;

    // SD_STATUS_HEIGHT high, the frame's width.
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    // Each pane with an id is put to the update handler of its id: Enable shows or hides its
    // text (SBPS_DISABLED), SetText sets it, SetCheck pops it out.
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    // One pane per id; ID_SEPARATOR panes start empty, others show the string resource of
    // their id. A separator first pane stretches. FALSE when a string is missing (its pane
    // is then empty) or nIDCount is negative.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int GetCount() const { return int(m_panes.size()); }
    // -1 when no pane has the id.
    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    // Client coordinates of the bar; an empty rectangle for a bad index.
    void GetItemRect(int nIndex, LPRECT lpRect) const;

    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const;
    // With bUpdate the pane is invalidated (painted at the next UpdateWindow).
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);

    // Each pane's frame (unless SBPS_NOBORDERS) and its text (unless disabled).
    void DoPaint(CDC* pDC) override;

protected:
    void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    struct Pane {
        UINT id = 0;
        UINT style = 0;
        int width = 0;
        CString text;
    };
    bool valid(int nIndex) const { return nIndex >= 0 && nIndex < int(m_panes.size()); }
    std::vector<Pane> m_panes;
};
