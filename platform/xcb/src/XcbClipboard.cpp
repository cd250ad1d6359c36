#include "XcbClipboard.h"

#include "ClipboardImage.h"

#include <poll.h>
#include <xcb/xfixes.h>

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
    incr_ = atom("INCR");
    png_ = atom("image/png");
    bmp_ = atom("image/bmp");
    window_ = xcb_generate_id(conn_);
    const uint32_t propertyMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(conn_, XCB_COPY_FROM_PARENT, window_, screen->root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &propertyMask);
    // Without XFixes the owner is asked at each import and its data read every time.
    const xcb_query_extension_reply_t* fixes = xcb_get_extension_data(conn_, &xcb_xfixes_id);
    if (fixes && fixes->present) {
        xcb_xfixes_query_version_reply_t* v =
            xcb_xfixes_query_version_reply(conn_, xcb_xfixes_query_version(conn_, 1, 0), nullptr);
        if (v) {
            fixesEvent_ = fixes->first_event;
            tracked_ = true;
            xcb_xfixes_select_selection_input(
                conn_, window_, clipboard_,
                XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
                conn_, xcb_get_selection_owner(conn_, clipboard_), nullptr);
            owner_ = owner ? owner->owner : 0;
            free(owner);
        }
        free(v);
    }
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
    const uint8_t type = event->response_type & 0x7f;
    if (tracked_ && type == uint8_t(fixesEvent_ + XCB_XFIXES_SELECTION_NOTIFY)) {
        auto* e = reinterpret_cast<const xcb_xfixes_selection_notify_event_t*>(event);
        if (e->selection != clipboard_) return true;
        owner_ = e->owner;
        ownerSince_ = e->selection_timestamp;
        imported_ = false;
        return true;
    }
    switch (type) {
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
    case XCB_PROPERTY_NOTIFY: {
        auto* e = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (e->window == window_) {
            if (e->atom == property_ && e->state == XCB_PROPERTY_NEW_VALUE) ++newValues_;
            return true;
        }
        // A requestor took the last step: the next one.
        for (Outgoing& out : outgoing_)
            if (out.requestor == e->window && out.property == e->atom &&
                e->state == XCB_PROPERTY_DELETE) {
                step(out);
                break;
            }
        std::erase_if(outgoing_, [](const Outgoing& out) { return out.done; });
        forgetStalled();
        return false;
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

// Runs the display's events until done() holds; false when another program kept us waiting
// past the bound or the connection was lost.
bool XcbClipboard::waitFor(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + kAnswerWait;
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fd{xcb_get_file_descriptor(conn_), POLLIN, 0};
        poll(&fd, 1, int(std::min<long long>(left.count(), 50)));
        if (!readEvents_()) return false;
    }
    return true;
}

// The owner's data in target. Large data comes in INCR steps.
bool XcbClipboard::convert(xcb_atom_t target, std::string* bytes) {
    bytes->clear();
    xcb_delete_property(conn_, window_, property_);
    xcb_convert_selection(conn_, window_, clipboard_, target, property_, XCB_CURRENT_TIME);
    xcb_flush(conn_);
    converted_ = false;
    if (!waitFor([&] { return converted_; }) || !convertedOk_) return false;
    newValues_ = 0; // the owner's first write came before its answer
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        conn_,
        xcb_get_property(conn_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x4000000),
        nullptr);
    if (!reply) return false;
    const bool incr = reply->type == incr_;
    bytes->assign(static_cast<const char*>(xcb_get_property_value(reply)),
                  size_t(xcb_get_property_value_length(reply)));
    free(reply);
    xcb_flush(conn_);
    return incr ? readIncr(bytes) : true;
}

// The steps of an INCR answer, each taken (and so asked for) by deleting the property; an
// empty one ends it. A transfer that stops half way gives nothing.
bool XcbClipboard::readIncr(std::string* bytes) {
    bytes->clear();
    for (;;) {
        if (!waitFor([&] { return newValues_ > 0; })) return false;
        newValues_ = 0;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            conn_,
            xcb_get_property(conn_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 0x4000000),
            nullptr);
        if (!reply) return false;
        const size_t length = size_t(xcb_get_property_value_length(reply));
        bytes->append(static_cast<const char*>(xcb_get_property_value(reply)), length);
        free(reply);
        xcb_flush(conn_);
        if (length == 0) return true;
    }
}

// Another program's clipboard: its text (asked for as UTF-8), a picture (PNG, else BMP) and
// the data of the formats this process registered, by the atoms of their names.
void XcbClipboard::import() {
    if (xcb_connection_has_error(conn_)) return;
    xcb_window_t ownerId = owner_;
    if (!tracked_) {
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            conn_, xcb_get_selection_owner(conn_, clipboard_), nullptr);
        ownerId = owner ? owner->owner : 0;
        free(owner);
    } else {
        readEvents_(); // a change of owner already queued
        ownerId = owner_;
        if (imported_) return;
    }
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
    if (listed) {
        HGLOBAL dib = nullptr;
        if (isOffered(png_) && convert(png_, &bytes)) dib = DibFromPng(bytes);
        if (!dib && isOffered(bmp_) && convert(bmp_, &bytes)) dib = DibFromBmp(bytes);
        if (dib) {
            formats.push_back(CF_DIB);
            mems.push_back(dib);
        }
        for (const auto& [format, name] : registeredFormats())
            if (isOffered(name) && convert(name, &bytes))
                if (HGLOBAL mem = globalOf(bytes, false)) {
                    formats.push_back(format);
                    mems.push_back(mem);
                }
    }
    // Read once per owner; what it did not give is not asked again either.
    if (tracked_ && owner_ == ownerId) imported_ = true;
    if (!formats.empty())
        SdClipboardReplaceForeign(formats.data(), mems.data(), int(formats.size()));
}

