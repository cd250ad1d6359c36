#pragma once
// Windows, window classes, the message queue, timers, painting, focus and capture, key
// state, message boxes and beeps. Headless: windows are objects with geometry and state,
// and nothing is ever shown on a display. One user-interface thread: window procedures are
// called on the thread that sends or dispatches to them; PostMessage may come from any thread.
//
// The non-client model (WM_NCCALCSIZE): from the outside in, a child window's frame
// (WS_THICKFRAME 4 pixels, else WS_DLGFRAME / WS_CAPTION / WS_EX_DLGMODALFRAME 3, else
// WS_BORDER 1), a child's caption (WS_CAPTION: SM_CYCAPTION, SM_CYSMCAPTION for a tool
// window), a top-level window's menu bar (SM_CYMENU), WS_EX_CLIENTEDGE 2 and WS_EX_STATICEDGE
// 1 pixels, then the window's own scroll bars (WS_HSCROLL, WS_VSCROLL) along the bottom and
// right, with the size box where both meet. The frame and caption of a top-level window
// belong to the window manager of a display: they take no room here.

#include "win32/base.h"

#ifndef CALLBACK
#define CALLBACK
#endif
#ifndef WINAPI
#define WINAPI
#endif

using ATOM = WORD;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

inline LPCSTR MAKEINTATOMA(WORD atom) {
    return reinterpret_cast<LPCSTR>(static_cast<UINT_PTR>(atom));
}
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) {
    return LPARAM(MAKELONG(lo, hi));
}
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) {
    return WPARAM(MAKELONG(lo, hi));
}
constexpr int GET_X_LPARAM(LPARAM lp) {
    return SHORT(LOWORD(DWORD_PTR(lp)));
}
constexpr int GET_Y_LPARAM(LPARAM lp) {
    return SHORT(HIWORD(DWORD_PTR(lp)));
}

// ---- user errors ----
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_TLW_WITH_WSCHILD = 1406;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr DWORD ERROR_INVALID_INDEX = 1413;
constexpr DWORD ERROR_CONTROL_ID_NOT_FOUND = 1421;
constexpr DWORD ERROR_INVALID_SHOWWIN_COMMAND = 1422;
constexpr DWORD ERROR_INVALID_MSGBOX_STYLE = 1438;
constexpr DWORD ERROR_NOT_ENOUGH_QUOTA = 1816;

// ---- messages ----
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
// WM_ACTIVATE's LOWORD(wParam)
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_QUERYOPEN = 0x0013;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_DEVMODECHANGE = 0x001B;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_TIMECHANGE = 0x001E;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_MDICREATE = 0x0220;
constexpr UINT WM_MDIDESTROY = 0x0221;
constexpr UINT WM_MDIACTIVATE = 0x0222;
constexpr UINT WM_MDIRESTORE = 0x0223;
constexpr UINT WM_MDINEXT = 0x0224;
constexpr UINT WM_MDIMAXIMIZE = 0x0225;
constexpr UINT WM_MDITILE = 0x0226;
constexpr UINT WM_MDICASCADE = 0x0227;
constexpr UINT WM_MDIICONARRANGE = 0x0228;
constexpr UINT WM_MDIGETACTIVE = 0x0229;
constexpr UINT WM_MDISETMENU = 0x0230;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_MDIREFRESHMENU = 0x0234;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_RENDERFORMAT = 0x0305;
constexpr UINT WM_RENDERALLFORMATS = 0x0306;
constexpr UINT WM_DESTROYCLIPBOARD = 0x0307;
constexpr UINT WM_DRAWCLIPBOARD = 0x0308;
constexpr UINT WM_PAINTCLIPBOARD = 0x0309;
constexpr UINT WM_VSCROLLCLIPBOARD = 0x030A;
constexpr UINT WM_SIZECLIPBOARD = 0x030B;
constexpr UINT WM_ASKCBFORMATNAME = 0x030C;
constexpr UINT WM_CHANGECBCHAIN = 0x030D;
constexpr UINT WM_HSCROLLCLIPBOARD = 0x030E;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTEISCHANGING = 0x0310;
constexpr UINT WM_PALETTECHANGED = 0x0311;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_SIZE
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
// WM_SYSCOMMAND
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_RESTORE = 0xF120;
// WM_NCHITTEST, WM_MOUSEACTIVATE
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTSYSMENU = 3;
constexpr LRESULT HTGROWBOX = 4;
constexpr LRESULT HTSIZE = HTGROWBOX;
constexpr LRESULT HTMENU = 5;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;
constexpr LRESULT HTMINBUTTON = 8;
constexpr LRESULT HTMAXBUTTON = 9;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;
constexpr LRESULT HTBORDER = 18;
constexpr LRESULT HTCLOSE = 20;
constexpr LRESULT HTHELP = 21;
constexpr LRESULT MA_ACTIVATE = 1;
constexpr LRESULT MA_NOACTIVATE = 3;
// Mouse message key flags
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// ---- window and class styles ----
constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TILED = WS_OVERLAPPED;
constexpr DWORD WS_ICONIC = WS_MINIMIZE;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_LEFT = 0x00000000;
constexpr DWORD WS_EX_RTLREADING = 0x00002000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_BYTEALIGNCLIENT = 0x1000;
constexpr UINT CS_BYTEALIGNWINDOW = 0x2000;
constexpr UINT CS_GLOBALCLASS = 0x4000;

