#include "XcbClipboard.h"

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "win32/DisplayBackend.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"
#include "win32/nls.h"

namespace sdxcb {

namespace {

// UTF-8 with LF line ends -> the ANSI code page with CR LF ('?' where it has no character).
std::string ansiText(const std::string& utf8) {
    std::string crlf;
    for (char c : utf8) {
        if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
        if (c != '\0') crlf += c;
    }
    const int wn = MultiByteToWideChar(CP_UTF8, 0, crlf.data(), int(crlf.size()), nullptr, 0);
    std::u16string wide(size_t(std::max(0, wn)), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, crlf.data(), int(crlf.size()), wide.data(), wn);
    std::string out(wide.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), out.data(),
                                      int(out.size()), "?", nullptr);
    out.resize(size_t(std::max(0, n)));
    return out;
}

// The ANSI code page with CR LF -> UTF-8 with LF.
std::string utf8Text(const char* ansi, size_t size) {
    const size_t length = strnlen(ansi, size);
    const int wn = MultiByteToWideChar(CP_ACP, 0, ansi, int(length), nullptr, 0);
    std::u16string wide(size_t(std::max(0, wn)), u'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi, int(length), wide.data(), wn);
    std::string out(wide.size() * 3 + 1, '\0');
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(),
                                      int(out.size()), nullptr, nullptr);
    out.resize(size_t(std::max(0, n)));
    std::string lf;
    for (size_t i = 0; i < out.size(); ++i)
        if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) lf += out[i];
    return lf;
}

HGLOBAL globalOf(const std::string& bytes, bool terminate) {
    const size_t size = bytes.size() + (terminate ? 1 : 0);
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(1, size));
    if (!mem) return nullptr;
    char* p = static_cast<char*>(GlobalLock(mem));
    std::memcpy(p, bytes.c_str(), size);
    GlobalUnlock(mem);
    return mem;
}

} // namespace

XcbClipboard::XcbClipboard(xcb_connection_t* conn, xcb_screen_t* screen, size_t maxRequestBytes,
                           std::function<bool()> readEvents)
    : conn_(conn), maxRequestBytes_(maxRequestBytes), readEvents_(std::move(readEvents)) {
    clipboard_ = atom("CLIPBOARD");
    targets_ = atom("TARGETS");
    property_ = atom("SD_SELECTION");
    utf8_ = atom("UTF8_STRING");
    window_ = xcb_generate_id(conn_);
    const uint32_t propertyMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(conn_, XCB_COPY_FROM_PARENT, window_, screen->root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &propertyMask);
}

XcbClipboard::~XcbClipboard() {
    if (!xcb_connection_has_error(conn_)) xcb_destroy_window(conn_, window_);
}

xcb_atom_t XcbClipboard::atom(const char* name) {
    xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
        conn_, xcb_intern_atom(conn_, 0, uint16_t(std::strlen(name)), name), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(r);
    return a;
}

void XcbClipboard::owned() {
    xcb_set_selection_owner(conn_, window_, clipboard_, XCB_CURRENT_TIME);
    xcb_flush(conn_);
}

bool XcbClipboard::handle(const xcb_generic_event_t* event) {
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_REQUEST:
        serve(reinterpret_cast<const xcb_selection_request_event_t*>(event));
        return true;
    case XCB_SELECTION_NOTIFY: {
        auto* e = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        if (e->requestor != window_) return false;
        converted_ = true;
        convertedOk_ = e->property != XCB_NONE;
        return true;
    }
    default:
        return false;
    }
}

// The registered formats of the process with the atoms of their names.
std::vector<std::pair<UINT, xcb_atom_t>> XcbClipboard::registeredFormats() {
    std::vector<std::pair<UINT, xcb_atom_t>> formats;
    char name[256];
    for (UINT format = 0xC000;
         format <= 0xFFFF && GetClipboardFormatNameA(format, name, sizeof name) > 0; ++format)
        formats.emplace_back(format, atom(name));
    return formats;
}

// The owner's data in target, waited for at most 2 s. Larger than one request (INCR) is
// not read.
bool XcbClipboard::convert(xcb_atom_t target, std::string* bytes) {
    xcb_delete_property(conn_, window_, property_);
    xcb_convert_selection(conn_, window_, clipboard_, target, property_, XCB_CURRENT_TIME);
    xcb_flush(conn_);
    converted_ = false;
    const DWORD start = GetTickCount();
    while (!converted_ && DWORD(GetTickCount() - start) < 2000) {
        pollfd fd{xcb_get_file_descriptor(conn_), POLLIN, 0};
        poll(&fd, 1, 50);
        if (!readEvents_()) return false;
    }
    if (!converted_ || !convertedOk_) return false;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        conn_,
        xcb_get_property(conn_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x4000000),
        nullptr);
    if (!reply) return false;
    bytes->assign(static_cast<const char*>(xcb_get_property_value(reply)),
                  size_t(xcb_get_property_value_length(reply)));
    free(reply);
    return true;
}

