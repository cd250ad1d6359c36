#pragma once
// Dialog templates and the dialog manager. Templates are the in-memory layouts of the
// original (DLGTEMPLATE or DLGTEMPLATEEX, each followed by its items, strings in UTF-16);
// resource modules hold the same bytes under RT_DIALOG, and one reader serves both.
//
// Dialog units: the layer has no font metrics, so every dialog has the base units
// SD_DIALOG_BASE_X x SD_DIALOG_BASE_Y pixels whatever its font: x pixels = x units * 6 / 4,
// y pixels = y units * 13 / 8, rounded to the nearest.

#include "win32/controls.h"
#include "win32/resource.h"

using INT_PTR = std::intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

constexpr int SD_DIALOG_BASE_X = 6;
constexpr int SD_DIALOG_BASE_Y = 13;

// ---- dialog styles ----
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SYSMODAL = 0x0002;
constexpr DWORD DS_LOCALEDIT = 0x0020;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_NOIDLEMSG = 0x0100;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD DS_NOFAILCREATE = 0x0010;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD DS_CENTERMOUSE = 0x1000;
constexpr DWORD DS_CONTEXTHELP = 0x2000;
constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// ---- dialog messages and extra bytes ----
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr UINT DM_REPOSITION = WM_USER + 2;
constexpr WORD DC_HASDEFID = 0x534B;

constexpr int DWLP_MSGRESULT = 0;
constexpr int DWLP_DLGPROC = DWLP_MSGRESULT + int(sizeof(LRESULT));
constexpr int DWLP_USER = DWLP_DLGPROC + int(sizeof(DLGPROC));
constexpr int DLGWINDOWEXTRA = DWLP_USER + int(sizeof(LONG_PTR));

// The dialog class, as an atom.
#define WC_DIALOG MAKEINTATOMA(0x8002)

// ---- templates (packed on 2 bytes, as laid out in memory) ----
#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
using LPCDLGTEMPLATEA = const DLGTEMPLATE*;
using LPCDLGTEMPLATE = LPCDLGTEMPLATEA;


// A template that cannot be read (an item or a string past the end of a resource, an
// unknown control class) fails creation with ERROR_INVALID_DATA.

// ---- the dialog manager ----
// Controls are made in template order, which is their z-order and tab order. The dialog
// procedure gets WM_INITDIALOG (wParam: the first control with WS_TABSTOP); when it returns
// TRUE, that control takes the focus. A dialog with WS_VISIBLE is shown afterwards.
WIN32_API HWND CreateDialogIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate,
                                          HWND parent, DLGPROC dialogProc, LPARAM initParam);
// The template is the RT_DIALOG resource `templateName` of `instance` (NULL: the current
// resource module).
WIN32_API HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                                  DLGPROC dialogProc, LPARAM initParam);
// Modal: the owner is disabled while the dialog runs, and enabled again afterwards. Headless,
// a registered dialog script (win32/DialogTesting.h) drives the dialog after WM_INITDIALOG;
// then messages are pumped until EndDialog. Without a script the dialog ends at once with
// IDCANCEL, which is logged to standard error and counted. -1 when the dialog cannot be made.
WIN32_API INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, LPCDLGTEMPLATEA dialogTemplate,
                                          HWND parent, DLGPROC dialogProc, LPARAM initParam);
WIN32_API INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND parent,
                                  DLGPROC dialogProc, LPARAM initParam);
// Ends a modal dialog with `result` once its procedure returns; hides a modeless one.
WIN32_API BOOL EndDialog(HWND dialog, INT_PTR result);
// The dialog class's window procedure: the dialog procedure first, then the defaults
// (WM_CLOSE as IDCANCEL, DM_GETDEFID / DM_SETDEFID, WM_NEXTDLGCTL, focus kept per dialog).
WIN32_API LRESULT DefDlgProcA(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
// The caption a template names, in the ANSI code page, into `text` (cut to fit `maxCount`,
// terminated); its length, or 0 for none or a template that does not fit `size` bytes
// (SIZE_MAX / 2 for an in-memory template of unknown size).
WIN32_API int SdGetDialogTemplateCaption(const void* dialogTemplate, size_t size, LPSTR text,
                                         int maxCount);
// Keyboard interface: Tab / Shift+Tab through WS_TABSTOP controls, arrows within a group
// (an automatic radio button is clicked as it takes the focus), Enter for the focused push
// button or else the default one (DM_GETDEFID, IDOK without one), Escape for IDCANCEL.
// Other messages of the dialog and its controls are dispatched. FALSE for other windows.
WIN32_API BOOL IsDialogMessageA(HWND dialog, LPMSG msg);

WIN32_API HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
WIN32_API HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
WIN32_API BOOL MapDialogRect(HWND dialog, LPRECT rect);

WIN32_API BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
WIN32_API UINT GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount);
// Decimal, after leading blanks, with trailing blanks allowed; anything else, or a value out
// of range, sets *translated to FALSE and returns 0.
WIN32_API UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
WIN32_API BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
WIN32_API BOOL CheckDlgButton(HWND dialog, int id, UINT check);
WIN32_API UINT IsDlgButtonChecked(HWND dialog, int id);
WIN32_API BOOL CheckRadioButton(HWND dialog, int firstId, int lastId, int checkId);
WIN32_API LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT msg, WPARAM wParam, LPARAM lParam);

// ---- ANSI names ----
inline HWND CreateDialogIndirectParam(HINSTANCE i, LPCDLGTEMPLATEA t, HWND p, DLGPROC d, LPARAM l) {
    return CreateDialogIndirectParamA(i, t, p, d, l);
}
inline HWND CreateDialogParam(HINSTANCE i, LPCSTR t, HWND p, DLGPROC d, LPARAM l) {
    return CreateDialogParamA(i, t, p, d, l);
}
inline HWND CreateDialog(HINSTANCE i, LPCSTR t, HWND p, DLGPROC d) {
    return CreateDialogParamA(i, t, p, d, 0);
}
inline INT_PTR DialogBoxIndirectParam(HINSTANCE i, LPCDLGTEMPLATEA t, HWND p, DLGPROC d, LPARAM l) {
    return DialogBoxIndirectParamA(i, t, p, d, l);
}
inline INT_PTR DialogBoxParam(HINSTANCE i, LPCSTR t, HWND p, DLGPROC d, LPARAM l) {
    return DialogBoxParamA(i, t, p, d, l);
}
inline INT_PTR DialogBox(HINSTANCE i, LPCSTR t, HWND p, DLGPROC d) {
    return DialogBoxParamA(i, t, p, d, 0);
}
inline LRESULT DefDlgProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefDlgProcA(h, m, w, l);
}
inline BOOL IsDialogMessage(HWND h, LPMSG m) {
    return IsDialogMessageA(h, m);
}
inline BOOL SetDlgItemText(HWND h, int id, LPCSTR t) {
    return SetDlgItemTextA(h, id, t);
}
inline UINT GetDlgItemText(HWND h, int id, LPSTR t, int n) {
    return GetDlgItemTextA(h, id, t, n);
}
inline LRESULT SendDlgItemMessage(HWND h, int id, UINT m, WPARAM w, LPARAM l) {
    return SendDlgItemMessageA(h, id, m, w, l);
}
