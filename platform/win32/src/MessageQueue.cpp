// Sending, posting, retrieving and dispatching messages.

#include <algorithm>
#include <atomic>
#include <cstdint>

#include "ControlSupport.h"
#include "KeyCharacters.h"
#include "WindowTable.h"
#include "win32/DisplayBackend.h"
#include "win32/UserTesting.h"
#include "win32/kernel.h"

using namespace sduser;

namespace {

const HWND threadMessages = reinterpret_cast<HWND>(-1);
std::atomic<int> idleQuits{0};

bool inRange(UINT msg, UINT filterMin, UINT filterMax) {
    if (filterMin == 0 && filterMax == 0) return true;
    if (filterMin <= filterMax) return msg >= filterMin && msg <= filterMax;
    return msg >= filterMin || msg <= filterMax; // a reversed range selects what lies outside
}

bool forWindow(HWND target, HWND filter) {
    if (!filter) return true;
    if (filter == threadMessages) return target == nullptr;
    return target == filter;
}

std::vector<HWND> topLevelWindows() {
    UserLock lock = lockUser();
    return desktopWindow()->children;
}

bool isMouseMessage(UINT msg) {
    return msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST && msg != WM_MOUSEWHEEL;
}

// Takes the next message that passes the filter. The lock is held throughout.
bool retrieve(MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove) {
    UserState& state = userState();
    for (auto it = state.posted.begin(); it != state.posted.end(); ++it) {
        if (!forWindow(it->hwnd, filter) || !inRange(it->message, filterMin, filterMax)) continue;
        *out = *it;
        if (remove) {
            state.posted.erase(it);
            noteInputMessage(*out);
        }
        return true;
    }
    DWORD now = GetTickCount();
    if (state.quitPosted) {
        // WM_QUIT is returned whatever the filter.
        *out = MSG{nullptr, WM_QUIT, WPARAM(state.quitCode), 0, now, state.cursor};
        if (remove) state.quitPosted = false;
        return true;
    }
    if (inRange(WM_PAINT, filterMin, filterMax) && filter != threadMessages) {
        for (auto& [key, w] : state.windows) {
            if (!w->hasUpdate || !forWindow(w->handle, filter) || !visibleChain(w.get())) continue;
            *out = MSG{w->handle, WM_PAINT, 0, 0, now, state.cursor};
            return true; // stays until the window is validated
        }
    }
    if (inRange(WM_TIMER, filterMin, filterMax)) {
        for (Timer& t : state.timers) {
            if (DWORD(now - t.start) < t.elapse || !forWindow(t.hwnd, filter)) continue;
            *out = MSG{t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), now, state.cursor};
            if (remove) t.start = now;
            return true;
        }
    }
    return false;
}

// Milliseconds until the next timer that passes the filter falls due; false without one.
bool nextTimerWait(HWND filter, UINT filterMin, UINT filterMax, DWORD* wait) {
    UserLock lock = lockUser();
    if (!inRange(WM_TIMER, filterMin, filterMax)) return false;
    DWORD now = GetTickCount();
    bool any = false;
    for (const Timer& t : userState().timers) {
        if (!forWindow(t.hwnd, filter)) continue;
        DWORD passed = now - t.start;
        DWORD left = passed >= t.elapse ? 0 : t.elapse - passed;
        *wait = any ? std::min(*wait, left) : left;
        any = true;
    }
    return any;
}

bool validFilter(HWND filter) {
    return !filter || filter == threadMessages || IsWindow(filter);
}

} // namespace

namespace sduser {

void removePostedFor(HWND hwnd) {
    std::erase_if(userState().posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

void resetQueue() {
    UserState& state = userState();
    state.posted.clear();
    state.quitPosted = false;
    state.quitCode = 0;
    state.timers.clear();
    idleQuits = 0;
}

} // namespace sduser

LRESULT SendMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == HWND_BROADCAST) {
        for (HWND top : topLevelWindows())
            callProc(top, msg, wParam, lParam);
        return 0;
    }
    return callProc(hwnd, msg, wParam, lParam);
}

BOOL PostMessageA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (hwnd == HWND_BROADCAST) {
        for (HWND top : topLevelWindows())
            PostMessageA(top, msg, wParam, lParam);
        return TRUE;
    }
    UserLock lock = lockUser();
    UserState& state = userState();
    Window* w = nullptr;
    if (hwnd && !(w = findWindow(hwnd))) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (state.posted.size() >= size_t(SD_POSTED_MESSAGE_LIMIT)) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return FALSE;
    }
    POINT pt = state.cursor;
    if (w && isMouseMessage(msg)) {
        // A mouse message carries client coordinates; its pt is where that is on screen.
        POINT origin = clientOriginOnScreen(w);
        auto offset = [](LONG base, int delta) {
            return LONG(std::clamp<std::int64_t>(std::int64_t(base) + delta, INT32_MIN, INT32_MAX));
        };
        pt = POINT{offset(origin.x, GET_X_LPARAM(lParam)), offset(origin.y, GET_Y_LPARAM(lParam))};
    }
    state.posted.push_back(MSG{hwnd, msg, wParam, lParam, GetTickCount(), pt});
    SdDisplayWake(); // a loop waiting on the display sees it at once
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    UserLock lock = lockUser();
    userState().quitPosted = true;
    userState().quitCode = exitCode;
}

