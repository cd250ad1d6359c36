#pragma once
// The layer's clipboard as the display's CLIPBOARD selection: served to other programs while
// ours, imported from theirs when the clipboard is opened.

#include <xcb/xcb.h>

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "win32/user.h"

namespace sdxcb {

class XcbClipboard {
public:
    // readEvents reads and dispatches the connection's queued events (false once it is lost);
    // it is how a wait for another program's answer runs the rest of the display meanwhile.
    XcbClipboard(xcb_connection_t* conn, xcb_screen_t* screen, size_t maxRequestBytes,
                 std::function<bool()> readEvents);
    ~XcbClipboard();
    XcbClipboard(const XcbClipboard&) = delete;
    XcbClipboard& operator=(const XcbClipboard&) = delete;

    // The process put new data on the clipboard: the selection is ours.
    void owned();
    // Another program's clipboard replaces the layer's, when another program owns it.
    void import();
    // Takes the selection events; false for any other event.
    bool handle(const xcb_generic_event_t* event);

private:
    xcb_atom_t atom(const char* name);
    std::vector<std::pair<UINT, xcb_atom_t>> registeredFormats();
    bool convert(xcb_atom_t target, std::string* bytes);
    void serve(const xcb_selection_request_event_t* e);

    xcb_connection_t* conn_;
    size_t maxRequestBytes_;
    std::function<bool()> readEvents_;
    xcb_window_t window_ = 0; // owns the selection and receives what others convert for us
    xcb_atom_t clipboard_ = 0, targets_ = 0, property_ = 0, utf8_ = 0;
    bool converted_ = false, convertedOk_ = false; // the answer to the last conversion asked
};

} // namespace sdxcb
