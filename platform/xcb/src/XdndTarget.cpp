#include "XdndTarget.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include "UriList.h"
#include "win32/shellapi.h"

namespace sdxcb {

namespace {
constexpr uint32_t kVersion = 5;
} // namespace

XdndTarget::XdndTarget(xcb_connection_t* conn, std::function<HWND(xcb_window_t)> windowOf)
    : conn_(conn), windowOf_(std::move(windowOf)) {
    aware_ = atom("XdndAware");
    enter_ = atom("XdndEnter");
    position_ = atom("XdndPosition");
    status_ = atom("XdndStatus");
    leave_ = atom("XdndLeave");
    drop_ = atom("XdndDrop");
    finished_ = atom("XdndFinished");
    selection_ = atom("XdndSelection");
    typeList_ = atom("XdndTypeList");
    copy_ = atom("XdndActionCopy");
    uriList_ = atom("text/uri-list");
    property_ = atom("SD_DROP");
}

xcb_atom_t XdndTarget::atom(const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        conn_, xcb_intern_atom(conn_, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

void XdndTarget::makeAware(xcb_window_t window) {
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window, aware_, XCB_ATOM_ATOM, 32, 1,
                        &kVersion);
}

void XdndTarget::send(xcb_window_t to, xcb_atom_t type, const uint32_t (&data)[5]) {
    xcb_client_message_event_t e{};
    e.response_type = XCB_CLIENT_MESSAGE;
    e.format = 32;
    e.window = to;
    e.type = type;
    std::memcpy(e.data.data32, data, sizeof data);
    xcb_send_event(conn_, 0, to, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&e));
    xcb_flush(conn_);
}

HWND XdndTarget::target(xcb_window_t window, int rootX, int rootY, POINT* client) {
    HWND top = windowOf_(window);
    if (!top || !IsWindowEnabled(top)) return nullptr;
    xcb_translate_coordinates_reply_t* at = xcb_translate_coordinates_reply(
        conn_,
        xcb_translate_coordinates(conn_, xcb_setup_roots_iterator(xcb_get_setup(conn_)).data->root,
                                  window, int16_t(rootX), int16_t(rootY)),
        nullptr);
    if (!at) return nullptr;
    RECT r{};
    GetWindowRect(top, &r);
    const POINT screen{r.left + at->dst_x, r.top + at->dst_y};
    free(at);
    HWND hit = WindowFromPoint(screen);
    if (!hit || GetAncestor(hit, GA_ROOT) != top) hit = top;
    for (HWND h = hit; h; h = GetParent(h))
        if (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) {
            *client = screen;
            ScreenToClient(h, client);
            return h;
        }
    return nullptr;
}

void XdndTarget::finish(bool accepted) {
    if (source_) {
        const uint32_t data[5] = {over_, accepted ? 1u : 0u, accepted ? copy_ : 0u, 0, 0};
        send(source_, finished_, data);
    }
    source_ = over_ = 0;
    accepting_ = nullptr;
    offersFiles_ = dropping_ = false;
}

bool XdndTarget::handle(const xcb_generic_event_t* event) {
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_SELECTION_NOTIFY) {
        auto* e = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (e->selection != selection_ || !dropping_ || e->requestor != over_) return false;
        std::vector<std::string> paths;
        if (e->property != XCB_NONE) {
            xcb_get_property_reply_t* reply =
                xcb_get_property_reply(conn_,
                                       xcb_get_property(conn_, 1, over_, property_,
                                                        XCB_GET_PROPERTY_TYPE_ANY, 0, 0x400000),
                                       nullptr);
            if (reply) {
                paths = LocalPathsOfUriList(
                    std::string(static_cast<const char*>(xcb_get_property_value(reply)),
                                size_t(xcb_get_property_value_length(reply))));
                free(reply);
            }
        }
        const bool accepted = !paths.empty() && IsWindow(accepting_);
        if (accepted) {
            std::vector<const char*> list;
            for (const std::string& p : paths)
                list.push_back(p.c_str());
            if (HDROP drop = SdMakeDropFiles(list.data(), int(list.size()), at_))
                if (!PostMessageA(accepting_, WM_DROPFILES, WPARAM(drop), 0)) DragFinish(drop);
        }
        finish(accepted);
        return true;
    }
    if (type != XCB_CLIENT_MESSAGE) return false;
    auto* e = reinterpret_cast<const xcb_client_message_event_t*>(event);
    const uint32_t* d = e->data.data32;
    if (e->format != 32) return false;
    if (e->type == enter_) {
        // A new drag: what was left of an earlier one is dropped.
        source_ = d[0];
        over_ = e->window;
        accepting_ = nullptr;
        dropping_ = false;
        offersFiles_ = false;
        if ((d[1] >> 24) < 2) { // too old a source: nothing is taken
            source_ = 0;
            return true;
        }
        std::vector<xcb_atom_t> types(d + 2, d + 5);
        if (d[1] & 1) {
            xcb_get_property_reply_t* list = xcb_get_property_reply(
                conn_, xcb_get_property(conn_, 0, source_, typeList_, XCB_ATOM_ATOM, 0, 1024),
                nullptr);
            if (list && list->format == 32) {
                const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(list));
                types.assign(atoms, atoms + xcb_get_property_value_length(list) / 4);
            }
            free(list);
        }
        for (xcb_atom_t t : types)
            if (t == uriList_) offersFiles_ = true;
        return true;
    }
    if (d[0] != source_ || !source_ || e->window != over_)
        return e->type == position_ || e->type == leave_ || e->type == drop_;
    if (e->type == position_) {
        accepting_ = offersFiles_ ? target(over_, int16_t(d[2] >> 16), int16_t(d[2] & 0xFFFF), &at_)
                                  : nullptr;
        // No rectangle: every move is told again.
        const uint32_t data[5] = {over_, accepting_ ? 3u : 2u, 0, 0, accepting_ ? copy_ : 0u};
        send(source_, status_, data);
        return true;
    }
    if (e->type == leave_) {
        source_ = over_ = 0;
        accepting_ = nullptr;
        offersFiles_ = dropping_ = false;
        return true;
    }
    if (e->type == drop_) {
        if (!accepting_) {
            finish(false);
            return true;
        }
        dropping_ = true;
        xcb_delete_property(conn_, over_, property_);
        xcb_convert_selection(conn_, over_, selection_, uriList_, property_, d[2]);
        xcb_flush(conn_);
        return true;
    }
    return false;
}

} // namespace sdxcb
