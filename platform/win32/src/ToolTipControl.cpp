// The "tooltips_class32" class: tools, the mouse's messages relayed to it, and the popup shown
// after the initial delay. Its timers run on GetTickCount, so tests drive them with the fake
// clock; while a tool is under the mouse a short timer watches the cursor, as the mouse's
// leaving a window sends that window nothing.

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "ControlSupport.h"
#include "WindowTable.h"
#include "win32/nls.h"
#include "win32/resource.h"

namespace sdctl {

namespace {

constexpr UINT_PTR kShowTimer = 1;  // the initial or reshow delay ran out
constexpr UINT_PTR kWatchTimer = 2; // is the cursor still on the tool?
constexpr UINT_PTR kPopTimer = 3;   // the automatic pop delay ran out
constexpr UINT kWatchEvery = 100;

struct Tool {
    UINT flags = 0;
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    RECT rect{};
    HINSTANCE hinst = nullptr;
    LPSTR textArg = nullptr; // LPSTR_TEXTCALLBACKA, a string id with hinst, or null
    std::string text;
    LPARAM lParam = 0;
    // The window whose client area the tool covers.
    HWND window() const { return (flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(id) : hwnd; }
};

struct TipState {
    std::vector<Tool> tools;
    HFONT font = nullptr;
    bool active = true;
    int current = -1; // the tool under the mouse, shown or pending
    bool shown = false;
    bool clicked = false; // a click hid the tip: not again until the mouse leaves the tool
    DWORD lastHidden = 0; // when a shown tip last hid (for the reshow delay)
    bool everHidden = false;
    UINT initial = 0, reshow = 0, autopop = 0; // 0: from the automatic delay
    UINT automatic = 500;
};

// The windows whose mouse messages go to tips by themselves (TTF_SUBCLASS): window to tips.
std::map<HWND, std::vector<HWND>>& relayed() {
    static auto* map = new std::map<HWND, std::vector<HWND>>;
    return *map;
}

UINT initialDelay(const TipState& s) {
    return s.initial ? s.initial : s.automatic;
}
UINT reshowDelay(const TipState& s) {
    return s.reshow ? s.reshow : std::max(1u, s.automatic / 5);
}
UINT autopopDelay(const TipState& s) {
    return s.autopop ? s.autopop : s.automatic * 10;
}

bool isTextArgument(LPSTR text) {
    return text && text != LPSTR_TEXTCALLBACKA && !IS_INTRESOURCE(text);
}

int findTool(const TipState& s, HWND hwnd, UINT_PTR id) {
    for (size_t i = 0; i < s.tools.size(); ++i)
        if (s.tools[i].hwnd == hwnd && s.tools[i].id == id) return int(i);
    return -1;
}

void setText(Tool& tool, const TOOLINFOA& info) {
    tool.hinst = info.hinst;
    tool.textArg = isTextArgument(info.lpszText) ? nullptr : info.lpszText;
    tool.text = isTextArgument(info.lpszText) ? std::string(info.lpszText) : std::string();
}

void fillInfo(const Tool& tool, TOOLINFOA& info) {
    info.uFlags = tool.flags;
    info.hwnd = tool.hwnd;
    info.uId = tool.id;
    info.rect = tool.rect;
    info.hinst = tool.hinst;
    info.lParam = tool.lParam;
}

// The tool's text now: its own, a string resource, or what its window answers.
std::string toolText(HWND tip, const Tool& tool) {
    if (tool.textArg == LPSTR_TEXTCALLBACKA) {
        NMTTDISPINFOA info{};
        info.hdr = NMHDR{tip, tool.id, TTN_GETDISPINFOA};
        info.uFlags = tool.flags;
        info.lParam = tool.lParam;
        SendMessageA(tool.hwnd, WM_NOTIFY, WPARAM(tool.id), reinterpret_cast<LPARAM>(&info));
        info.szText[sizeof info.szText - 1] = 0;
        if (info.lpszText && IS_INTRESOURCE(info.lpszText) && info.hinst) {
            char buffer[1024] = {};
            LoadStringA(info.hinst, UINT(reinterpret_cast<UINT_PTR>(info.lpszText)), buffer,
                        int(sizeof buffer));
            return buffer;
        }
        if (info.lpszText && !IS_INTRESOURCE(info.lpszText)) return info.lpszText;
        return info.szText;
    }
    if (tool.textArg && IS_INTRESOURCE(tool.textArg)) {
        char buffer[1024] = {};
        LoadStringA(tool.hinst, UINT(reinterpret_cast<UINT_PTR>(tool.textArg)), buffer,
                    int(sizeof buffer));
        return buffer;
    }
    return tool.text;
}

void notifyTool(HWND tip, const Tool& tool, UINT code) {
    NMHDR hdr{tip, tool.id, code};
    SendMessageA(tool.hwnd, WM_NOTIFY, WPARAM(tool.id), reinterpret_cast<LPARAM>(&hdr));
}

// The tool under a screen point, or -1.
int toolAt(const TipState& s, POINT screen) {
    for (size_t i = 0; i < s.tools.size(); ++i) {
        const Tool& t = s.tools[i];
        HWND w = t.window();
        if (!IsWindow(w) || !IsWindowVisible(w)) continue;
        POINT p = screen;
        ScreenToClient(w, &p);
        RECT area = t.rect;
        if (t.flags & TTF_IDISHWND) GetClientRect(w, &area);
        if (p.x >= area.left && p.x < area.right && p.y >= area.top && p.y < area.bottom)
            return int(i);
    }
    return -1;
}

void hide(HWND tip, TipState& s) {
    KillTimer(tip, kShowTimer);
    KillTimer(tip, kPopTimer);
    if (!s.shown) return;
    s.shown = false;
    s.lastHidden = GetTickCount();
    s.everHidden = true;
    ShowWindow(tip, SW_HIDE);
    if (s.current >= 0 && s.current < int(s.tools.size()))
        notifyTool(tip, s.tools[size_t(s.current)], TTN_POP);
}

// No tool under the mouse any more.
void leave(HWND tip, TipState& s) {
    hide(tip, s);
    KillTimer(tip, kWatchTimer);
    s.current = -1;
    s.clicked = false;
}

void show(HWND tip, TipState& s) {
    if (s.current < 0 || s.current >= int(s.tools.size()) || !s.active) return;
    const Tool tool = s.tools[size_t(s.current)];
    const std::string text = toolText(tip, tool);
    // The answer may have changed the tools.
    if (s.current < 0 || s.current >= int(s.tools.size())) return;
    if (text.empty()) return; // nothing to show
    SetWindowTextA(tip, text.c_str());
    SIZE size{LONG(text.size() * 6 + 6), 17};
    if (const SdLookPainters* look = SdLookPaintersInstalled(); look && look->toolTipSize)
        size = look->toolTipSize(tip);
    POINT at{};
    GetCursorPos(&at);
    at.y += 20; // below the arrow cursor's point
    const int screenCx = GetSystemMetrics(SM_CXSCREEN), screenCy = GetSystemMetrics(SM_CYSCREEN);
    at.x = std::clamp<LONG>(at.x, 0, std::max<LONG>(0, screenCx - size.cx));
    at.y = std::clamp<LONG>(at.y, 0, std::max<LONG>(0, screenCy - size.cy));
    s.shown = true;
    SetWindowPos(tip, HWND_TOPMOST, int(at.x), int(at.y), int(size.cx), int(size.cy),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    notifyTool(tip, tool, TTN_SHOW);
    SetTimer(tip, kPopTimer, autopopDelay(s), nullptr);
}

// A mouse message over one of the tools' windows.
void relay(HWND tip, TipState& s, const MSG& msg) {
    if (!s.active) return;
    POINT screen{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ClientToScreen(msg.hwnd, &screen);
    if (msg.message != WM_MOUSEMOVE) {
        // Any press or release hides the tip until the mouse leaves the tool.
        if (msg.message >= WM_LBUTTONDOWN && msg.message <= WM_MOUSELAST) {
            hide(tip, s);
            if (s.current >= 0) s.clicked = true;
        }
        return;
    }
    const int under = toolAt(s, screen);
    if (under == s.current) return;
    const bool wasShown = s.shown;
    leave(tip, s);
    if (under < 0) return;
    s.current = under;
    const bool recently =
        wasShown || (s.everHidden && GetTickCount() - s.lastHidden < reshowDelay(s));
    SetTimer(tip, kShowTimer, recently ? reshowDelay(s) : initialDelay(s), nullptr);
    SetTimer(tip, kWatchTimer, kWatchEvery, nullptr);
}

void removeRelay(HWND tip, HWND window) {
    sduser::UserLock lock = sduser::lockUser();
    auto it = relayed().find(window);
    if (it == relayed().end()) return;
    std::erase(it->second, tip);
    if (it->second.empty()) relayed().erase(it);
}

LRESULT toolTipMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        attachState<TipState>(hwnd);
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    TipState* s = stateOf<TipState>(hwnd);
    if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
    auto* info = reinterpret_cast<TOOLINFOA*>(lParam);
    switch (msg) {
    case WM_NCDESTROY: {
        for (const Tool& t : s->tools)
            if (t.flags & TTF_SUBCLASS) removeRelay(hwnd, t.window());
        detachState<TipState>(hwnd);
        return 0;
    }
    case WM_PAINT:
        SdPaintControl(hwnd, SdLookState{});
        return 0;
    case WM_SETFONT:
        s->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s->font);
    case WM_NCHITTEST:
        return HTTRANSPARENT; // the mouse goes through to what lies below
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_TIMER:
        switch (wParam) {
        case kShowTimer:
            KillTimer(hwnd, kShowTimer);
            if (!s->clicked) show(hwnd, *s);
            break;
        case kPopTimer:
            hide(hwnd, *s);
            break;
        case kWatchTimer: {
            POINT at{};
            GetCursorPos(&at);
            if (toolAt(*s, at) != s->current) leave(hwnd, *s);
            break;
        }
        }
        return 0;
    case TTM_ACTIVATE:
        s->active = wParam != 0;
        if (!s->active) leave(hwnd, *s);
        return 0;
    case TTM_SETDELAYTIME: {
        const int ms = int(SHORT(LOWORD(lParam)));
        const UINT value = ms < 0 ? 0 : UINT(ms);
        switch (wParam) {
        case TTDT_AUTOMATIC:
            s->automatic = ms < 0 ? 500 : value;
            s->initial = s->reshow = s->autopop = 0;
            break;
        case TTDT_INITIAL:
            s->initial = value;
            break;
        case TTDT_RESHOW:
            s->reshow = value;
            break;
        case TTDT_AUTOPOP:
            s->autopop = value;
            break;
        }
        return 0;
    }
    case TTM_GETDELAYTIME:
        switch (wParam) {
        case TTDT_RESHOW:
            return reshowDelay(*s);
        case TTDT_AUTOPOP:
            return autopopDelay(*s);
        default:
            return initialDelay(*s);
        }
    case TTM_ADDTOOLA: {
        if (!info || info->cbSize < offsetof(TOOLINFOA, lParam)) return FALSE;
        Tool tool;
        tool.flags = info->uFlags;
        tool.hwnd = info->hwnd;
        tool.id = info->uId;
        tool.rect = info->rect;
        tool.lParam = info->cbSize >= offsetof(TOOLINFOA, lpReserved) ? info->lParam : 0;
        setText(tool, *info);
        if (!IsWindow(tool.window())) return FALSE;
        const int existing = findTool(*s, tool.hwnd, tool.id);
        if (existing >= 0) {
            s->tools[size_t(existing)] = tool;
        } else {
            s->tools.push_back(tool);
        }
        if (tool.flags & TTF_SUBCLASS) {
            sduser::UserLock lock = sduser::lockUser();
            std::vector<HWND>& tips = relayed()[tool.window()];
            if (std::find(tips.begin(), tips.end(), hwnd) == tips.end()) tips.push_back(hwnd);
        }
        return TRUE;
    }
    case TTM_DELTOOLA: {
        const int i = info ? findTool(*s, info->hwnd, info->uId) : -1;
        if (i < 0) return 0;
        if (i == s->current) leave(hwnd, *s);
        const Tool gone = s->tools[size_t(i)];
        s->tools.erase(s->tools.begin() + i);
        if (s->current > i) --s->current;
        if ((gone.flags & TTF_SUBCLASS) &&
            std::none_of(s->tools.begin(), s->tools.end(), [&](const Tool& t) {
                return (t.flags & TTF_SUBCLASS) && t.window() == gone.window();
            }))
            removeRelay(hwnd, gone.window());
        return 0;
    }
    case TTM_NEWTOOLRECTA: {
        const int i = info ? findTool(*s, info->hwnd, info->uId) : -1;
        if (i >= 0) s->tools[size_t(i)].rect = info->rect;
        return 0;
    }
    case TTM_UPDATETIPTEXTA: {
        const int i = info ? findTool(*s, info->hwnd, info->uId) : -1;
        if (i < 0) return 0;
        setText(s->tools[size_t(i)], *info);
        if (s->shown && i == s->current) show(hwnd, *s); // shown again with the new text
        return 0;
    }
    case TTM_GETTOOLINFOA:
    case TTM_SETTOOLINFOA: {
        const int i = info ? findTool(*s, info->hwnd, info->uId) : -1;
        if (i < 0) return FALSE;
        Tool& tool = s->tools[size_t(i)];
        if (msg == TTM_GETTOOLINFOA) {
            fillInfo(tool, *info);
            // A text of its own is not handed out here (TTM_GETTEXT copies it).
            if (tool.textArg) info->lpszText = tool.textArg;
            return TRUE;
        }
        tool.flags = info->uFlags;
        tool.rect = info->rect;
        tool.lParam = info->lParam;
        setText(tool, *info);
        return TRUE;
    }
    case TTM_GETTEXTA: {
        const int i = info ? findTool(*s, info->hwnd, info->uId) : -1;
        if (!info || !info->lpszText) return 0;
        // The buffer is taken to hold 80 characters, as the message's callers size it.
        const std::string text = i >= 0 ? toolText(hwnd, s->tools[size_t(i)]) : std::string();
        copyOut(text, wParam ? wParam : 80, reinterpret_cast<LPARAM>(info->lpszText));
        return LRESULT(text.size());
    }
    case TTM_HITTESTA: {
        auto* hit = reinterpret_cast<TTHITTESTINFOA*>(lParam);
        if (!hit || !IsWindow(hit->hwnd)) return FALSE;
        POINT screen = hit->pt;
        ClientToScreen(hit->hwnd, &screen);
        const int i = toolAt(*s, screen);
        if (i < 0 || s->tools[size_t(i)].window() != hit->hwnd) return FALSE;
        fillInfo(s->tools[size_t(i)], hit->ti);
        return TRUE;
    }
    case TTM_GETTOOLCOUNT:
        return LRESULT(s->tools.size());
    case TTM_RELAYEVENT: {
        const MSG* m = reinterpret_cast<const MSG*>(lParam);
        if (m && m->message >= WM_MOUSEFIRST && m->message <= WM_MOUSELAST && IsWindow(m->hwnd))
            relay(hwnd, *s, *m);
        return 0;
    }
    case TTM_POP:
        hide(hwnd, *s);
        return 0;
    case TTM_SETMAXTIPWIDTH:
        return -1;
    default:
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

} // namespace

LRESULT CALLBACK toolTipProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return handleAndInvalidate(hwnd, msg, wParam, lParam, toolTipMessage, {});
}

void relayToToolTips(const MSG& msg) {
    if (msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) return;
    std::vector<HWND> tips;
    {
        sduser::UserLock lock = sduser::lockUser();
        auto it = relayed().find(msg.hwnd);
        if (it == relayed().end()) return;
        tips = it->second;
    }
    for (HWND tip : tips)
        SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

} // namespace sdctl