// Another program's clipboard: its text (asked for as UTF-8) and the data of the formats
// this process registered, by the atoms of their names.
void XcbClipboard::import() {
    if (xcb_connection_has_error(conn_)) return;
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(conn_, xcb_get_selection_owner(conn_, clipboard_), nullptr);
    const xcb_window_t ownerId = owner ? owner->owner : 0;
    free(owner);
    if (!ownerId || ownerId == window_) return;
    std::string bytes;
    std::vector<xcb_atom_t> offered;
    if (convert(targets_, &bytes))
        for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            xcb_atom_t a;
            std::memcpy(&a, bytes.data() + i, 4);
            offered.push_back(a);
        }
    const bool listed = !offered.empty();
    auto isOffered = [&](xcb_atom_t a) {
        return !listed || std::find(offered.begin(), offered.end(), a) != offered.end();
    };
    std::vector<UINT> formats;
    std::vector<HANDLE> mems;
    if (isOffered(utf8_) && convert(utf8_, &bytes))
        if (HGLOBAL mem = globalOf(ansiText(bytes), true)) {
            formats.push_back(CF_TEXT);
            mems.push_back(mem);
        }
    if (listed)
        for (const auto& [format, name] : registeredFormats())
            if (isOffered(name) && convert(name, &bytes))
                if (HGLOBAL mem = globalOf(bytes, false)) {
                    formats.push_back(format);
                    mems.push_back(mem);
                }
    if (!formats.empty())
        SdClipboardReplaceForeign(formats.data(), mems.data(), int(formats.size()));
}

// Another program asks for our clipboard: the text as UTF-8, or the list of targets.
void XcbClipboard::serve(const xcb_selection_request_event_t* e) {
    xcb_selection_notify_event_t reply{};
    reply.response_type = XCB_SELECTION_NOTIFY;
    reply.time = e->time;
    reply.requestor = e->requestor;
    reply.selection = e->selection;
    reply.target = e->target;
    reply.property = XCB_NONE;
    const xcb_atom_t property = e->property ? e->property : e->target;
    const auto formats = registeredFormats();
    if (e->selection == clipboard_ && e->target == targets_) {
        std::vector<xcb_atom_t> list{targets_};
        if (IsClipboardFormatAvailable(CF_TEXT)) list.push_back(utf8_);
        for (const auto& [format, name] : formats)
            if (IsClipboardFormatAvailable(format)) list.push_back(name);
        xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, e->requestor, property, XCB_ATOM_ATOM, 32,
                            uint32_t(list.size()), list.data());
        reply.property = property;
    } else if (auto found = std::find_if(formats.begin(), formats.end(),
                                         [&](const auto& f) { return f.second == e->target; });
               e->selection == clipboard_ && found != formats.end() && OpenClipboard(nullptr)) {
        // A private format goes byte for byte.
        if (HANDLE mem = GetClipboardData(found->first)) {
            const char* data = static_cast<const char*>(GlobalLock(mem));
            const size_t size = GlobalSize(mem);
            if (data && size + 64 < maxRequestBytes_) {
                xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, e->requestor, property, e->target,
                                    8, uint32_t(size), data);
                reply.property = property;
            }
            if (data) GlobalUnlock(mem);
        }
        CloseClipboard();
    } else if (e->selection == clipboard_ && e->target == utf8_ && OpenClipboard(nullptr)) {
        if (HANDLE mem = GetClipboardData(CF_TEXT)) {
            const char* text = static_cast<const char*>(GlobalLock(mem));
            if (text) {
                const std::string utf8 = utf8Text(text, GlobalSize(mem));
                GlobalUnlock(mem);
                // Larger than one request would need INCR: refused.
                if (utf8.size() + 64 < maxRequestBytes_) {
                    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, e->requestor, property, utf8_,
                                        8, uint32_t(utf8.size()), utf8.data());
                    reply.property = property;
                }
            }
        }
        CloseClipboard();
    }
    xcb_send_event(conn_, 0, e->requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&reply));
    xcb_flush(conn_);
}

} // namespace sdxcb
