// List boxes and combo boxes: items from the top index, the selection in the highlight
// colours, the focus rectangle on the caret item, owner-drawn items through WM_DRAWITEM;
// the combo box's field (its edit child or the selected item) beside the drop button.

#include <algorithm>
#include <vector>

#include "ControlLook.h"

namespace sdlook {

namespace {

std::string itemText(HWND hwnd, UINT lengthMessage, UINT textMessage, int index) {
    const LRESULT length = SendMessageA(hwnd, lengthMessage, WPARAM(index), 0);
    if (length <= 0) return {};
    // Bad lengths from a subclassed control are not trusted beyond a line's worth.
    std::vector<char> buffer(std::size_t(std::min<LRESULT>(length, 1 << 20)) + 1);
    if (length > LRESULT(buffer.size() - 1)) return {};
    SendMessageA(hwnd, textMessage, WPARAM(index), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.back() = 0;
    return buffer.data();
}

void ownerDrawItem(HWND hwnd, HDC dc, UINT type, int index, const RECT& r, UINT state,
                   ULONG_PTR data) {
    DRAWITEMSTRUCT item{};
    item.CtlType = type;
    item.CtlID = UINT(GetDlgCtrlID(hwnd));
    item.itemID = UINT(index);
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = state;
    item.hwndItem = hwnd;
    item.hDC = dc;
    item.rcItem = r;
    item.itemData = data;
    if (HWND parent = GetParent(hwnd))
        SendMessageA(parent, WM_DRAWITEM, WPARAM(item.CtlID), reinterpret_cast<LPARAM>(&item));
}

// One item of text: highlighted when selected, grey when the control is disabled.
void textItem(HDC dc, const std::string& text, const RECT& r, bool selected, bool enabled,
              COLORREF colour, bool tabs) {
    if (selected) fillSys(dc, r, COLOR_HIGHLIGHT);
    SetTextColor(dc, !enabled   ? GetSysColor(COLOR_GRAYTEXT)
                     : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                : colour);
    RECT textRect{r.left + 2, r.top, r.right, r.bottom};
    DrawTextA(dc, text.c_str(), int(text.size()), &textRect,
              DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (tabs ? DT_EXPANDTABS : 0));
}

} // namespace

void paintListBox(HWND hwnd, HDC dc) {
    const DWORD style = styleOf(hwnd);
    const RECT client = clientOf(hwnd);
    const bool enabled = IsWindowEnabled(hwnd);
    FontScope font(dc, controlFont(hwnd));
    HBRUSH brush = controlColour(hwnd, dc, WM_CTLCOLORLISTBOX);
    FillRect(dc, &client, brush);
    const COLORREF colour = GetTextColor(dc);
    SetBkMode(dc, TRANSPARENT);
    IntersectClipRect(dc, int(client.left), int(client.top), int(client.right), int(client.bottom));

    const int count = int(SendMessageA(hwnd, LB_GETCOUNT, 0, 0));
    const int top = std::max(0, int(SendMessageA(hwnd, LB_GETTOPINDEX, 0, 0)));
    const int height = std::max(1, int(SendMessageA(hwnd, LB_GETITEMHEIGHT, 0, 0)));
    const int caret = int(SendMessageA(hwnd, LB_GETCARETINDEX, 0, 0));
    const bool focused = GetFocus() == hwnd;
    const bool ownerDrawn = style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE);
    // Multi-column lists fill columns top to bottom, each a quarter of the width wide.
    const bool columns = style & LBS_MULTICOLUMN;
    const int rowsPerColumn = std::max(1, int(client.bottom - client.top) / height);
    const int columnWidth =
        columns ? std::max(1, int(client.right - client.left) / 4) : int(client.right);
    for (int i = top; i < count; ++i) {
        const int slot = i - top;
        RECT r{};
        if (columns) {
            const int column = slot / rowsPerColumn, row = slot % rowsPerColumn;
            r = RECT{client.left + column * columnWidth, client.top + row * height,
                     client.left + (column + 1) * columnWidth, client.top + (row + 1) * height};
            if (r.left >= client.right) break;
        } else {
            r = RECT{client.left, client.top + slot * height, client.right,
                     client.top + (slot + 1) * height};
            if (r.top >= client.bottom) break;
        }
        const bool selected = SendMessageA(hwnd, LB_GETSEL, WPARAM(i), 0) > 0;
        if (ownerDrawn) {
            const UINT state = (selected ? ODS_SELECTED : 0) |
                               (focused && i == caret ? ODS_FOCUS : 0) |
                               (enabled ? 0 : ODS_DISABLED);
            ownerDrawItem(hwnd, dc, ODT_LISTBOX, i, r, state,
                          ULONG_PTR(SendMessageA(hwnd, LB_GETITEMDATA, WPARAM(i), 0)));
            continue;
        }
        textItem(dc, itemText(hwnd, LB_GETTEXTLEN, LB_GETTEXT, i), r, selected, enabled, colour,
                 style & LBS_USETABSTOPS);
        if (focused && i == caret) DrawFocusRect(dc, &r);
    }
    if (focused && count == 0) {
        RECT r{client.left, client.top, client.right, client.top + height};
        DrawFocusRect(dc, &r);
    }
}

void paintComboBox(HWND hwnd, HDC dc) {
    const DWORD style = styleOf(hwnd);
    const DWORD kind = style & 3;
    const RECT client = clientOf(hwnd);
    const bool enabled = IsWindowEnabled(hwnd);
    FontScope font(dc, controlFont(hwnd));
    HBRUSH brush = controlColour(hwnd, dc, WM_CTLCOLOREDIT);
    const COLORREF colour = GetTextColor(dc);
    if (kind == CBS_SIMPLE) {
        FillRect(dc, &client, brush);
        return;
    }
    // A sunken field the whole width, the drop button inside its right end.
    RECT field = client;
    DrawEdge(dc, &field, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const int button = std::min<int>(GetSystemMetrics(SM_CXVSCROLL), int(field.right - field.left));
    RECT arrow{field.right - button, field.top, field.right, field.bottom};
    RECT inside{field.left, field.top, arrow.left, field.bottom};
    FillRect(dc, &inside, brush);
    const bool dropped = SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
    DrawFrameControl(dc, &arrow, DFC_SCROLL,
                     DFCS_SCROLLCOMBOBOX | (dropped ? DFCS_PUSHED | DFCS_FLAT : 0) |
                         (enabled ? 0 : DFCS_INACTIVE));
    if (kind != CBS_DROPDOWNLIST) return; // the edit child shows the text
    const int index = int(SendMessageA(hwnd, CB_GETCURSEL, 0, 0));
    const bool focused = GetFocus() == hwnd;
    RECT item{inside.left + 1, inside.top + 1, inside.right - 1, inside.bottom - 1};
    SetBkMode(dc, TRANSPARENT);
    if (style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE))
        return; // drawn by the owner-draw path
    const std::string text =
        index >= 0 ? itemText(hwnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, index) : std::string();
    textItem(dc, text, item, focused && !dropped, enabled, colour, false);
    if (focused && !dropped) DrawFocusRect(dc, &item);
}

} // namespace sdlook
