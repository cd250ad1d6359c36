// What the control painters share, and the buttons and static controls.

#include "ControlLook.h"

#include <algorithm>
#include <vector>

namespace sdlook {

namespace {

// The static styles the controls header does not name.
constexpr DWORD SS_ENDELLIPSIS_STYLE = 0x4000;
constexpr DWORD SS_PATHELLIPSIS_STYLE = 0x8000;
constexpr DWORD SS_EDITCONTROL_STYLE = 0x2000;

constexpr int checkSize = 13; // the box of check boxes and radio buttons
constexpr int checkGap = 4;   // between the box and the text

bool isBrush(HBRUSH brush) {
    const auto v = reinterpret_cast<std::uintptr_t>(brush);
    if (v >= 1 && v <= 31) return true; // COLOR_* + 1
    return brush && GetObjectType(brush) == OBJ_BRUSH;
}

RECT deflate(RECT r, int by) {
    return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

void ownerDrawStatic(HWND hwnd, HDC dc) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = UINT(GetDlgCtrlID(hwnd));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED;
    item.hwndItem = hwnd;
    item.hDC = dc;
    item.rcItem = clientOf(hwnd);
    if (HWND parent = GetParent(hwnd))
        SendMessageA(parent, WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
}

void drawBitmap(HDC dc, HBITMAP bitmap, const RECT& r, bool centre) {
    BITMAP bm{};
    if (!bitmap || GetObjectA(bitmap, sizeof bm, &bm) != sizeof bm) return;
    HDC source = CreateCompatibleDC(dc);
    if (!source) return;
    HGDIOBJ old = SelectObject(source, bitmap);
    int x = int(r.left), y = int(r.top);
    if (centre) {
        x += (int(r.right - r.left) - int(bm.bmWidth)) / 2;
        y += (int(r.bottom - r.top) - int(bm.bmHeight)) / 2;
    }
    BitBlt(dc, x, y, int(bm.bmWidth), int(bm.bmHeight), source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

// ---- buttons

UINT textAlignment(DWORD style, UINT fallback) {
    UINT format = 0;
    switch (style & BS_CENTER) {
    case BS_LEFT:
        format |= DT_LEFT;
        break;
    case BS_RIGHT:
        format |= DT_RIGHT;
        break;
    case BS_CENTER:
        format |= DT_CENTER;
        break;
    default:
        format |= fallback;
        break;
    }
    return format;
}

// The text of a button placed in r: aligned by the BS_ bits, one line unless BS_MULTILINE.
// Returns the rectangle the text takes.
RECT buttonText(HWND hwnd, HDC dc, RECT r, UINT horizontal, bool enabled, COLORREF colour) {
    const DWORD style = styleOf(hwnd);
    const std::string text = windowText(hwnd);
    UINT format = textAlignment(style, horizontal);
    RECT box = r;
    if (style & BS_MULTILINE) {
        format |= DT_WORDBREAK;
        DrawTextA(dc, text.c_str(), int(text.size()), &box, format | DT_CALCRECT);
    } else {
        format |= DT_SINGLELINE;
        DrawTextA(dc, text.c_str(), int(text.size()), &box, format | DT_CALCRECT);
    }
    // Place the measured box in r as the flags say.
    const LONG w = box.right - box.left, h = box.bottom - box.top;
    if (format & DT_CENTER)
        box.left = r.left + (r.right - r.left - w) / 2;
    else if (format & DT_RIGHT)
        box.left = r.right - w;
    else
        box.left = r.left;
    const DWORD vertical = style & BS_VCENTER;
    if (vertical == BS_TOP)
        box.top = r.top;
    else if (vertical == BS_BOTTOM)
        box.top = r.bottom - h;
    else
        box.top = r.top + (r.bottom - r.top - h) / 2;
    box.right = box.left + w;
    box.bottom = box.top + h;
    if (!text.empty())
        stateText(dc, text, box, (format & ~(DT_CENTER | DT_RIGHT)) | DT_LEFT | DT_NOCLIP, enabled,
                  colour);
    return box;
}

void pushButton(HWND hwnd, HDC dc, DWORD kind, bool checkedLike) {
    const RECT client = clientOf(hwnd);
    const LRESULT state = SendMessageA(hwnd, BM_GETSTATE, 0, 0);
    const bool pushed = (state & BST_PUSHED) != 0;
    const bool checked = checkedLike && (state & 3) != BST_UNCHECKED;
    const bool focused = GetFocus() == hwnd;
    const bool enabled = IsWindowEnabled(hwnd);
    const bool isDefault = kind == BS_DEFPUSHBUTTON;
    controlColour(hwnd, dc, WM_CTLCOLORBTN);
    RECT r = client;
    if (isDefault || (pushed && !checkedLike)) {
        frameColor(dc, r, GetSysColor(COLOR_WINDOWFRAME));
        r = deflate(r, 1);
    }
    if (pushed && !checkedLike) {
        // The classic pressed button: a shadow frame around a flat face.
        frameColor(dc, r, GetSysColor(COLOR_3DSHADOW));
        fillSys(dc, deflate(r, 1), COLOR_3DFACE);
    } else {
        RECT face = r;
        DrawFrameControl(dc, &face, DFC_BUTTON,
                         DFCS_BUTTONPUSH | (pushed || checked ? DFCS_PUSHED : 0) |
                             ((styleOf(hwnd) & BS_FLAT) ? DFCS_FLAT : 0));
        if (checked && !pushed)
            fillChecker(dc, deflate(r, 2), GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DFACE));
    }
    RECT textArea = deflate(r, 2);
    if (pushed || checked) OffsetRect(&textArea, 1, 1);
    SetBkMode(dc, TRANSPARENT);
    buttonText(hwnd, dc, textArea, DT_CENTER, enabled, GetSysColor(COLOR_BTNTEXT));
    if (focused) {
        RECT focus = deflate(client, isDefault ? 4 : 3);
        DrawFocusRect(dc, &focus);
    }
}

void checkButton(HWND hwnd, HDC dc, DWORD kind) {
    const DWORD style = styleOf(hwnd);
    const RECT client = clientOf(hwnd);
    const LRESULT state = SendMessageA(hwnd, BM_GETSTATE, 0, 0);
    const bool enabled = IsWindowEnabled(hwnd);
    HBRUSH brush = controlColour(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, brush);
    const COLORREF textColour = GetTextColor(dc);

    const bool radio = kind == BS_RADIOBUTTON || kind == BS_AUTORADIOBUTTON;
    const bool threeState = kind == BS_3STATE || kind == BS_AUTO3STATE;
    const bool leftText = style & BS_LEFTTEXT;
    RECT box{};
    box.left = leftText ? client.right - checkSize : client.left;
    const DWORD vertical = style & BS_VCENTER;
    box.top = vertical == BS_TOP      ? client.top
              : vertical == BS_BOTTOM ? client.bottom - checkSize
                                      : client.top + (client.bottom - client.top - checkSize) / 2;
    box.right = box.left + checkSize;
    box.bottom = box.top + checkSize;
    UINT frame = radio                                            ? DFCS_BUTTONRADIO
                 : threeState && (state & 3) == BST_INDETERMINATE ? DFCS_BUTTON3STATE
                                                                  : DFCS_BUTTONCHECK;
    if ((state & 3) != BST_UNCHECKED) frame |= DFCS_CHECKED;
    if (state & BST_PUSHED) frame |= DFCS_PUSHED;
    if (!enabled) frame |= DFCS_INACTIVE;
    if (style & BS_FLAT) frame |= DFCS_FLAT;
    DrawFrameControl(dc, &box, DFC_BUTTON, frame);

    RECT textArea = client;
    if (leftText)
        textArea.right = box.left - checkGap;
    else
        textArea.left = box.right + checkGap;
    SetBkMode(dc, TRANSPARENT);
    RECT inked = buttonText(hwnd, dc, textArea, leftText ? DT_RIGHT : DT_LEFT, enabled, textColour);
    if (GetFocus() == hwnd && !windowText(hwnd).empty()) {
        RECT focus{std::max(inked.left - 1, client.left), std::max(inked.top - 1, client.top),
                   std::min(inked.right + 1, client.right),
                   std::min(inked.bottom + 1, client.bottom)};
        DrawFocusRect(dc, &focus);
    }
}

void groupBox(HWND hwnd, HDC dc) {
    const RECT client = clientOf(hwnd);
    HBRUSH brush = controlColour(hwnd, dc, WM_CTLCOLORSTATIC);
    FillRect(dc, &client, brush);
    const COLORREF textColour = GetTextColor(dc);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT frame = client;
    frame.top += tm.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    const std::string text = windowText(hwnd);
    if (text.empty()) return;
    // The caption interrupts the top edge, with a gap of the background on either side.
    RECT caption{client.left + 9, client.top, client.right - 9, client.top + tm.tmHeight};
    const DWORD align = styleOf(hwnd) & BS_CENTER;
    RECT measured = caption;
    DrawTextA(dc, text.c_str(), int(text.size()), &measured, DT_SINGLELINE | DT_CALCRECT);
    const LONG w = std::min(measured.right - measured.left, caption.right - caption.left);
    if (align == BS_CENTER)
        caption.left = client.left + (client.right - client.left - w) / 2;
    else if (align == BS_RIGHT)
        caption.left = client.right - 9 - w;
    caption.right = caption.left + w;
    RECT gap{caption.left - 2, caption.top, caption.right + 2, caption.bottom};
    FillRect(dc, &gap, brush);
    SetBkMode(dc, TRANSPARENT);
    stateText(dc, text, caption, DT_LEFT | DT_SINGLELINE, IsWindowEnabled(hwnd), textColour);
}

} // namespace

HBRUSH defaultControlColour(HDC dc, UINT message) {
    switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return GetSysColorBrush(COLOR_WINDOW);
    case WM_CTLCOLORSCROLLBAR:
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_SCROLLBAR));
        return GetSysColorBrush(COLOR_SCROLLBAR);
    default:
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_3DFACE));
        return GetSysColorBrush(COLOR_3DFACE);
    }
}