constexpr int CW_USEDEFAULT = int(0x80000000u);

// ---- classes and windows ----
struct WNDCLASSA {
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCSTR lpszMenuName;
    LPCSTR lpszClassName;
};
using WNDCLASS = WNDCLASSA;

struct CREATESTRUCTA {
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    HMENU hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCSTR lpszName;
    LPCSTR lpszClass;
    DWORD dwExStyle;
};
using CREATESTRUCT = CREATESTRUCTA;

// A class name may be an atom (MAKEINTATOM): such values are never dereferenced.
WIN32_API ATOM RegisterClassA(const WNDCLASSA* wndClass);
WIN32_API BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
WIN32_API BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* wndClass);
WIN32_API int GetClassNameA(HWND hwnd, LPSTR className, int maxCount);

// WM_NCCREATE returning FALSE or WM_CREATE returning -1 fails creation: the result is NULL.
// A child (WS_CHILD) needs a parent; for any other window hWndParent names the owner.
// Sends WM_NCCREATE, WM_CREATE, then WM_SIZE and WM_MOVE; WS_VISIBLE shows the window,
// WS_MINIMIZE / WS_MAXIMIZE start it minimised or maximised.
WIN32_API HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                               int x, int y, int width, int height, HWND parent, HMENU menu,
                               HINSTANCE instance, LPVOID param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                          int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
    return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu,
                           instance, param);
}
// Owned windows are destroyed first. Then WM_DESTROY goes to the window before its
// children, WM_NCDESTROY to the children before the window.
WIN32_API BOOL DestroyWindow(HWND hwnd);
// Handles are ids looked up in a table; any value, stale or made up, is safe here.
WIN32_API BOOL IsWindow(HWND hwnd);
WIN32_API HWND GetDesktopWindow();

