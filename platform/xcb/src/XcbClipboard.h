#pragma once
// The layer's clipboard as the display's CLIPBOARD selection: served to other programs while
// ours, imported from theirs when the clipboard is opened. Large data goes in INCR steps both
// ways; the owner is followed by XFixes, so another program's data is read once per owner.

#include <xcb/xcb.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "win32/user.h"

namespace sdxcb {

class XcbClipboard {
public:
    // Data past this many bytes goes in INCR steps of this size.
    static constexpr size_t kIncrStep = 256 * 1024;
    // How long another program may keep us waiting for one answer or one INCR step.
    static constexpr std::chrono::milliseconds kAnswerWait{2000};

    // readEvents reads and dispatches the connection's queued events (false once it is lost);
    // it is how a wait for another program's answer runs the rest of the display meanwhile.
    XcbClipboard(xcb_connection_t* conn, xcb_screen_t* screen, size_t maxRequestBytes,
                 std::function<bool()> readEvents);
    ~XcbClipboard();
    XcbClipboard(const XcbClipboard&) = delete;
    XcbClipboard& operator=(const XcbClipboard&) = delete;

    // The process put new data on the clipboard: the selection is ours.
    void owned();
    // Another program's clipboard replaces the layer's, when another program owns it and has
    // not been read since it took the selection.
    void import();
    // Takes the selection events; false for any other event.
    bool handle(const xcb_generic_event_t* event);

private:
    // Data going to another program in INCR steps, one per requestor and property.
    struct Outgoing {
        xcb_window_t requestor;
        xcb_atom_t property, type;
        std::string bytes;
        size_t sent = 0;
        bool done = false; // the closing empty step was written
        std::chrono::steady_clock::time_point last;
    };

    xcb_atom_t atom(const char* name);
    std::vector<std::pair<UINT, xcb_atom_t>> registeredFormats();
    bool convert(xcb_atom_t target, std::string* bytes);
    bool readIncr(std::string* bytes);
    bool waitFor(const std::function<bool()>& done);
    bool dataFor(xcb_atom_t target, xcb_atom_t* type, std::string* bytes);
    void serve(const xcb_selection_request_event_t* e);
    void step(Outgoing& out);
    void forgetStalled();

    xcb_connection_t* conn_;
    size_t maxRequestBytes_;
    std::function<bool()> readEvents_;
    xcb_window_t window_ = 0; // owns the selection and receives what others convert for us
    xcb_atom_t clipboard_ = 0, targets_ = 0, property_ = 0, utf8_ = 0, incr_ = 0, png_ = 0,
               bmp_ = 0;
    bool converted_ = false, convertedOk_ = false; // the answer to the last conversion asked
    int newValues_ = 0; // our property written since last asked (INCR steps)
    // The owner as XFixes tells it; imported: its data is what the layer holds.
    uint8_t fixesEvent_ = 0;
    bool tracked_ = false;
    xcb_window_t owner_ = 0;
    xcb_timestamp_t ownerSince_ = 0;
    bool imported_ = false;
    std::vector<Outgoing> outgoing_;
};

} // namespace sdxcb
