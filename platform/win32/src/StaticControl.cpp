// The "Static" class: a text or an image; SS_NOTIFY makes clicks reach the parent.

#include "ControlSupport.h"
#include "win32/icon.h"
#include "win32/nls.h"

namespace sdctl {

namespace {

struct StaticState {
    HANDLE image = nullptr;
    HFONT font = nullptr;
};

} // namespace

static LRESULT staticMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK staticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, staticMessage,
                               {{STM_SETIMAGE}, {STM_SETICON}});
}

static LRESULT staticMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        attachState<StaticState>(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    StaticState* s = stateOf<StaticState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_CREATE: {
        // An icon static's text names its icon in the creating module; the control takes the
        // icon's size unless it centres the picture.
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        const DWORD style = styleOf(hwnd);
        if ((style & SS_TYPEMASK) == SS_ICON && create && create->lpszName && create->lpszName[0]) {
            s->image = LoadIconA(create->hInstance, create->lpszName);
            if (s->image && !(style & SS_CENTERIMAGE))
                SetWindowPos(hwnd, nullptr, 0, 0, GetSystemMetrics(SM_CXICON),
                             GetSystemMetrics(SM_CYICON),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_NCDESTROY:
        detachState<StaticState>(hwnd);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_LBUTTONDOWN:
        if (styleOf(hwnd) & SS_NOTIFY) notifyCommand(hwnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (styleOf(hwnd) & SS_NOTIFY) notifyCommand(hwnd, STN_DBLCLK);
        return 0;
    case STM_SETIMAGE:
    case STM_SETICON: {
        HANDLE previous = s->image;
        s->image = reinterpret_cast<HANDLE>(msg == STM_SETICON ? LPARAM(wParam) : lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return reinterpret_cast<LRESULT>(previous);
    }
    case STM_GETIMAGE:
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(s->image);
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

// A tool tip shows its text; a new text repaints it.
LRESULT CALLBACK toolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
        InvalidateRect(hwnd, nullptr, TRUE);
        return result;
    }
    case WM_SETFONT:
        SetWindowLongPtrA(hwnd, 0, LONG_PTR(wParam));
        return 0;
    case WM_GETFONT:
        return LRESULT(GetWindowLongPtrA(hwnd, 0));
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