WIN32_API LRESULT DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WIN32_API LRESULT CallWindowProcA(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Indexes of Get/SetWindowLong(Ptr); non-negative indexes address the window's extra bytes.
// As on 64-bit Windows, pointer-sized values have only GWLP_ names.
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_ID = -12;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;

WIN32_API LONG_PTR GetWindowLongPtrA(HWND hwnd, int index);
WIN32_API LONG_PTR SetWindowLongPtrA(HWND hwnd, int index, LONG_PTR value);
WIN32_API LONG GetWindowLongA(HWND hwnd, int index);
WIN32_API LONG SetWindowLongA(HWND hwnd, int index, LONG value);

// GetWindow relations
constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
// GetAncestor
constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;

// GetParent: the parent of a child, the owner of a WS_POPUP window, else NULL.
WIN32_API HWND GetParent(HWND hwnd);
WIN32_API HWND SetParent(HWND child, HWND newParent);
WIN32_API HWND GetWindow(HWND hwnd, UINT relation);
WIN32_API HWND GetAncestor(HWND hwnd, UINT flags);
WIN32_API BOOL IsChild(HWND parent, HWND hwnd);
WIN32_API int GetDlgCtrlID(HWND hwnd);
WIN32_API HWND GetDlgItem(HWND dialog, int id);

WIN32_API BOOL SetWindowTextA(HWND hwnd, LPCSTR text);
WIN32_API int GetWindowTextA(HWND hwnd, LPSTR text, int maxCount);
WIN32_API int GetWindowTextLengthA(HWND hwnd);

WIN32_API BOOL EnableWindow(HWND hwnd, BOOL enable);
WIN32_API BOOL IsWindowEnabled(HWND hwnd);

// ---- geometry and show state ----
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_FORCEMINIMIZE = 11;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;

#define HWND_TOP (reinterpret_cast<HWND>(0))
#define HWND_BOTTOM (reinterpret_cast<HWND>(1))
#define HWND_TOPMOST (reinterpret_cast<HWND>(-1))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(-2))
#define HWND_BROADCAST (reinterpret_cast<HWND>(0xFFFF))

struct WINDOWPOS {
    HWND hwnd;
    HWND hwndInsertAfter;
    int x;
    int y;
    int cx;
    int cy;
    UINT flags;
};

// WM_NCCALCSIZE with wParam TRUE: rgrc[0] holds the new window rectangle (parent's client
// coordinates) and receives the client rectangle in the same coordinates.
struct NCCALCSIZE_PARAMS {
    RECT rgrc[3];
    WINDOWPOS* lppos;
};

// The window rectangle whose client area is `rect` for a window of these styles (a
// top-level window with a menu when `menu` is TRUE), by the non-client model above.
WIN32_API BOOL AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle);
WIN32_API BOOL AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu);

constexpr UINT WPF_SETMINPOSITION = 0x0001;
constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;
constexpr UINT WPF_ASYNCWINDOWPLACEMENT = 0x0004;

struct WINDOWPLACEMENT {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

// Positions are in the parent's client coordinates (screen coordinates for top-level
// windows). The screen is SD_SCREEN_WIDTH x SD_SCREEN_HEIGHT; a maximised window fills it
// (a maximised child fills its parent's client area).
constexpr int SD_SCREEN_WIDTH = 1920;
constexpr int SD_SCREEN_HEIGHT = 1080;

// SetWindowPos sends WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED; DefWindowProc turns the
// latter into WM_MOVE and WM_SIZE.
WIN32_API BOOL SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
WIN32_API BOOL MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint);
WIN32_API BOOL GetWindowRect(HWND hwnd, LPRECT rect);
WIN32_API BOOL GetClientRect(HWND hwnd, LPRECT rect);
WIN32_API BOOL ClientToScreen(HWND hwnd, LPPOINT point);
WIN32_API BOOL ScreenToClient(HWND hwnd, LPPOINT point);
// Returns whether the window was visible before.
WIN32_API BOOL ShowWindow(HWND hwnd, int cmdShow);
// Visible when the window and all its ancestors are.
WIN32_API BOOL IsWindowVisible(HWND hwnd);
WIN32_API BOOL IsIconic(HWND hwnd);
WIN32_API BOOL IsZoomed(HWND hwnd);
// showCmd reads SW_SHOWNORMAL, SW_SHOWMINIMIZED or SW_SHOWMAXIMIZED. Setting needs
// length == sizeof(WINDOWPLACEMENT); it applies the normal rectangle, then the show command.
WIN32_API BOOL GetWindowPlacement(HWND hwnd, WINDOWPLACEMENT* placement);
WIN32_API BOOL SetWindowPlacement(HWND hwnd, const WINDOWPLACEMENT* placement);

// ---- rectangles ----
WIN32_API BOOL SetRect(LPRECT rect, int left, int top, int right, int bottom);
WIN32_API BOOL SetRectEmpty(LPRECT rect);
WIN32_API BOOL IsRectEmpty(const RECT* rect);
WIN32_API BOOL EqualRect(const RECT* a, const RECT* b);
WIN32_API BOOL PtInRect(const RECT* rect, POINT point);
WIN32_API BOOL OffsetRect(LPRECT rect, int dx, int dy);
WIN32_API BOOL InflateRect(LPRECT rect, int dx, int dy);
WIN32_API BOOL IntersectRect(LPRECT dest, const RECT* a, const RECT* b);
WIN32_API BOOL UnionRect(LPRECT dest, const RECT* a, const RECT* b);
WIN32_API BOOL CopyRect(LPRECT dest, const RECT* source);

