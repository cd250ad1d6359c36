#pragma once
// Framework object around a window handle.
//
// Handle map: a window made or subclassed by a CWnd is in the permanent map until it is
// destroyed or detached; FromHandle wraps any other window in a temporary CWnd, deleted
// when the thread is idle (never while a window procedure of the framework runs, nor while
// AfxLockTempMaps holds the maps).
//
// Messages reach WindowProc through AfxWndProc; OnWndMsg looks them up in the message map,
// and what the map does not handle goes to DefWindowProc: the procedure the window had
// before the framework subclassed it (or DefWindowProcA).

#include "mfc/CCmdTarget.h"
#include "mfc/CRect.h"
#include "mfc/CString.h"
#include "win32/controls.h"

class CDC;
class CFrameWnd;
class CMenu;
class CScrollBar;

class MFC_API CWnd : public CCmdTarget {
    DECLARE_DYNCREATE(CWnd)
public:
    CWnd() = default;
    // Destroys a window the object still owns.
    ~CWnd() override;

    // Null-safe: a null CWnd* gives a null handle (sanitizer builds still report the call).
    HWND GetSafeHwnd() const;
    operator HWND() const { return GetSafeHwnd(); }

    // ---- handle map ----
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd);
    // Puts this object in the permanent map for hWnd without subclassing; FALSE when the
    // handle is not a window or already has a permanent object.
    BOOL Attach(HWND hWndNew);
    HWND Detach();

    // ---- creation and destruction ----
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // The object is attached before WM_NCCREATE when the class's procedure is AfxWndProc,
    // otherwise (controls of the system classes) subclassed right after creation.
    virtual BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName,
                          DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                          HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                        const RECT& rect, CWnd* pParentWnd, UINT nID, void* pContext = nullptr);
    virtual BOOL DestroyWindow();
    // Called after WM_NCDESTROY, when the object has let go of its handle.
    virtual void PostNcDestroy();

    // ---- subclassing ----
    // The window's procedure becomes AfxWndProc; the old one gets what the map leaves.
    BOOL SubclassWindow(HWND hWnd);
    BOOL SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // ---- message processing ----
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // DefWindowProc with the message being handled.
    LRESULT Default();
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A notification from this window, handed back by its parent: the map's reflected
    // entries (ON_CONTROL_REFLECT...) see it first.
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Hands a child's notification to the child's object; FALSE when it has none or the
    // child does not handle it.
    static BOOL ReflectLastMsg(HWND hWndChild, LRESULT* pResult = nullptr);
    BOOL SendChildNotifyLastMsg(LRESULT* pResult = nullptr);

    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // PreTranslateMessage of the message's window and its ancestors up to hWndStop.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);
    // The message being handled by the innermost window procedure of the framework.
    static const MSG* GetCurrentMessage();

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // Children first level, then (bDeep) their descendants, in z-order; bOnlyPerm sends only
    // to windows with a permanent object, through its WindowProc.
    void SendMessageToDescendants(UINT message, WPARAM wParam = 0, LPARAM lParam = 0,
                                  BOOL bDeep = TRUE, BOOL bOnlyPerm = FALSE);

    // ---- children and relations ----
    CWnd* GetDlgItem(int nID) const;
    void GetDlgItem(int nID, HWND* phWnd) const;
    int GetDlgCtrlID() const;
    int SetDlgCtrlID(int nID);
    CWnd* GetParent() const;
    CWnd* GetOwner() const;
    CWnd* GetTopLevelParent() const;
    // The nearest ancestor that is a CFrameWnd, or null.
    CFrameWnd* GetParentFrame() const;
    // The outermost CFrameWnd among the window and its ancestors, or null.
    CFrameWnd* GetTopLevelFrame() const;
    CWnd* GetWindow(UINT nCmd) const;
    BOOL IsChild(const CWnd* pWnd) const;

    // ---- text, state and style ----
    void SetWindowText(LPCSTR lpszString);
    int GetWindowText(LPSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(CString& rString) const;
    int GetWindowTextLength() const;
    void SetDlgItemText(int nID, LPCSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const;
    BOOL ShowWindow(int nCmdShow);
    BOOL IsWindowVisible() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    BOOL ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    // WM_DROPFILES comes to the window (WS_EX_ACCEPTFILES).
    void DragAcceptFiles(BOOL bAccept = TRUE);

    // ---- geometry and painting ----
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    // Centres on the parent (the owner for a popup), else on the screen.
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    void UpdateWindow();
    void ScrollWindow(int xAmount, int yAmount, LPCRECT lpRect = nullptr, LPCRECT lpClipRect = nullptr);
    int ScrollWindowEx(int dx, int dy, LPCRECT lpRectScroll, LPCRECT lpRectClip, LPRECT lpRectUpdate,
                       UINT flags);

    // ---- the window's own scroll bars ----
    int SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    int GetScrollPos(int nBar) const;
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);
    void ShowScrollBar(UINT nBar, BOOL bShow = TRUE);

    // Puts each child control with an id to pTarget's update handler for that id (a CCmdUI
    // on the control); without a handler and with bDisableIfNoHndler, a control whose
    // command has no handler either is disabled.
    void UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);

    // ---- focus, capture, timers ----
    CWnd* SetFocus();
    static CWnd* GetFocus();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer = nullptr);
    BOOL KillTimer(UINT_PTR nIDEvent);

    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);

    HWND m_hWnd = nullptr;

