// The up-down control ("msctls_updown32"): a position in a range, a buddy window that can
// show it (UDS_SETBUDDYINT), UDN_DELTAPOS before every step (a nonzero answer refuses it)
// and WM_VSCROLL / WM_HSCROLL (SB_THUMBPOSITION, then SB_ENDSCROLL at the release).

#include <algorithm>
#include <cstdlib>
#include <string>

#include "ControlSupport.h"

namespace sdctl {

namespace {

struct UpDownState {
    int lower = 100; // the range as created: 100 down to 0
    int upper = 0;
    int pos = 0;
    HWND buddy = nullptr;
    int base = 10;
    std::vector<UDACCEL> accel{{0, 1}};
    bool pressed = false;
    bool pressedUp = false;
};

std::string formatPos(HWND hwnd, const UpDownState& s) {
    if (s.base == 16) {
        char text[16];
        std::snprintf(text, sizeof text, "0x%04X", unsigned(s.pos) & 0xFFFF);
        return text;
    }
    // The magnitude as unsigned: the lowest int has no positive counterpart.
    const unsigned magnitude = s.pos < 0 ? 0u - unsigned(s.pos) : unsigned(s.pos);
    const std::string digits = std::to_string(magnitude);
    const bool group = !(styleOf(hwnd) & UDS_NOTHOUSANDS);
    std::string text = s.pos < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (group && i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

void showInBuddy(HWND hwnd, const UpDownState& s) {
    if (s.buddy && (styleOf(hwnd) & UDS_SETBUDDYINT))
        SetWindowTextA(s.buddy, formatPos(hwnd, s).c_str());
}

// Reads the buddy's number; false when its text is not one inside the range.
bool readBuddy(HWND hwnd, UpDownState& s) {
    if (!s.buddy || !(styleOf(hwnd) & UDS_SETBUDDYINT)) return true;
    char text[64] = {};
    GetWindowTextA(s.buddy, text, sizeof text);
    std::string digits;
    for (const char* p = text; *p; ++p)
        if (*p != ',' && *p != ' ') digits += *p;
    if (digits.empty()) return false;
    char* end = nullptr;
    long value = std::strtol(digits.c_str(), &end, s.base == 16 ? 16 : 10);
    if (*end) return false;
    if (value < std::min(s.lower, s.upper) || value > std::max(s.lower, s.upper)) return false;
    s.pos = int(value);
    return true;
}

void clampPos(UpDownState& s) {
    s.pos = std::clamp(s.pos, std::min(s.lower, s.upper), std::max(s.lower, s.upper));
}

// One step toward the upper end (up) or the lower end.
void step(HWND hwnd, UpDownState& s, bool up) {
    readBuddy(hwnd, s);
    int direction = (s.upper >= s.lower ? 1 : -1) * (up ? 1 : -1);
    NMUPDOWN nm{};
    nm.iPos = s.pos;
    nm.iDelta = direction * int(s.accel.empty() ? 1 : s.accel.front().nInc);
    if (notifyParent(hwnd, &nm.hdr, UDN_DELTAPOS)) return;
    int low = std::min(s.lower, s.upper);
    int high = std::max(s.lower, s.upper);
    long target = long(s.pos) + nm.iDelta;
    if (target > high) target = (styleOf(hwnd) & UDS_WRAP) ? low : high;
    if (target < low) target = (styleOf(hwnd) & UDS_WRAP) ? high : low;
    s.pos = int(target);
    showInBuddy(hwnd, s);
    notifyScroll(hwnd, !(styleOf(hwnd) & UDS_HORZ), SB_THUMBPOSITION, s.pos);
}

// UDS_ALIGNRIGHT / UDS_ALIGNLEFT: the control sits against the buddy, which gives up the room.
void align(HWND hwnd, const UpDownState& s) {
    DWORD style = styleOf(hwnd);
    if (!s.buddy || !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))) return;
    HWND parent = GetParent(hwnd);
    RECT buddy{};
    RECT self{};
    GetWindowRect(s.buddy, &buddy);
    GetWindowRect(hwnd, &self);
    POINT topLeft{buddy.left, buddy.top};
    if (parent) ScreenToClient(parent, &topLeft);
    int width = int(self.right - self.left);
    int buddyWidth = std::max(0, int(buddy.right - buddy.left) - width);
    int height = int(buddy.bottom - buddy.top);
    if (style & UDS_ALIGNRIGHT) {
        MoveWindow(s.buddy, int(topLeft.x), int(topLeft.y), buddyWidth, height, TRUE);
        MoveWindow(hwnd, int(topLeft.x) + buddyWidth, int(topLeft.y), width, height, TRUE);
    } else {
        MoveWindow(hwnd, int(topLeft.x), int(topLeft.y), width, height, TRUE);
        MoveWindow(s.buddy, int(topLeft.x) + width, int(topLeft.y), buddyWidth, height, TRUE);
    }
}

HWND setBuddy(HWND hwnd, UpDownState& s, HWND buddy) {
    HWND previous = s.buddy;
    s.buddy = IsWindow(buddy) ? buddy : nullptr;
    align(hwnd, s);
    return previous;
}

} // namespace

static LRESULT upDownMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

LRESULT CALLBACK upDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, upDownMessage,
                               {{WM_LBUTTONDOWN}, {WM_LBUTTONUP}});
}