// ---- focus, capture, cursor and keys ----
WIN32_API HWND SetFocus(HWND hwnd);
WIN32_API HWND GetFocus();
// The active top-level window (a child stands for its top-level window). Activating sends
// WM_ACTIVATE (WA_INACTIVE) to the one before, WM_ACTIVATEAPP to every top-level window when
// the program becomes active or inactive, WM_ACTIVATE (WA_ACTIVE) to the new one, and gives
// the focus back to the child that had it when that window was deactivated (else to the
// window). Null deactivates the program: the focus goes too. A display calls this as its
// focus moves; hiding or destroying the active window activates its owner.
WIN32_API HWND SetActiveWindow(HWND hwnd);
WIN32_API HWND GetActiveWindow();
WIN32_API HWND SetCapture(HWND hwnd);
WIN32_API HWND GetCapture();
WIN32_API BOOL ReleaseCapture();
WIN32_API BOOL GetCursorPos(LPPOINT point);
WIN32_API BOOL SetCursorPos(int x, int y);

// The system cursors (a null instance and an IDC_ id); other cursors are not loaded
// (null). Headless the cursor shown is only remembered.
inline LPCSTR const IDC_ARROW = reinterpret_cast<LPCSTR>(ULONG_PTR(32512));
inline LPCSTR const IDC_IBEAM = reinterpret_cast<LPCSTR>(ULONG_PTR(32513));
inline LPCSTR const IDC_WAIT = reinterpret_cast<LPCSTR>(ULONG_PTR(32514));
inline LPCSTR const IDC_CROSS = reinterpret_cast<LPCSTR>(ULONG_PTR(32515));
inline LPCSTR const IDC_UPARROW = reinterpret_cast<LPCSTR>(ULONG_PTR(32516));
inline LPCSTR const IDC_SIZENWSE = reinterpret_cast<LPCSTR>(ULONG_PTR(32642));
inline LPCSTR const IDC_SIZENESW = reinterpret_cast<LPCSTR>(ULONG_PTR(32643));
inline LPCSTR const IDC_SIZEWE = reinterpret_cast<LPCSTR>(ULONG_PTR(32644));
inline LPCSTR const IDC_SIZENS = reinterpret_cast<LPCSTR>(ULONG_PTR(32645));
inline LPCSTR const IDC_SIZEALL = reinterpret_cast<LPCSTR>(ULONG_PTR(32646));
inline LPCSTR const IDC_NO = reinterpret_cast<LPCSTR>(ULONG_PTR(32648));
inline LPCSTR const IDC_HAND = reinterpret_cast<LPCSTR>(ULONG_PTR(32649));
inline LPCSTR const IDC_APPSTARTING = reinterpret_cast<LPCSTR>(ULONG_PTR(32650));
// With a module: its cursor resource (RT_GROUP_CURSOR or RT_CURSOR) of that name; the same
// handle for every load of one resource. A missing resource gives NULL
// (ERROR_RESOURCE_NAME_NOT_FOUND).
WIN32_API HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
// Returns the cursor shown before.
WIN32_API HCURSOR SetCursor(HCURSOR cursor);
WIN32_API HCURSOR GetCursor();

// ---- system colours (the classic scheme) ----
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
// 0 for an index the scheme does not have.
WIN32_API DWORD GetSysColor(int index);

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SELECT = 0x29;
constexpr int VK_PRINT = 0x2A;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_HELP = 0x2F;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_NUMPAD9 = 0x69;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;

// The thread's key state follows the keyboard and mouse-button messages taken from the
// queue; the asynchronous state is the physical one, set by the test hooks.
WIN32_API SHORT GetKeyState(int virtualKey);
WIN32_API SHORT GetAsyncKeyState(int virtualKey);
WIN32_API BOOL GetKeyboardState(BYTE* keyState);

