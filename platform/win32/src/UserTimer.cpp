// Timers. They fall due by GetTickCount and are turned into WM_TIMER when the queue is read,
// one message per timer however late it is.

#include <algorithm>

#include "WindowTable.h"
#include "win32/kernel.h"

using namespace sduser;

namespace sduser {

void removeTimersOf(HWND hwnd) {
    std::erase_if(userState().timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
}

} // namespace sduser

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC proc) {
    UserLock lock = lockUser();
    UserState& state = userState();
    if (hwnd && !findWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    auto existing = std::find_if(state.timers.begin(), state.timers.end(),
                                 [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (!hwnd && (id == 0 || existing == state.timers.end())) {
        // A thread timer gets an id of its own unless it replaces one.
        auto used = [&](UINT_PTR candidate) {
            return std::any_of(state.timers.begin(), state.timers.end(),
                               [&](const Timer& t) { return !t.hwnd && t.id == candidate; });
        };
        for (int tries = 0;; ++tries) {
            if (tries > 0x7FFF) {
                SetLastError(ERROR_NOT_ENOUGH_QUOTA);
                return 0;
            }
            id = state.nextThreadTimer;
            state.nextThreadTimer = state.nextThreadTimer == 1 ? 0x7FFF : state.nextThreadTimer - 1;
            if (!used(id)) break;
        }
        existing = state.timers.end();
    }
    Timer timer{hwnd, id, elapse, GetTickCount(), proc};
    if (existing != state.timers.end())
        *existing = timer;
    else
        state.timers.push_back(timer);
    return id ? id : 1;
}

BOOL KillTimer(HWND hwnd, UINT_PTR id) {
    UserLock lock = lockUser();
    std::vector<Timer>& timers = userState().timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const Timer& t) { return t.hwnd == hwnd && t.id == id; });
    if (it == timers.end()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    timers.erase(it);
    return TRUE;
}