static LRESULT upDownMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        attachState<UpDownState>(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    UpDownState* s = stateOf<UpDownState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT: {
        SdLookState look;
        look.pressed = s->pressed ? (s->pressedUp ? 1 : 2) : 0;
        SdPaintControl(hwnd, look);
        return 0;
    }
    case WM_CREATE:
        // The automatic buddy is the sibling made just before this control (handles grow
        // with creation), whatever the z-order has become since.
        if (styleOf(hwnd) & UDS_AUTOBUDDY) {
            HWND before = nullptr;
            HWND parent = GetParent(hwnd);
            for (HWND c = parent ? GetWindow(parent, GW_CHILD) : nullptr; c; c = GetWindow(c, GW_HWNDNEXT))
                if (c < hwnd && (!before || c > before)) before = c;
            setBuddy(hwnd, *s, before);
        }
        return 0;
    case WM_NCDESTROY:
        detachState<UpDownState>(hwnd);
        return 0;
    case WM_LBUTTONDOWN: {
        if (!IsWindowEnabled(hwnd)) return 0;
        RECT client{};
        GetClientRect(hwnd, &client);
        bool up = (styleOf(hwnd) & UDS_HORZ) ? GET_X_LPARAM(lParam) >= client.right / 2
                                              : GET_Y_LPARAM(lParam) < client.bottom / 2;
        s->pressed = true;
        s->pressedUp = up;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        step(hwnd, *s, up);
        return 0;
    }
    case WM_LBUTTONUP:
        if (!s->pressed) return 0;
        s->pressed = false;
        if (GetCapture() == hwnd) ReleaseCapture();
        InvalidateRect(hwnd, nullptr, FALSE);
        notifyScroll(hwnd, !(styleOf(hwnd) & UDS_HORZ), SB_ENDSCROLL, s->pos);
        return 0;
    case WM_KEYDOWN:
        if (wParam == WPARAM(VK_UP) || wParam == WPARAM(VK_DOWN)) step(hwnd, *s, wParam == WPARAM(VK_UP));
        return 0;
    case UDM_SETRANGE:
        s->upper = SHORT(LOWORD(lParam));
        s->lower = SHORT(HIWORD(lParam));
        clampPos(*s);
        return 0;
    case UDM_GETRANGE:
        return LRESULT(MAKELONG(WORD(s->upper), WORD(s->lower)));
    case UDM_SETRANGE32:
        s->lower = int(wParam);
        s->upper = int(lParam);
        clampPos(*s);
        return 0;
    case UDM_GETRANGE32:
        if (wParam) *reinterpret_cast<int*>(wParam) = s->lower;
        if (lParam) *reinterpret_cast<int*>(lParam) = s->upper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        readBuddy(hwnd, *s);
        int previous = s->pos;
        s->pos = msg == UDM_SETPOS ? SHORT(LOWORD(lParam)) : int(lParam);
        clampPos(*s);
        showInBuddy(hwnd, *s);
        return msg == UDM_SETPOS ? LRESULT(SHORT(previous)) : previous;
    }
    case UDM_GETPOS: {
        bool ok = readBuddy(hwnd, *s);
        return LRESULT(MAKELONG(WORD(s->pos), WORD(ok ? 0 : 1)));
    }
    case UDM_GETPOS32: {
        bool ok = readBuddy(hwnd, *s);
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = ok ? FALSE : TRUE;
        return s->pos;
    }
    case UDM_SETBUDDY:
        return reinterpret_cast<LRESULT>(setBuddy(hwnd, *s, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(s->buddy);
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16) return 0;
        int previous = s->base;
        s->base = int(wParam);
        return previous;
    }
    case UDM_GETBASE:
        return s->base;
    case UDM_SETACCEL: {
        auto* accel = reinterpret_cast<const UDACCEL*>(lParam);
        if (!accel || wParam == 0) return FALSE;
        s->accel.assign(accel, accel + wParam);
        return TRUE;
    }
    case UDM_GETACCEL: {
        auto* out = reinterpret_cast<UDACCEL*>(lParam);
        if (out)
            for (size_t i = 0; i < s->accel.size() && i < wParam; ++i)
                out[i] = s->accel[i];
        return LRESULT(s->accel.size());
    }
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace sdctl
