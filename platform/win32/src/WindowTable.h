#pragma once
// The process-wide window state: registered classes, windows by handle, focus, capture and
// the queue. One recursive lock guards all of it; it is never held while a window procedure
// or timer procedure runs, so a procedure may call any function of the layer.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "win32/controls.h"
#include "win32/user.h"

namespace sduser {

struct WindowClass {
    std::string name;
    ATOM atom = 0;
    UINT style = 0;
    WNDPROC proc = nullptr;
    int classExtra = 0;
    int windowExtra = 0;
    HINSTANCE instance = nullptr;
    HICON icon = nullptr;
    HCURSOR cursor = nullptr;
    HBRUSH background = nullptr;
    LPCSTR menuNameAtom = nullptr; // an integer menu id, else menuName holds the name
    std::string menuName;
    int windowCount = 0;
};

// One of a window's own scroll bars; shown while the window's style has its WS_ bit.
struct WindowScrollBar {
    int minPos = 0;
    int maxPos = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabledArrows = 0; // ESB_ bits
};

struct Window {
    HWND handle = nullptr;
    WindowClass* windowClass = nullptr;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0; // WS_VISIBLE, WS_DISABLED, WS_MINIMIZE and WS_MAXIMIZE carry the state
    DWORD exStyle = 0;
    HWND parent = nullptr; // the desktop for top-level windows; null only for the desktop
    HWND owner = nullptr;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::vector<BYTE> extra;
    std::string text;

    RECT rect{};       // in the parent's client coordinates
    RECT normalRect{}; // the restored rectangle while minimised or maximised
    POINT minPosition{-1, -1};
    POINT maxPosition{-1, -1};
    bool restoreToMaximized = false;

    bool hasUpdate = false;
    RECT update{}; // client coordinates
    bool erasePending = false;

    WindowScrollBar scrollBars[2]; // SB_HORZ, SB_VERT
    HICON icons[2] = {};           // ICON_SMALL, ICON_BIG
    bool menuBar = false;          // a top-level window with a menu (SetMenu)
    // The client area the window procedure's own WM_NCCALCSIZE gave, as distances from the
    // window's left, top, right and bottom edges; without it the style's non-client model.
    bool ownClient = false;
    RECT ownInsets{};

    bool destroying = false;
    std::vector<HWND> children; // z-order, top first
};

struct Timer {
    HWND hwnd = nullptr;
    UINT_PTR id = 0;
    UINT elapse = 0;
    DWORD start = 0; // tick count of the last setting or delivery
    TIMERPROC proc = nullptr;
};

struct UserState {
    std::recursive_mutex mutex;
    std::map<UINT_PTR, std::unique_ptr<Window>> windows; // by handle value: creation order
    UINT_PTR nextHandle = 0x10010;
    HWND desktop = nullptr;
    std::map<ATOM, std::unique_ptr<WindowClass>> classes;
    ATOM nextAtom = 0xC000;
    HWND focus = nullptr;
    HWND capture = nullptr;
    POINT cursor{0, 0};
    HCURSOR shownCursor = nullptr;
    BYTE keyState[256]{};
    BYTE asyncKeyDown[256]{};
    std::vector<MSG> posted;
    bool quitPosted = false;
    int quitCode = 0;
    std::vector<Timer> timers;
    UINT_PTR nextThreadTimer = 0x7FF0;
};

using UserLock = std::unique_lock<std::recursive_mutex>;

UserState& userState();
UserLock lockUser();

// The lock must be held for these.
Window* findWindow(HWND hwnd);
Window* desktopWindow();
bool isAtom(LPCSTR name);
WindowClass* findClass(LPCSTR name); // registers a predefined class on first use
WindowClass* registerSystemClass(LPCSTR name);
bool isDescendant(const Window* ancestor, HWND hwnd); // true also for the window itself
std::vector<HWND> subtree(HWND root);                 // pre-order, root first
bool visibleChain(const Window* window);
// What the frame, caption, menu bar and edges take from each side of a window (user.h).
RECT nonClientInsets(DWORD style, DWORD exStyle, bool menuBar);
RECT nonClientInsets(const Window* window);
// The client area in client coordinates: the window's rectangle less its insets and the
// strips of its visible scroll bars.
RECT clientRect(const Window* window);
// The client area's top left in window coordinates.
POINT clientOffset(const Window* window);
// The strip of a visible scroll bar in window coordinates (origin at the window's top left);
// empty when the bar is hidden.
RECT scrollBarStrip(const Window* window, int bar);
POINT clientOriginOnScreen(const Window* window);
POINT windowOriginOnScreen(const Window* window);
void invalidateWhole(Window* window, bool erase);
void removeTimersOf(HWND hwnd);
void removePostedFor(HWND hwnd);
int systemMetric(int index);

// A window's own scroll bars (SB_HORZ, SB_VERT). The lock must not be held: showing or
// hiding a bar sends WM_SIZE.
int setWindowScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, BOOL redraw);
BOOL getWindowScrollInfo(HWND hwnd, int bar, SCROLLINFO& info);

// These call window procedures: the lock must not be held.
LRESULT callProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
HWND setFocusTo(HWND hwnd); // null removes the focus

enum class ShowState { Normal, Minimized, Maximized };
// Minimises, maximises or restores without changing visibility unless extraFlags say so.
void setShowState(HWND hwnd, ShowState target, UINT extraFlags);
// Asks the window procedure for the client area of the window at its present rectangle
// (WM_NCCALCSIZE: wParam FALSE without `pos`, as at creation) and keeps what it answers;
// TRUE when the client area changed. Called without the lock held.
bool askClientArea(HWND hwnd, const RECT& oldWindow, const RECT& oldClient, WINDOWPOS* pos);

// Destroys every window but the desktop (with messages), then unregisters every class.
// The lock must not be held.
void destroyAllWindows();
// With the lock held: input state taken from a message leaving the queue, and resets.
void noteInputMessage(const MSG& msg);
void resetKeys();
void resetQueue(); // posted messages, the quit request and the timers

} // namespace sduser
