#pragma once
// Files dropped from other programs (XDND version 5): the top-level X windows say they take
// drops; a drop of "text/uri-list" on a window with WS_EX_ACCEPTFILES (the window under the
// point in the model, or its nearest ancestor with the style) becomes one WM_DROPFILES with
// the local files in the order given.

#include <xcb/xcb.h>

#include <functional>
#include <vector>

#include "win32/user.h"

namespace sdxcb {

class XdndTarget {
public:
    // windowOf: the top-level window an X window shows (null: none of ours).
    XdndTarget(xcb_connection_t* conn, std::function<HWND(xcb_window_t)> windowOf);
    XdndTarget(const XdndTarget&) = delete;
    XdndTarget& operator=(const XdndTarget&) = delete;

    // A new top-level X window takes drops.
    void makeAware(xcb_window_t window);
    // Takes the drop's client messages and the answer to its data; false for other events.
    bool handle(const xcb_generic_event_t* event);

private:
    xcb_atom_t atom(const char* name);
    // The window of the model that takes a drop at the root point on the X window (null:
    // none takes files there).
    HWND target(xcb_window_t window, int rootX, int rootY, POINT* client);
    void send(xcb_window_t to, xcb_atom_t type, const uint32_t (&data)[5]);
    void finish(bool accepted);

    xcb_connection_t* conn_;
    std::function<HWND(xcb_window_t)> windowOf_;
    xcb_atom_t aware_, enter_, position_, status_, leave_, drop_, finished_, selection_, typeList_,
        copy_, uriList_, property_;
    // The drag over one of our windows.
    xcb_window_t source_ = 0, over_ = 0;
    bool offersFiles_ = false;
    HWND accepting_ = nullptr;
    POINT at_{};            // the drop point in the accepting window's client coordinates
    bool dropping_ = false; // asked for the data, waiting for it
};

} // namespace sdxcb