HBRUSH controlColour(HWND hwnd, HDC dc, UINT message) {
    HBRUSH fallback = defaultControlColour(dc, message);
    HWND parent = GetParent(hwnd);
    if (!parent) return fallback;
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(
        parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    return isBrush(brush) ? brush : fallback;
}

std::string windowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    std::vector<char> buffer(std::size_t(length) + 1);
    const int got = GetWindowTextA(hwnd, buffer.data(), length + 1);
    return std::string(buffer.data(), std::size_t(std::max(0, got)));
}

HFONT controlFont(HWND hwnd) {
    return reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

DWORD styleOf(HWND hwnd) {
    return DWORD(GetWindowLongA(hwnd, GWL_STYLE));
}

RECT clientOf(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
}

void stateText(HDC dc, const std::string& text, RECT r, UINT format, bool enabled,
               COLORREF colour) {
    if (enabled) {
        SetTextColor(dc, colour);
        DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
        return;
    }
    RECT etched = r;
    OffsetRect(&etched, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawTextA(dc, text.c_str(), int(text.size()), &etched, format);
    SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
}

void paintButton(HWND hwnd, HDC dc) {
    const DWORD style = styleOf(hwnd);
    const DWORD kind = style & BS_TYPEMASK;
    FontScope font(dc, controlFont(hwnd));
    switch (kind) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        if (style & BS_PUSHLIKE)
            pushButton(hwnd, dc, kind, true);
        else
            checkButton(hwnd, dc, kind);
        return;
    case BS_GROUPBOX:
        groupBox(hwnd, dc);
        return;
    case BS_OWNERDRAW:
        return;
    default:
        pushButton(hwnd, dc, kind, false);
        return;
    }
}

void paintStatic(HWND hwnd, HDC dc) {
    const DWORD style = styleOf(hwnd);
    const DWORD type = style & SS_TYPEMASK;
    RECT client = clientOf(hwnd);
    FontScope font(dc, controlFont(hwnd));
    if (type == SS_OWNERDRAW) {
        ownerDrawStatic(hwnd, dc);
        return;
    }
    HBRUSH brush = controlColour(hwnd, dc, WM_CTLCOLORSTATIC);
    switch (type) {
    case SS_BLACKRECT:
        fillSys(dc, client, COLOR_WINDOWFRAME);
        break;
    case SS_GRAYRECT:
        fillSys(dc, client, COLOR_3DSHADOW);
        break;
    case SS_WHITERECT:
        fillSys(dc, client, COLOR_3DHILIGHT);
        break;
    case SS_BLACKFRAME:
        FillRect(dc, &client, brush);
        frameColor(dc, client, GetSysColor(COLOR_WINDOWFRAME));
        break;
    case SS_GRAYFRAME:
        FillRect(dc, &client, brush);
        frameColor(dc, client, GetSysColor(COLOR_3DSHADOW));
        break;
    case SS_WHITEFRAME:
        FillRect(dc, &client, brush);
        frameColor(dc, client, GetSysColor(COLOR_3DHILIGHT));
        break;
    case SS_ETCHEDHORZ:
        FillRect(dc, &client, brush);
        DrawEdge(dc, &client, EDGE_ETCHED, BF_TOP);
        break;
    case SS_ETCHEDVERT:
        FillRect(dc, &client, brush);
        DrawEdge(dc, &client, EDGE_ETCHED, BF_LEFT);
        break;
    case SS_ETCHEDFRAME:
        FillRect(dc, &client, brush);
        DrawEdge(dc, &client, EDGE_ETCHED, BF_RECT);
        break;
    case SS_BITMAP:
        FillRect(dc, &client, brush);
        drawBitmap(dc, reinterpret_cast<HBITMAP>(SendMessageA(hwnd, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                   client, style & SS_CENTERIMAGE);
        break;
    case SS_ICON:
        FillRect(dc, &client, brush);
        if (HICON icon = reinterpret_cast<HICON>(SendMessageA(hwnd, STM_GETICON, 0, 0))) {
            int x = 0, y = 0;
            if (style & SS_CENTERIMAGE) {
                x = (client.right - GetSystemMetrics(SM_CXICON)) / 2;
                y = (client.bottom - GetSystemMetrics(SM_CYICON)) / 2;
            }
            DrawIcon(dc, x, y, icon);
        }
        break;
    default: {
        FillRect(dc, &client, brush);
        const COLORREF colour = GetTextColor(dc);
        UINT format = DT_EXPANDTABS;
        switch (type) {
        case SS_CENTER:
            format |= DT_CENTER | DT_WORDBREAK;
            break;
        case SS_RIGHT:
            format |= DT_RIGHT | DT_WORDBREAK;
            break;
        case SS_SIMPLE:
            format = DT_SINGLELINE;
            break;
        case SS_LEFTNOWORDWRAP:
            break;
        default:
            format |= DT_WORDBREAK;
            break;
        }
        if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        if (style & SS_ENDELLIPSIS_STYLE) format |= DT_END_ELLIPSIS;
        if (style & SS_PATHELLIPSIS_STYLE) format |= DT_PATH_ELLIPSIS;
        if (style & SS_EDITCONTROL_STYLE) format |= DT_EDITCONTROL;
        SetBkMode(dc, TRANSPARENT);
        stateText(dc, windowText(hwnd), client, format, IsWindowEnabled(hwnd), colour);
        break;
    }
    }
    if (style & SS_SUNKEN) DrawEdge(dc, &client, BDR_SUNKENOUTER, BF_RECT);
}

void paintToolTip(HWND hwnd, HDC dc) {
    const RECT client = clientOf(hwnd);
    FontScope font(dc, controlFont(hwnd));
    fillSys(dc, client, COLOR_INFOBK);
    frameColor(dc, client, GetSysColor(COLOR_WINDOWFRAME));
    RECT text{client.left + 3, client.top + 1, client.right - 2, client.bottom - 1};
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    const std::string s = windowText(hwnd);
    DrawTextA(dc, s.c_str(), int(s.size()), &text,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

} // namespace sdlook
