#pragma once
// The window layer's drawing helpers: formatted text, tabbed and grayed text, 3-D edges,
// frame controls, focus rectangles and the system colour brushes. They draw through the
// drawing layer in the classic scheme (GetSysColor) and serve controls, menus and bars alike.

#include "win32/gdifont.h"
#include "win32/user.h"
#include "win32/wingdi.h"

// ---- DrawText
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_EXPANDTABS = 0x0040;
constexpr UINT DT_TABSTOP = 0x0080;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_EXTERNALLEADING = 0x0200;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_INTERNAL = 0x1000;
constexpr UINT DT_EDITCONTROL = 0x2000;
constexpr UINT DT_PATH_ELLIPSIS = 0x4000;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr UINT DT_MODIFYSTRING = 0x10000;
constexpr UINT DT_RTLREADING = 0x20000;
constexpr UINT DT_WORD_ELLIPSIS = 0x40000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x80000;
constexpr UINT DT_HIDEPREFIX = 0x100000;
constexpr UINT DT_PREFIXONLY = 0x200000;

struct DRAWTEXTPARAMS {
    UINT cbSize;
    int iTabLength; // in average character widths
    int iLeftMargin;
    int iRightMargin;
    UINT uiLengthDrawn; // out: characters processed
};

// Returns the height of the text drawn (with DT_VCENTER or DT_BOTTOM on one line: the
// offset from the rectangle's top to the text's bottom), 0 on failure. count -1: up to NUL.
// DT_CALCRECT sizes the rectangle to the text without drawing. DT_MODIFYSTRING with an
// ellipsis writes the shortened text back (the buffer must hold count + 4 bytes).
WIN32_API int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format);
WIN32_API int DrawTextExA(HDC dc, LPSTR text, int count, LPRECT rect, UINT format,
                          DRAWTEXTPARAMS* params);

// Text with tabs expanded: no stops (or a null array) every 8 average character widths, one
// stop every that many pixels, several at those offsets from tabOrigin (beyond the last
// they repeat at its distance from the one before). Returns MAKELONG(width, height).
WIN32_API LONG TabbedTextOutA(HDC dc, int x, int y, LPCSTR text, int count, int tabCount,
                              const INT* tabs, int tabOrigin);
WIN32_API DWORD GetTabbedTextExtentA(HDC dc, LPCSTR text, int count, int tabCount, const INT* tabs);

// Grayed text: drawn into a mask (by the procedure, or the text in `data` when there is
// none), then every other ink pixel painted with the brush (the text colour when null).
using GRAYSTRINGPROC = BOOL (*)(HDC dc, LPARAM data, int count);
WIN32_API BOOL GrayStringA(HDC dc, HBRUSH brush, GRAYSTRINGPROC proc, LPARAM data, int count, int x,
                           int y, int width, int height);

// ---- DrawEdge
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = 0x0003;
constexpr UINT BDR_INNER = 0x000C;
constexpr UINT BDR_RAISED = 0x0005;
constexpr UINT BDR_SUNKEN = 0x000A;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;

constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_DIAGONAL = 0x0010;
constexpr UINT BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr UINT BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// Each edge is one pixel per border: top and left in the light colour stop short of the
// far corners, bottom and right in the dark colour run the full length.
WIN32_API BOOL DrawEdge(HDC dc, LPRECT rect, UINT edge, UINT flags);

// ---- DrawFrameControl
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFC_POPUPMENU = 5;

constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
constexpr UINT DFCS_CAPTIONMIN = 0x0001;
constexpr UINT DFCS_CAPTIONMAX = 0x0002;
constexpr UINT DFCS_CAPTIONRESTORE = 0x0003;
constexpr UINT DFCS_CAPTIONHELP = 0x0004;
constexpr UINT DFCS_MENUARROW = 0x0000;
constexpr UINT DFCS_MENUCHECK = 0x0001;
constexpr UINT DFCS_MENUBULLET = 0x0002;
constexpr UINT DFCS_MENUARROWRIGHT = 0x0004;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

WIN32_API BOOL DrawFrameControl(HDC dc, LPRECT rect, UINT type, UINT state);

// Inverts every other pixel of the rectangle's outline (drawn twice it is gone).
WIN32_API BOOL DrawFocusRect(HDC dc, const RECT* rect);

// A brush of the system colour that lives as long as the process; deleting it does nothing.
WIN32_API HBRUSH GetSysColorBrush(int index);

// ---- Icons (win32/icon.h loads them)
constexpr UINT DI_MASK = 0x0001;
constexpr UINT DI_IMAGE = 0x0002;
constexpr UINT DI_NORMAL = 0x0003;
constexpr UINT DI_COMPAT = 0x0004;
constexpr UINT DI_DEFAULTSIZE = 0x0008;
constexpr UINT DI_NOMIRROR = 0x0010;

// Draws the icon at its load size (SM_CXICON x SM_CYICON when it was loaded without one),
// top left at (x, y): where the icon is transparent the background stays.
WIN32_API BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
// Draws the icon stretched to cx x cy (0: the icon's own size, or with DI_DEFAULTSIZE the
// system's). DI_MASK ANDs the mask, DI_IMAGE puts the colour image (XORed over the mask with
// DI_NORMAL, copied alone); pixels with alpha are blended. With a brush the icon is drawn on
// a step's background filled with it first. FALSE for a handle that is no icon or a picture
// that cannot be read.
WIN32_API BOOL DrawIconEx(HDC dc, int x, int y, HICON icon, int cx, int cy, UINT step,
                          HBRUSH background, UINT flags);

// ---- LoadImage
constexpr UINT LR_DEFAULTCOLOR = 0x0000;
constexpr UINT LR_MONOCHROME = 0x0001;
constexpr UINT LR_LOADFROMFILE = 0x0010;
constexpr UINT LR_DEFAULTSIZE = 0x0040;
constexpr UINT LR_SHARED = 0x8000;

// IMAGE_BITMAP (as LoadBitmap), IMAGE_ICON (cx x cy, 0 for the resource's own size or with
// LR_DEFAULTSIZE the system's), IMAGE_CURSOR (as LoadCursor) from a resource module; a NULL
// instance with LR_SHARED gives the system's icons and cursors. Files are not read.
WIN32_API HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int cx, int cy, UINT flags);