namespace {
// A loop that only peeks, or always finds a message (a timer whose handler outlasts its
// interval), still shows its windows and reads input, once a frame.
void pumpDisplayOncePerFrame() {
    if (!SdDisplayActive()) return;
    static DWORD lastPump = 0;
    const DWORD now = GetTickCount();
    if (DWORD(now - lastPump) >= 16) {
        lastPump = now;
        SdDisplayPump(0);
    }
}
} // namespace

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT remove) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!validFilter(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    pumpDisplayOncePerFrame();
    UserLock lock = lockUser();
    return retrieve(msg, hwnd, filterMin, filterMax, remove & PM_REMOVE) ? TRUE : FALSE;
}

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!validFilter(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    pumpDisplayOncePerFrame();
    for (;;) {
        {
            UserLock lock = lockUser();
            if (retrieve(msg, hwnd, filterMin, filterMax, true))
                return msg->message == WM_QUIT ? 0 : 1;
        }
        DWORD wait = 0;
        bool timerPending = nextTimerWait(hwnd, filterMin, filterMax, &wait);
        // With a display the loop waits for its events, a wake or the next timer; it never
        // ends for idleness.
        if (SdDisplayActive() && SdDisplayPump(timerPending ? std::max<DWORD>(wait, 1) : INFINITE))
            continue;
        if (timerPending) {
            DWORD before = GetTickCount();
            Sleep(std::max<DWORD>(wait, 1));
            if (GetTickCount() != before) continue;
            // A stopped fake clock: the timer can never fall due.
        }
        ++idleQuits;
        UserLock lock = lockUser();
        *msg = MSG{nullptr, WM_QUIT, 0, 0, GetTickCount(), userState().cursor};
        return 0;
    }
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return FALSE;
    const int given = takeKeyCharacter(*msg);
    if (given != -1) {
        // The display's layout decided the character (-2: none).
        if (given < 0) return FALSE;
        UserLock lock = lockUser();
        UserState& state = userState();
        const UINT charMessage = msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
        state.posted.insert(state.posted.begin(), MSG{msg->hwnd, charMessage, WPARAM(BYTE(given)),
                                                      msg->lParam, msg->time, msg->pt});
        return TRUE;
    }
    if (msg->message == WM_SYSKEYDOWN) {
        // Alt with a letter or digit: the character of a mnemonic.
        const int vk = int(msg->wParam & 0xFF);
        if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
            const int ch = vk >= 'A' && vk <= 'Z' ? vk + ('a' - 'A') : vk;
            UserLock lock = lockUser();
            userState().posted.insert(userState().posted.begin(),
                                      MSG{msg->hwnd, WM_SYSCHAR, WPARAM(ch), msg->lParam, msg->time, msg->pt});
            return TRUE;
        }
        return FALSE;
    }
    if (msg->message != WM_KEYDOWN) return FALSE;
    int vk = int(msg->wParam & 0xFF);
    bool shift = GetKeyState(VK_SHIFT) < 0;
    bool control = GetKeyState(VK_CONTROL) < 0;
    bool capsLock = GetKeyState(VK_CAPITAL) & 1;
    int ch = -1;
    if (vk >= 'A' && vk <= 'Z')
        ch = control ? vk - 'A' + 1 : (shift != capsLock) ? vk : vk + ('a' - 'A');
    else if (vk >= '0' && vk <= '9' && !shift && !control)
        ch = vk;
    else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        ch = '0' + (vk - VK_NUMPAD0);
    else {
        switch (vk) {
        case VK_SPACE:
            ch = ' ';
            break;
        case VK_RETURN:
            ch = '\r';
            break;
        case VK_BACK:
            ch = '\b';
            break;
        case VK_TAB:
            ch = '\t';
            break;
        case VK_ESCAPE:
            ch = 0x1B;
            break;
        case VK_MULTIPLY:
            ch = '*';
            break;
        case VK_ADD:
            ch = '+';
            break;
        case VK_SUBTRACT:
            ch = '-';
            break;
        case VK_DECIMAL:
            ch = '.';
            break;
        case VK_DIVIDE:
            ch = '/';
            break;
        }
    }
    if (ch < 0) return FALSE;
    UserLock lock = lockUser();
    UserState& state = userState();
    // The character is read next, before anything posted after the key.
    state.posted.insert(state.posted.begin(),
                        MSG{msg->hwnd, WM_CHAR, WPARAM(ch), msg->lParam, msg->time, msg->pt});
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        TIMERPROC proc = nullptr;
        {
            UserLock lock = lockUser();
            for (const Timer& t : userState().timers)
                if (t.hwnd == msg->hwnd && t.id == msg->wParam &&
                    reinterpret_cast<LPARAM>(t.proc) == msg->lParam)
                    proc = t.proc;
        }
        if (proc) {
            proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
            return 0;
        }
    }
    if (!msg->hwnd) return 0; // thread messages have no window procedure
    sdctl::relayToToolTips(*msg);
    LRESULT result = callProc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    if (msg->message == WM_PAINT) {
        // A procedure that ignores WM_PAINT gets it once per invalidation, not for ever.
        UserLock lock = lockUser();
        if (Window* w = findWindow(msg->hwnd)) {
            w->hasUpdate = false;
            w->erasePending = false;
        }
    }
    return result;
}

int SdIdleQuitCount() {
    return idleQuits;
}

int SdPostedMessageCount() {
    UserLock lock = lockUser();
    return int(userState().posted.size());
}