// ---- where input goes ----
// The deepest visible, enabled window whose rectangle holds the screen point (top-level
// windows in z-order, then their children); NULL over the bare desktop.
WIN32_API HWND WindowFromPoint(POINT point);
// The child of parent (visible or not) whose rectangle holds the point in parent's client
// coordinates, else parent itself when the point lies in its client area, else NULL.
WIN32_API HWND ChildWindowFromPoint(HWND parent, POINT point);
// Two presses of one button on one window within this many milliseconds (and within
// SM_CXDOUBLECLK x SM_CYDOUBLECLK pixels) make a double click for a CS_DBLCLKS class.
WIN32_API UINT GetDoubleClickTime();

// ---- the display ----
// Whether a display exists on which a user can see windows and answer them. Headless there
// is none: every fallback that assumes nobody can answer (unscripted message boxes, modal
// dialogs and popup menus, a message loop that can receive nothing) asks here first.
WIN32_API BOOL SdDisplayActive();

// ---- message queue ----
struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// At most this many messages wait in the queue; PostMessage fails beyond it.
constexpr int SD_POSTED_MESSAGE_LIMIT = 10000;

// Synchronous call of the window procedure; 0 for an invalid window.
WIN32_API LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// hwnd NULL posts a thread message.
WIN32_API BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
WIN32_API void PostQuitMessage(int exitCode);
// Retrieval order: posted messages, then WM_QUIT, then WM_PAINT for a visible window with
// an update region, then WM_TIMER for a due timer. hwnd (HWND)-1 selects thread messages;
// WM_QUIT is returned whatever the filter.
WIN32_API BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove);
// Returns 0 for WM_QUIT, -1 for an invalid window filter or a null msg. Never blocks for
// ever: with nothing queued it sleeps (through Sleep, so a fake clock advances) until the
// next timer falls due; when no message can ever arrive (no timer, and no display that
// could deliver input), it returns 0 with a WM_QUIT message whose wParam is 0, so that every
// message loop of a headless process ends.
WIN32_API BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax);
// Posts WM_CHAR for a WM_KEYDOWN of a letter, digit, space, return, backspace, tab or escape;
// returns TRUE when it did.
WIN32_API BOOL TranslateMessage(const MSG* msg);
// WM_TIMER with a timer procedure calls it, but only for a procedure set with SetTimer.
WIN32_API LRESULT DispatchMessageA(const MSG* msg);

// ---- timers ----
constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;
// Timers fall due by GetTickCount and are delivered when the queue is read.
WIN32_API UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc);
WIN32_API BOOL KillTimer(HWND hwnd, UINT_PTR id);

// ---- painting ----
struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

// The update region is kept as the bounding rectangle of everything invalidated.
WIN32_API BOOL InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase);
WIN32_API BOOL ValidateRect(HWND hwnd, const RECT* rect);
WIN32_API BOOL GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase);
// Sends WM_PAINT at once when the window is visible and has an update region.
WIN32_API BOOL UpdateWindow(HWND hwnd);
// ps->hdc comes from the window device-context provider (win32/WindowDc.h); NULL without one.
WIN32_API HDC BeginPaint(HWND hwnd, LPPAINTSTRUCT ps);
WIN32_API BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps);
WIN32_API HDC GetDC(HWND hwnd);
WIN32_API int ReleaseDC(HWND hwnd, HDC dc);

// ---- scrolling a window's contents ----
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;

// Moves the pixels of the scroll rectangle (NULL: the client area) by dx, dy, drawing only
// inside the clip rectangle (NULL: the scroll rectangle); the pending update area moves with
// them. With SW_INVALIDATE the strip uncovered is invalidated (erased with SW_ERASE); its
// bounding rectangle goes to updateRect. SW_SCROLLCHILDREN moves the child windows too.
// Returns SIMPLEREGION (2), NULLREGION (1) when nothing was uncovered, or ERROR (0).
// updateRegion is not filled (NULL expected).
WIN32_API int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scrollRect,
                             const RECT* clipRect, HANDLE updateRegion, LPRECT updateRect,
                             UINT flags);
