#include "ControlSupport.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace sdctl {

namespace {
bool changesPicture(const PictureChange& change, UINT msg, WPARAM wParam) {
    if (change.message != msg) return false;
    switch (change.when) {
    case Redraw::IfWParam:
        return wParam != 0;
    case Redraw::IfDragging:
        return (wParam & MK_LBUTTON) != 0;
    default:
        return true;
    }
}
} // namespace

LRESULT handleAndInvalidate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                            ControlHandler handler, std::initializer_list<PictureChange> own) {
    const LRESULT result = handler(hwnd, msg, wParam, lParam);
    bool changed = msg == WM_SETTEXT || msg == WM_ENABLE || msg == WM_SETFOCUS ||
                   msg == WM_KILLFOCUS || (msg == WM_SETFONT && LOWORD(lParam) != 0);
    for (const PictureChange& change : own)
        changed = changed || changesPicture(change, msg, wParam);
    // The handler may have destroyed the control.
    if (changed && IsWindow(hwnd)) InvalidateRect(hwnd, nullptr, FALSE);
    return result;
}

DWORD styleOf(HWND hwnd) {
    return DWORD(GetWindowLongA(hwnd, GWL_STYLE));
}

void notifyCommand(HWND hwnd, WORD code) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(WORD(GetDlgCtrlID(hwnd)), code),
                 reinterpret_cast<LPARAM>(hwnd));
}

LRESULT notifyParent(HWND hwnd, NMHDR* hdr, UINT code) {
    hdr->hwndFrom = hwnd;
    hdr->idFrom = UINT_PTR(GetDlgCtrlID(hwnd));
    hdr->code = code;
    HWND parent = GetParent(hwnd);
    if (!parent) return 0;
    return SendMessageA(parent, WM_NOTIFY, WPARAM(hdr->idFrom), reinterpret_cast<LPARAM>(hdr));
}

void notifyScroll(HWND hwnd, bool vertical, WORD code, int position) {
    HWND parent = GetParent(hwnd);
    if (!parent) return;
    SendMessageA(parent, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, WORD(position)),
                 reinterpret_cast<LPARAM>(hwnd));
}

bool pointInside(HWND hwnd, LPARAM lParam) {
    RECT client{};
    GetClientRect(hwnd, &client);
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    if (client.right <= 0 || client.bottom <= 0) return x == 0 && y == 0;
    return x >= 0 && y >= 0 && x < client.right && y < client.bottom;
}

LPARAM centreOf(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    return MAKELPARAM(WORD(client.right / 2), WORD(client.bottom / 2));
}

int compareNoCase(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        int ca = std::tolower(static_cast<unsigned char>(a[i]));
        int cb = std::tolower(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           compareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

LRESULT copyOut(const std::string& text, WPARAM size, LPARAM buffer) {
    auto* out = reinterpret_cast<char*>(buffer);
    if (!out || size == 0) return 0;
    size_t count = std::min<size_t>(text.size(), size - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return LRESULT(count);
}

std::string textArgument(LPARAM lParam) {
    auto* text = reinterpret_cast<const char*>(lParam);
    return text && reinterpret_cast<UINT_PTR>(text) >= 0x10000 ? std::string(text) : std::string();
}

std::vector<HWND> groupOf(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    std::vector<HWND> siblings;
    for (HWND c = parent ? GetWindow(parent, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT))
        siblings.push_back(c);
    auto at = std::find(siblings.begin(), siblings.end(), hwnd);
    if (at == siblings.end()) return {hwnd};
    auto first = at;
    while (first != siblings.begin() && !(styleOf(*first) & WS_GROUP))
        --first;
    auto last = at + 1;
    while (last != siblings.end() && !(styleOf(*last) & WS_GROUP))
        ++last;
    return std::vector<HWND>(first, last);
}

} // namespace sdctl