protected:
    // ---- default handlers: each does what the window would do without the framework ----
    int OnCreate(CREATESTRUCT* lpCreateStruct);
    void OnDestroy();
    void OnNcDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnMove(int x, int y);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnRButtonDblClk(UINT nFlags, CPoint point);
    void OnMButtonDown(UINT nFlags, CPoint point);
    void OnMButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    UINT OnGetDlgCode();
    void OnCaptureChanged(CWnd* pWnd);
    void OnCancelMode();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    void OnEnable(BOOL bEnable);
    // Owner-draw requests go to the control's own object first (its DrawItem...).
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    // Scroll messages from a control go back to the control's object first.
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);

    WNDPROC m_pfnSuper = nullptr;

    friend LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The window procedure of every window the framework handles.
MFC_API LRESULT AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
MFC_API LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);
// Registers (once per style set) a window class with AfxWndProc; returns its name.
MFC_API LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr,
                                   HBRUSH hbrBackground = nullptr, HICON hIcon = nullptr);
// The scroll bar (or slider) of a scroll message: its permanent object when it is a
// CScrollBar, else a temporary CScrollBar; null for a window's own scroll bars.
MFC_API CScrollBar* AfxScrollBarFromHandle(HWND hWnd);
// Temporary objects are kept while the maps are locked.
MFC_API void AfxLockTempMaps();
// Returns TRUE when this unlock deleted the temporary objects.
MFC_API BOOL AfxUnlockTempMaps(BOOL bDeleteTemps = TRUE);

// ---- window messages ----
#define ON_WM_CREATE()                                                                             \
    {WM_CREATE, 0, 0, 0,                                                                           \
     AFX_THUNK(return self->OnCreate(reinterpret_cast<CREATESTRUCT*>(c.lParam));)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AFX_THUNK(self->OnDestroy(); return 0;)},
#define ON_WM_NCDESTROY() {WM_NCDESTROY, 0, 0, 0, AFX_THUNK(self->OnNcDestroy(); return 0;)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AFX_THUNK(self->OnClose(); return 0;)},
#define ON_WM_SIZE()                                                                               \
    {WM_SIZE, 0, 0, 0,                                                                             \
     AFX_THUNK(self->OnSize(UINT(c.wParam), LOWORD(DWORD(c.lParam)), HIWORD(DWORD(c.lParam)));     \
               return 0;)},
#define ON_WM_MOVE()                                                                               \
    {WM_MOVE, 0, 0, 0,                                                                             \
     AFX_THUNK(self->OnMove(GET_X_LPARAM(c.lParam), GET_Y_LPARAM(c.lParam)); return 0;)},
#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AFX_THUNK(self->OnPaint(); return 0;)},
#define ON_WM_ERASEBKGND()                                                                         \
    {WM_ERASEBKGND, 0, 0, 0,                                                                       \
     AFX_THUNK(return self->OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(c.wParam)));)},
#define ON_WM_SHOWWINDOW()                                                                         \
    {WM_SHOWWINDOW, 0, 0, 0,                                                                       \
     AFX_THUNK(self->OnShowWindow(BOOL(c.wParam), UINT(c.lParam)); return 0;)},
// void OnDropFiles(HDROP hDropInfo); the handler includes win32/shellapi.h.
#define ON_WM_DROPFILES()                                                                          \
    {WM_DROPFILES, 0, 0, 0,                                                                        \
     AFX_THUNK(self->OnDropFiles(reinterpret_cast<HDROP>(c.wParam)); return 0;)},
#define ON_WM_TIMER()                                                                              \
    {WM_TIMER, 0, 0, 0, AFX_THUNK(self->OnTimer(UINT_PTR(c.wParam)); return 0;)},
#define ON_WM_SETFOCUS()                                                                           \
    {WM_SETFOCUS, 0, 0, 0,                                                                         \
     AFX_THUNK(self->OnSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam))); return 0;)},
#define ON_WM_KILLFOCUS()                                                                          \
    {WM_KILLFOCUS, 0, 0, 0,                                                                        \
     AFX_THUNK(self->OnKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam))); return 0;)},
#define AFX_MOUSE_ENTRY(msg, fn)                                                                   \
    {msg, 0, 0, 0,                                                                                 \
     AFX_THUNK(self->fn(UINT(c.wParam), CPoint(GET_X_LPARAM(c.lParam), GET_Y_LPARAM(c.lParam)));   \
               return 0;)},
