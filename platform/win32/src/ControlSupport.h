#pragma once
// What the predefined controls share: their state object kept in the first extra bytes of
// the window, and the notifications they send to their parent.

#include <initializer_list>
#include <string>
#include <vector>

#include "win32/WindowLook.h"
#include "win32/controls.h"

namespace sdctl {

constexpr int stateBytes = int(sizeof(void*));

// The control's state is made at WM_NCCREATE and deleted at WM_NCDESTROY.
template <class State> State* stateOf(HWND hwnd) {
    return reinterpret_cast<State*>(GetWindowLongPtrA(hwnd, 0));
}
template <class State> State* attachState(HWND hwnd) {
    auto* state = new State;
    SetWindowLongPtrA(hwnd, 0, reinterpret_cast<LONG_PTR>(state));
    return state;
}
template <class State> void detachState(HWND hwnd) {
    delete stateOf<State>(hwnd);
    SetWindowLongPtrA(hwnd, 0, 0);
}

DWORD styleOf(HWND hwnd);
// WM_COMMAND (id, code) with the control's handle, to the parent.
void notifyCommand(HWND hwnd, WORD code);
// WM_NOTIFY to the parent; hdr's sender fields are filled in.
LRESULT notifyParent(HWND hwnd, NMHDR* hdr, UINT code);
// WM_HSCROLL or WM_VSCROLL (code, position) with the control's handle, to the parent.
void notifyScroll(HWND hwnd, bool vertical, WORD code, int position);

// The point of a mouse message lies in the client area; an empty area takes its origin.
bool pointInside(HWND hwnd, LPARAM lParam);
// A point in the middle of the client area.
LPARAM centreOf(HWND hwnd);

// Case-blind comparison of ANSI texts, as the list controls sort and search.
int compareNoCase(const std::string& a, const std::string& b);
bool startsWithNoCase(const std::string& text, const std::string& prefix);

// Copies a text into a buffer of `size` bytes (NUL included); returns the characters copied.
LRESULT copyOut(const std::string& text, WPARAM size, LPARAM buffer);
std::string textArgument(LPARAM lParam);

// The siblings of a control's group: from the nearest WS_GROUP sibling at or before it to
// the next WS_GROUP sibling, in z-order.
std::vector<HWND> groupOf(HWND hwnd);

// A message after which a control shows something else: always, only with the redraw flag
// it carries in wParam, or (a mouse move) only while the left button is down.
enum class Redraw { Always, IfWParam, IfDragging };
struct PictureChange {
    UINT message;
    Redraw when = Redraw::Always;
};
// A control's class procedure: its handler, then the control invalidated whole when the
// message changed its picture. Shared by all: text, enabling, focus, a font set with redraw;
// `own` names the control's own. A display composes only what is pending, so a change that
// invalidates nothing would stay unseen there.
using ControlHandler = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
LRESULT handleAndInvalidate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                            ControlHandler handler, std::initializer_list<PictureChange> own);

// The registration entries of the predefined classes.
LRESULT CALLBACK editProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK buttonProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK staticProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK listBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK comboBoxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK scrollBarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK upDownProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK trackbarProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK dialogClassProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK menuWindowProc(HWND, UINT, WPARAM, LPARAM);
// A mouse message about to be dispatched, handed to the tips of its window's TTF_SUBCLASS
// tools first.
void relayToToolTips(const MSG& msg);
LRESULT CALLBACK comboListProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK toolTipProc(HWND, UINT, WPARAM, LPARAM);

// F10, Alt with a mnemonic and clicks on a menu bar, as the default window procedure takes
// them; false when the message is not one of these.
bool menuBarInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

} // namespace sdctl