// What we give for target: its type and bytes. False for a target we do not have.
bool XcbClipboard::dataFor(xcb_atom_t target, xcb_atom_t* type, std::string* bytes) {
    *type = target;
    if (target == targets_) {
        std::vector<xcb_atom_t> list{targets_};
        if (IsClipboardFormatAvailable(CF_TEXT)) list.push_back(utf8_);
        if (IsClipboardFormatAvailable(CF_DIB)) {
            list.push_back(png_);
            list.push_back(bmp_);
        }
        for (const auto& [format, name] : registeredFormats())
            if (IsClipboardFormatAvailable(format)) list.push_back(name);
        bytes->assign(reinterpret_cast<const char*>(list.data()), list.size() * 4);
        *type = XCB_ATOM_ATOM;
        return true;
    }
    UINT format = 0;
    if (target == utf8_)
        format = CF_TEXT;
    else if (target == png_ || target == bmp_)
        format = CF_DIB;
    else
        for (const auto& [registered, name] : registeredFormats())
            if (name == target) format = registered;
    if (!format || !OpenClipboard(nullptr)) return false;
    bool found = false;
    if (HANDLE mem = GetClipboardData(format)) {
        const char* data = static_cast<const char*>(GlobalLock(mem));
        const size_t size = GlobalSize(mem);
        if (data) {
            found = true;
            if (format == CF_TEXT)
                *bytes = utf8Text(data, size); // the code page with CR LF -> UTF-8 with LF
            else if (target == png_)
                *bytes = PngFromDib(data, size);
            else if (target == bmp_)
                *bytes = BmpFromDib(data, size);
            else
                bytes->assign(data, size); // a private format goes byte for byte
            if (format == CF_DIB && bytes->empty()) found = false;
            GlobalUnlock(mem);
        }
    }
    CloseClipboard();
    return found;
}

// Another program asks for our clipboard. Data past one INCR step goes in steps.
void XcbClipboard::serve(const xcb_selection_request_event_t* e) {
    xcb_selection_notify_event_t reply{};
    reply.response_type = XCB_SELECTION_NOTIFY;
    reply.time = e->time;
    reply.requestor = e->requestor;
    reply.selection = e->selection;
    reply.target = e->target;
    reply.property = XCB_NONE;
    const xcb_atom_t property = e->property ? e->property : e->target;
    xcb_atom_t type = 0;
    std::string bytes;
    if (e->selection == clipboard_ && dataFor(e->target, &type, &bytes)) {
        const uint8_t unit = type == XCB_ATOM_ATOM ? 32 : 8;
        forgetStalled();
        if (bytes.size() <= kIncrStep || unit != 8) {
            xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, e->requestor, property, type, unit,
                                uint32_t(bytes.size() / (unit / 8)), bytes.data());
        } else {
            // The size first; each deletion of the property by the requestor asks for a step.
            std::erase_if(outgoing_, [&](const Outgoing& out) {
                return out.requestor == e->requestor && out.property == property;
            });
            const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            xcb_change_window_attributes(conn_, e->requestor, XCB_CW_EVENT_MASK, &mask);
            const uint32_t size = uint32_t(std::min<size_t>(bytes.size(), 0xFFFFFFFFu));
            xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, e->requestor, property, incr_, 32, 1,
                                &size);
            outgoing_.push_back(Outgoing{e->requestor, property, type, std::move(bytes), 0, false,
                                         std::chrono::steady_clock::now()});
        }
        reply.property = property;
    }
    xcb_send_event(conn_, 0, e->requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&reply));
    xcb_flush(conn_);
}

// The next INCR step, the empty one after the last.
void XcbClipboard::step(Outgoing& out) {
    const size_t n = std::min(kIncrStep, out.bytes.size() - out.sent);
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, out.requestor, out.property, out.type, 8,
                        uint32_t(n), out.bytes.data() + out.sent);
    out.sent += n;
    out.last = std::chrono::steady_clock::now();
    if (n == 0) {
        out.done = true;
        const uint32_t none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(conn_, out.requestor, XCB_CW_EVENT_MASK, &none);
    }
    xcb_flush(conn_);
}

// A requestor that stopped taking steps (or went away) is given up.
void XcbClipboard::forgetStalled() {
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(outgoing_, [&](const Outgoing& out) { return now - out.last > 4 * kAnswerWait; });
}

} // namespace sdxcb