#define ON_WM_LBUTTONDOWN() AFX_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MOUSE_ENTRY(WM_RBUTTONDOWN, OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_MOUSE_ENTRY(WM_RBUTTONDBLCLK, OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_MOUSE_ENTRY(WM_MBUTTONDOWN, OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_MOUSE_ENTRY(WM_MBUTTONUP, OnMButtonUp)
#define ON_WM_MOUSEMOVE() AFX_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSEWHEEL()                                                                         \
    {WM_MOUSEWHEEL, 0, 0, 0,                                                                       \
     AFX_THUNK(return self->OnMouseWheel(LOWORD(DWORD(c.wParam)),                                  \
                                         short(HIWORD(DWORD(c.wParam))),                           \
                                         CPoint(GET_X_LPARAM(c.lParam), GET_Y_LPARAM(c.lParam)));)},
#define AFX_KEY_ENTRY(msg, fn)                                                                     \
    {msg, 0, 0, 0,                                                                                 \
     AFX_THUNK(self->fn(UINT(c.wParam), LOWORD(DWORD(c.lParam)), HIWORD(DWORD(c.lParam)));         \
               return 0;)},
#define ON_WM_KEYDOWN() AFX_KEY_ENTRY(WM_KEYDOWN, OnKeyDown)
#define ON_WM_KEYUP() AFX_KEY_ENTRY(WM_KEYUP, OnKeyUp)
#define ON_WM_CHAR() AFX_KEY_ENTRY(WM_CHAR, OnChar)
#define ON_WM_SYSKEYDOWN() AFX_KEY_ENTRY(WM_SYSKEYDOWN, OnSysKeyDown)
#define ON_WM_SETCURSOR()                                                                          \
    {WM_SETCURSOR, 0, 0, 0,                                                                        \
     AFX_THUNK(return self->OnSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)),        \
                                        LOWORD(DWORD(c.lParam)), HIWORD(DWORD(c.lParam)));)},
#define ON_WM_CONTEXTMENU()                                                                        \
    {WM_CONTEXTMENU, 0, 0, 0,                                                                      \
     AFX_THUNK(self->OnContextMenu(CWnd::FromHandle(reinterpret_cast<HWND>(c.wParam)),             \
                                   CPoint(GET_X_LPARAM(c.lParam), GET_Y_LPARAM(c.lParam)));        \
               return 0;)},
#define ON_WM_GETDLGCODE() {WM_GETDLGCODE, 0, 0, 0, AFX_THUNK(return self->OnGetDlgCode();)},
#define ON_WM_CAPTURECHANGED()                                                                     \
    {WM_CAPTURECHANGED, 0, 0, 0,                                                                   \
     AFX_THUNK(self->OnCaptureChanged(CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam)));         \
               return 0;)},
#define ON_WM_CANCELMODE() {WM_CANCELMODE, 0, 0, 0, AFX_THUNK(self->OnCancelMode(); return 0;)},
#define ON_WM_SYSCOMMAND()                                                                         \
    {WM_SYSCOMMAND, 0, 0, 0, AFX_THUNK(self->OnSysCommand(UINT(c.wParam), c.lParam); return 0;)},
#define ON_WM_ACTIVATE()                                                                           \
    {WM_ACTIVATE, 0, 0, 0,                                                                         \
     AFX_THUNK(self->OnActivate(LOWORD(DWORD(c.wParam)),                                           \
                                CWnd::FromHandle(reinterpret_cast<HWND>(c.lParam)),                \
                                HIWORD(DWORD(c.wParam)) != 0);                                     \
               return 0;)},
#define ON_WM_ENABLE() {WM_ENABLE, 0, 0, 0, AFX_THUNK(self->OnEnable(BOOL(c.wParam)); return 0;)},
#define AFX_SCROLL_ENTRY(msg, fn)                                                                  \
    {msg, 0, 0, 0,                                                                                 \
     AFX_THUNK(self->fn(LOWORD(DWORD(c.wParam)), HIWORD(DWORD(c.wParam)),                          \
                        AfxScrollBarFromHandle(reinterpret_cast<HWND>(c.lParam)));                 \
               return 0;)},
#define ON_WM_DRAWITEM()                                                                           \
    {WM_DRAWITEM, 0, 0, 0,                                                                         \
     AFX_THUNK(self->OnDrawItem(int(c.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));      \
               return TRUE;)},
#define ON_WM_MEASUREITEM()                                                                        \
    {WM_MEASUREITEM, 0, 0, 0,                                                                      \
     AFX_THUNK(self->OnMeasureItem(int(c.wParam),                                                  \
                                   reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));               \
               return TRUE;)},
#define ON_WM_HSCROLL() AFX_SCROLL_ENTRY(WM_HSCROLL, OnHScroll)
#define ON_WM_VSCROLL() AFX_SCROLL_ENTRY(WM_VSCROLL, OnVScroll)
#define ON_WM_INITMENUPOPUP()                                                                      \
    {WM_INITMENUPOPUP, 0, 0, 0,                                                                    \
     AFX_THUNK(self->OnInitMenuPopup(CMenu::FromHandle(reinterpret_cast<HMENU>(c.wParam)),         \
                                     LOWORD(DWORD(c.lParam)), HIWORD(DWORD(c.lParam)) != 0);       \
               return 0;)},
