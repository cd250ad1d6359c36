#pragma once
// Control bars: child windows of a frame along one of its edges (tool bars, the status bar,
// rulers). The frame lays them out (CFrameWnd::RecalcLayout) from the size each asks for
// (CalcFixedLayout) and the edge of its alignment style; while the application is idle it
// asks each visible bar to update its items from the frame's update handlers
// (WM_IDLEUPDATECMDUI, OnUpdateCmdUI). A bar paints its face in the 3-D face colour, the
// borders its style names, then its contents (DoPaint).

#include "mfc/CWnd.h"
#include "mfc/FrameworkIds.h"

// Bar styles (the low word of the bar style; the window gets the high word).
constexpr DWORD CBRS_NOALIGN = 0x00000000;
constexpr DWORD CBRS_FLOATING = 0x0001;
constexpr DWORD CBRS_SIZE_FIXED = 0x0002;
constexpr DWORD CBRS_SIZE_DYNAMIC = 0x0004;
constexpr DWORD CBRS_HIDE_INPLACE = 0x0008;
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_FLOAT_MULTI = 0x0040;
constexpr DWORD CBRS_BORDER_3D = 0x0080;
constexpr DWORD CBRS_BORDER_LEFT = 0x0100;
constexpr DWORD CBRS_BORDER_TOP = 0x0200;
constexpr DWORD CBRS_BORDER_RIGHT = 0x0400;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_BORDER_ANY = 0x0F00;
constexpr DWORD CBRS_ALIGN_LEFT = 0x1000;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_ALIGN_RIGHT = 0x4000;
constexpr DWORD CBRS_ALIGN_BOTTOM = 0x8000;
constexpr DWORD CBRS_ALIGN_ANY = 0xF000;
constexpr DWORD CBRS_ALL = 0xFFFF;
constexpr DWORD CBRS_ORIENT_HORZ = CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
constexpr DWORD CBRS_ORIENT_VERT = CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT;
constexpr DWORD CBRS_LEFT = CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_RIGHT = CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT;
constexpr DWORD CBRS_BOTTOM = CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP;

class CFrameWnd;
class CMiniFrameWnd;

class MFC_API CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar() = default;
    ~CControlBar() override;

    // The size the bar wants: its thickness across its edge and its length along it; 32767
    // along the edge stretches it over the frame's whole side.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    // Sets the items' states through pTarget's update handlers.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler);
    // Paints the contents; the face and borders are painted before.
    virtual void DoPaint(CDC* pDC);

    DWORD GetBarStyle() const { return m_dwStyle; }
    virtual void SetBarStyle(DWORD dwStyle);
    // The edges the frame may dock the bar on (CBRS_ALIGN_ bits).
    void EnableDocking(DWORD dwDockStyle) { m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY; }
    DWORD GetDockStyle() const { return m_dwDockStyle; }
    CFrameWnd* GetDockingFrame() const { return m_pDockSite; }
    BOOL IsVisible() const;
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }
    // In a small window of its own (CFrameWnd::FloatControlBar) rather than on a frame edge.
    BOOL IsFloating() const { return m_pFloatFrame != nullptr; }

    DWORD m_dwStyle = 0;
    DWORD m_dwDockStyle = 0;
    CFrameWnd* m_pDockSite = nullptr;
    CMiniFrameWnd* m_pFloatFrame = nullptr;
    // Space between the bar's edges and its contents.
    int m_cxLeftBorder = 2;
    int m_cxRightBorder = 2;
    int m_cyTopBorder = 2;
    int m_cyBottomBorder = 2;

protected:
    // Creates the child window with the bar style's window part; the bar joins the parent
    // frame's list of bars.
    BOOL CreateBar(LPCSTR lpszClassName, DWORD dwStyle, CWnd* pParentWnd, UINT nID,
                   DWORD dwExStyle = 0);
    // The borders the style names, inside rect (which shrinks by them).
    void DrawBorders(CDC* pDC, CRect& rect);
    // What the bar's own map does not take, from its buttons and its controls (a field's
    // EN_KILLFOCUS too), goes on to the frame it is docked in.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    int OnCreate(CREATESTRUCT* lpCreateStruct);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