// ScrollWindowEx with SW_INVALIDATE | SW_ERASE; a NULL scroll rectangle moves the children.
WIN32_API BOOL ScrollWindow(HWND hwnd, int dx, int dy, const RECT* scrollRect,
                            const RECT* clipRect);

// ---- message boxes and beeps ----
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_USERICON = 0x00000080;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFBUTTON4 = 0x00000300;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_HELP = 0x00004000;
constexpr UINT MB_NOFOCUS = 0x00008000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_DEFAULT_DESKTOP_ONLY = 0x00020000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_RIGHT = 0x00080000;
constexpr UINT MB_RTLREADING = 0x00100000;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_MODEMASK = 0x00003000;
constexpr UINT MB_MISCMASK = 0x0000C000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

// Headless: answered by the next scripted answer (win32/UserTesting.h); without one, the
// caption and text go to standard error and the style's default button is the answer.
// Every box is logged. An unknown button set fails with 0.
WIN32_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
WIN32_API BOOL MessageBeep(UINT type);

// ---- ANSI names ----
inline HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) {
    return LoadCursorA(instance, name);
}
inline ATOM RegisterClass(const WNDCLASSA* c) {
    return RegisterClassA(c);
}
inline BOOL UnregisterClass(LPCSTR n, HINSTANCE i) {
    return UnregisterClassA(n, i);
}
inline BOOL GetClassInfo(HINSTANCE i, LPCSTR n, WNDCLASSA* c) {
    return GetClassInfoA(i, n, c);
}
inline int GetClassName(HWND h, LPSTR n, int c) {
    return GetClassNameA(h, n, c);
}
inline HWND CreateWindowEx(DWORD ex, LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w,
                           int h, HWND parent, HMENU menu, HINSTANCE inst, LPVOID param) {
    return CreateWindowExA(ex, cls, name, style, x, y, w, h, parent, menu, inst, param);
}
inline HWND CreateWindow(LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h,
                         HWND parent, HMENU menu, HINSTANCE inst, LPVOID param) {
    return CreateWindowExA(0, cls, name, style, x, y, w, h, parent, menu, inst, param);
}
inline LRESULT DefWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefWindowProcA(h, m, w, l);
}
inline LRESULT CallWindowProc(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) {
    return CallWindowProcA(p, h, m, w, l);
}
inline LONG_PTR GetWindowLongPtr(HWND h, int i) {
    return GetWindowLongPtrA(h, i);
}
inline LONG_PTR SetWindowLongPtr(HWND h, int i, LONG_PTR v) {
    return SetWindowLongPtrA(h, i, v);
}
inline LONG GetWindowLong(HWND h, int i) {
    return GetWindowLongA(h, i);
}
inline LONG SetWindowLong(HWND h, int i, LONG v) {
    return SetWindowLongA(h, i, v);
}
inline BOOL SetWindowText(HWND h, LPCSTR t) {
    return SetWindowTextA(h, t);
}
inline int GetWindowText(HWND h, LPSTR t, int n) {
    return GetWindowTextA(h, t, n);
}
inline int GetWindowTextLength(HWND h) {
    return GetWindowTextLengthA(h);
}
inline LRESULT SendMessage(HWND h, UINT m, WPARAM w, LPARAM l) {
    return SendMessageA(h, m, w, l);
}
inline BOOL PostMessage(HWND h, UINT m, WPARAM w, LPARAM l) {
    return PostMessageA(h, m, w, l);
}
inline BOOL PeekMessage(LPMSG m, HWND h, UINT lo, UINT hi, UINT r) {
    return PeekMessageA(m, h, lo, hi, r);
}
inline BOOL GetMessage(LPMSG m, HWND h, UINT lo, UINT hi) {
    return GetMessageA(m, h, lo, hi);
}
inline LRESULT DispatchMessage(const MSG* m) {
    return DispatchMessageA(m);
}
inline int MessageBox(HWND h, LPCSTR t, LPCSTR c, UINT s) {
    return MessageBoxA(h, t, c, s);
}
inline LPCSTR MAKEINTATOM(WORD atom) {
    return MAKEINTATOMA(atom);
}
