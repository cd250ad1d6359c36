// The display backend on X11: each visible top-level window is one X window showing the
// picture PrintWindow composes; X input goes into the layer's input router.

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xcb_cursor.h>
// The header names a field "explicit".
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KeyTable.h"
#include "XcbClipboard.h"
#include "win32/DisplayBackend.h"
#include "win32/InputRouter.h"
#include "win32/kernel.h"
#include "win32/nls.h"
#include "win32/resource.h"
#include "win32/wingdi.h"

namespace sdxcb {

namespace {

// One visible top-level window and what the server shows of it.
struct TopWindow {
    xcb_window_t id = 0;
    RECT rect{};                 // the model's window rectangle the X window stands for
    std::vector<uint32_t> shown; // the picture last put, rows top-down, 0x00RRGGBB
    bool mapped = false;
    std::string title;        // as last given to the window manager
    bool iconic = false;      // minimised in the model, asked of the window manager
    HWND lastFocus = nullptr; // the child that had the focus when the window lost it
    // The picture shared with the server (MIT-SHM), when it allows.
    xcb_shm_seg_t segment = 0;
    uint8_t* shared = nullptr;
    size_t sharedSize = 0;
};

class XcbBackend : public SdDisplayBackend {
public:
    XcbBackend(xcb_connection_t* c, xcb_screen_t* screen) : conn_(c), screen_(screen) {
        wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
        gc_ = xcb_generate_id(conn_);
        xcb_create_gc(conn_, gc_, screen_->root, 0, nullptr);
        wmProtocols_ = atom("WM_PROTOCOLS");
        wmDelete_ = atom("WM_DELETE_WINDOW");
        wmTransientFor_ = atom("WM_TRANSIENT_FOR");
        netName_ = atom("_NET_WM_NAME");
        utf8_ = atom("UTF8_STRING");
        netType_ = atom("_NET_WM_WINDOW_TYPE");
        typeNormal_ = atom("_NET_WM_WINDOW_TYPE_NORMAL");
        typeDialog_ = atom("_NET_WM_WINDOW_TYPE_DIALOG");
        typeUtility_ = atom("_NET_WM_WINDOW_TYPE_UTILITY");
        netState_ = atom("_NET_WM_STATE");
        stateModal_ = atom("_NET_WM_STATE_MODAL");
        motifHints_ = atom("_MOTIF_WM_HINTS");
        wmChangeState_ = atom("WM_CHANGE_STATE");
        maxRequestBytes_ = size_t(xcb_get_maximum_request_length(conn_)) * 4;
        const char* noShm = std::getenv("SDXCB_NO_SHM");
        if (!noShm || !*noShm) {
            xcb_shm_query_version_reply_t* v =
                xcb_shm_query_version_reply(conn_, xcb_shm_query_version(conn_), nullptr);
            shm_ = v != nullptr;
            free(v);
        }
        clipboard_ = std::make_unique<XcbClipboard>(conn_, screen_, maxRequestBytes_,
                                                    [this] { return readEvents(); });
        setUpKeyboard();
        if (xcb_cursor_context_new(conn_, screen_, &cursors_) < 0) cursors_ = nullptr;
    }

    ~XcbBackend() override {
        for (auto& [hwnd, top] : tops_) {
            if (!xcb_connection_has_error(conn_)) xcb_destroy_window(conn_, top.id);
            release(top);
        }
        clipboard_.reset();
        if (composeDc_) DeleteDC(composeDc_);
        if (composeBitmap_) DeleteObject(composeBitmap_);
        if (cursors_) {
            for (auto& [handle, id] : cursorIds_)
                if (!xcb_connection_has_error(conn_)) xcb_free_cursor(conn_, id);
            xcb_cursor_context_free(cursors_);
        }
        if (compose_) xkb_compose_state_unref(compose_);
        if (keyState_) xkb_state_unref(keyState_);
        if (keymap_) xkb_keymap_unref(keymap_);
        if (xkb_) xkb_context_unref(xkb_);
        xcb_disconnect(conn_);
        if (wakeFd_ >= 0) close(wakeFd_);
    }

    bool pump(DWORD timeout) override {
        if (xcb_connection_has_error(conn_)) return false;
        // A window procedure called from here (WM_SETCURSOR, WM_GETTEXT) that peeks does not
        // start a second round.
        if (pumping_) return true;
        pumping_ = true;
        const bool alive = pumpOnce(timeout);
        pumping_ = false;
        return alive;
    }

    bool pumpOnce(DWORD timeout) {
        show();
        if (!readEvents()) return false;
        if (timeout == 0) return true;
        pollfd fds[2] = {{xcb_get_file_descriptor(conn_), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        poll(fds, 2, timeout == INFINITE ? -1 : int(std::min<DWORD>(timeout, 0x7fffffff)));
        uint64_t count = 0;
        if (fds[1].revents & POLLIN) (void)!read(wakeFd_, &count, sizeof count);
        return readEvents();
    }

    void wake() override {
        uint64_t one = 1;
        (void)!write(wakeFd_, &one, sizeof one);
    }

    void clipboardOwned() override { clipboard_->owned(); }

    void clipboardImport() override { clipboard_->import(); }

private:
    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
            conn_, xcb_intern_atom(conn_, 0, uint16_t(std::strlen(name)), name), nullptr);
        xcb_atom_t a = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(r);
        return a;
    }

    void setUpKeyboard() {
        if (!xkb_x11_setup_xkb_extension(
                conn_, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &xkbEvent_, nullptr))
            return;
        xkb_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        deviceId_ = xkb_x11_get_core_keyboard_device_id(conn_);
        reloadKeymap();
        setUpCompose();
        // Held keys repeat as presses only.
        xcb_xkb_per_client_flags(conn_, XCB_XKB_ID_USE_CORE_KBD,
                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                 XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0);
        const uint16_t events = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                                XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
        xcb_xkb_select_events(conn_, uint16_t(deviceId_), events, 0, events, 0xff, 0xff, nullptr);
    }

    void reloadKeymap() {
        if (!xkb_) return;
        xkb_keymap* map =
            xkb_x11_keymap_new_from_device(xkb_, conn_, deviceId_, XKB_KEYMAP_COMPILE_NO_FLAGS);
        if (!map) return;
        xkb_state* state = xkb_x11_state_new_from_device(map, conn_, deviceId_);
        if (!state) {
            xkb_keymap_unref(map);
            return;
        }
        if (keyState_) xkb_state_unref(keyState_);
        if (keymap_) xkb_keymap_unref(keymap_);
        keymap_ = map;
        keyState_ = state;
    }

    // The X window for a newly visible top-level window, typed by its style.
    TopWindow create(HWND hwnd, const RECT& r) {
        TopWindow top;
        top.id = xcb_generate_id(conn_);
        top.rect = r;
        char className[64] = {};
        GetClassNameA(hwnd, className, sizeof className);
        const DWORD style = DWORD(GetWindowLongA(hwnd, GWL_STYLE));
        const DWORD exStyle = DWORD(GetWindowLongA(hwnd, GWL_EXSTYLE));
        // The layer's own pop-ups take no part in window management.
        const bool layerPopup = !std::strcmp(className, "#32768") ||
                                !std::strcmp(className, "ComboLBox") ||
                                !std::strcmp(className, "tooltips_class32");
        const uint32_t values[] = {screen_->white_pixel, uint32_t(layerPopup),
                                   XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                       XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                                       XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS |
                                       XCB_EVENT_MASK_KEY_RELEASE | XCB_EVENT_MASK_FOCUS_CHANGE |
                                       XCB_EVENT_MASK_ENTER_WINDOW};
        const int w = std::max<int>(1, r.right - r.left), h = std::max<int>(1, r.bottom - r.top);
        xcb_create_window(conn_, XCB_COPY_FROM_PARENT, top.id, screen_->root, int16_t(r.left),
                          int16_t(r.top), uint16_t(w), uint16_t(h), 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
        if (!layerPopup) {
            xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top.id, wmProtocols_, XCB_ATOM_ATOM,
                                32, 1, &wmDelete_);
            xcb_atom_t type = typeNormal_;
            if (exStyle & WS_EX_TOOLWINDOW)
                type = typeUtility_;
            else if (!std::strcmp(className, "#32770") || (exStyle & WS_EX_DLGMODALFRAME))
                type = typeDialog_;
            xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top.id, netType_, XCB_ATOM_ATOM, 32,
                                1, &type);
            HWND owner = GetWindow(hwnd, GW_OWNER);
            if (owner && tops_.count(owner)) {
                xcb_window_t ownerId = tops_[owner].id;
                xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top.id, wmTransientFor_,
                                    XCB_ATOM_WINDOW, 32, 1, &ownerId);
                // An owner that cannot take input waits for this one: a modal window.
                if (type == typeDialog_ && !IsWindowEnabled(owner))
                    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top.id, netState_,
                                        XCB_ATOM_ATOM, 32, 1, &stateModal_);
            }
            if ((style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION) {
                const uint32_t hints[5] = {2, 0, 0, 0, 0}; // decorations: none
                xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top.id, motifHints_, motifHints_,
                                    32, 5, hints);
            }
            // Placed where the model says, not where the window manager likes.
            uint32_t sizeHints[18] = {};
            sizeHints[0] = 1 | 2 | 4 | 8; // user position and size, program position and size
            sizeHints[1] = uint32_t(r.left);
            sizeHints[2] = uint32_t(r.top);
            sizeHints[3] = uint32_t(w);
            sizeHints[4] = uint32_t(h);
            xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, top.id, XCB_ATOM_WM_NORMAL_HINTS,
                                XCB_ATOM_WM_SIZE_HINTS, 32, 18, sizeHints);
        }
        setTitle(hwnd, top);
        return top;
    }

    void setTitle(HWND hwnd, TopWindow& top) {
        char text[512] = {};
        int n = std::max(0, GetWindowTextA(hwnd, text, sizeof text));
        if (top.mapped && top.title == std::string(text, size_t(n))) return;
        top.title.assign(text, size_t(n));
        const xcb_window_t id = top.id;
        std::u16string wide(size_t(std::max(0, n)) + 1, L'\0');
        int wn = MultiByteToWideChar(CP_ACP, 0, text, n, wide.data(), int(wide.size()));
        std::string utf8(size_t(std::max(0, wn)) * 4 + 1, '\0');
        int un = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wn, utf8.data(), int(utf8.size()),
                                     nullptr, nullptr);
        utf8.resize(size_t(std::max(0, un)));
        xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, id, netName_, utf8_, 8,
                            uint32_t(utf8.size()), utf8.data());
        xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            uint32_t(std::max(0, n)), text);
    }

    // Brings the X windows in line with the visible top-level windows and puts what changed.
    void show() {
        std::vector<HWND> visible;
        for (HWND h = GetWindow(GetDesktopWindow(), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (IsWindowVisible(h)) visible.push_back(h);
        for (auto it = tops_.begin(); it != tops_.end();) {
            if (std::find(visible.begin(), visible.end(), it->first) == visible.end()) {
                xcb_destroy_window(conn_, it->second.id);
                if (it->second.id == grabbed_) grabbed_ = 0; // the server ended the grab
                release(it->second);
                it = tops_.erase(it);
            } else {
                ++it;
            }
        }
        // Bottom first, so that each new window is mapped above the ones under it.
        for (auto it = visible.rbegin(); it != visible.rend(); ++it) {
            HWND hwnd = *it;
            RECT r{};
            GetWindowRect(hwnd, &r);
            auto found = tops_.find(hwnd);
            if (found == tops_.end()) {
                found = tops_.emplace(hwnd, create(hwnd, r)).first;
                newWindows_ = true;
            }
            TopWindow& top = found->second;
            // Minimised: the window manager keeps it as an icon, the picture waits.
            if (IsIconic(hwnd)) {
                if (!top.iconic && top.mapped) {
                    xcb_client_message_event_t e{};
                    e.response_type = XCB_CLIENT_MESSAGE;
                    e.format = 32;
                    e.window = top.id;
                    e.type = wmChangeState_;
                    e.data.data32[0] = 3; // IconicState
                    xcb_send_event(conn_, 0, screen_->root,
                                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                                       XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                   reinterpret_cast<const char*>(&e));
                }
                top.iconic = true;
                continue;
            }
            if (top.iconic) {
                top.iconic = false;
                xcb_map_window(conn_, top.id); // asks the window manager to restore it
            }
            if (!EqualRect(&r, &top.rect)) {
                const uint32_t geometry[] = {uint32_t(r.left), uint32_t(r.top),
                                             uint32_t(std::max<LONG>(1, r.right - r.left)),
                                             uint32_t(std::max<LONG>(1, r.bottom - r.top))};
                xcb_configure_window(conn_, top.id,
                                     XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y |
                                         XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                                     geometry);
                top.rect = r;
            }
            // Mapped first: pixels put into an unmapped window are lost (Expose puts them again
            // when a window manager maps it later).
            if (!top.mapped) {
                xcb_map_window(conn_, top.id);
                top.mapped = true;
            }
            setTitle(hwnd, top);
            present(hwnd, top);
        }
        grabForCapture();
        showCursor();
        xcb_flush(conn_);
    }

    // The window manager moved the keyboard focus: the window that gets it gives the focus back
    // to the child that last had it (else takes it itself); the one losing it remembers it.
    void focusChanged(HWND hwnd, bool in) {
        auto found = tops_.find(hwnd);
        if (found == tops_.end()) return;
        HWND focus = GetFocus();
        const bool inside = focus && (focus == hwnd || IsChild(hwnd, focus));
        if (!in) {
            if (inside) found->second.lastFocus = focus;
            return;
        }
        if (inside) return;
        HWND last = found->second.lastFocus;
        SetFocus(last && IsWindow(last) && IsChild(hwnd, last) ? last : hwnd);
    }

    // The cursor the layer set, on every window: the system's as the theme's cursor of that
    // kind; others (resource cursors) as the arrow for now.
    void showCursor() {
        if (!cursors_) return;
        HCURSOR cursor = GetCursor();
        if (cursor == shownCursor_ && !newWindows_) return;
        newWindows_ = false;
        shownCursor_ = cursor;
        static constexpr struct {
            UINT id;
            const char* name;
        } themeNames[] = {{32512, "left_ptr"},
                          {32513, "xterm"},
                          {32514, "watch"},
                          {32515, "crosshair"},
                          {32516, "sb_up_arrow"},
                          {32642, "size_fdiag"},
                          {32643, "size_bdiag"},
                          {32644, "sb_h_double_arrow"},
                          {32645, "sb_v_double_arrow"},
                          {32646, "fleur"},
                          {32648, "crossed_circle"},
                          {32649, "hand2"},
                          {32650, "left_ptr_watch"}};
        const char* name = "left_ptr";
        for (const auto& t : themeNames)
            if (cursor && cursor == LoadCursorA(nullptr, MAKEINTRESOURCEA(t.id))) name = t.name;
        auto found = cursorIds_.find(name);
        if (found == cursorIds_.end())
            found = cursorIds_.emplace(name, xcb_cursor_load_cursor(cursors_, name)).first;
        for (const auto& [hwnd, top] : tops_)
            xcb_change_window_attributes(conn_, top.id, XCB_CW_CURSOR, &found->second);
    }

    // A window holding the capture gets the pointer wherever it goes.
    void grabForCapture() {
        HWND capture = GetCapture();
        auto top = capture ? tops_.find(GetAncestor(capture, GA_ROOT)) : tops_.end();
        const xcb_window_t want = top != tops_.end() ? top->second.id : 0;
        if (want == grabbed_) return;
        if (grabbed_) xcb_ungrab_pointer(conn_, XCB_CURRENT_TIME);
        grabbed_ = 0;
        if (!want) return;
        const uint16_t mask = XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                              XCB_EVENT_MASK_POINTER_MOTION;
        xcb_grab_pointer_reply_t* r = xcb_grab_pointer_reply(
            conn_,
            xcb_grab_pointer(conn_, 1, want, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC,
                             XCB_NONE, XCB_NONE, XCB_CURRENT_TIME),
            nullptr);
        if (r && r->status == XCB_GRAB_STATUS_SUCCESS) grabbed_ = want;
        free(r);
    }

    // Composes the window and puts the rows that differ from what the server shows.
    void present(HWND hwnd, TopWindow& top) {
        const int w = top.rect.right - top.rect.left, h = top.rect.bottom - top.rect.top;
        if (w <= 0 || h <= 0) return;
        const uint32_t* bits = compose(hwnd, w, h);
        if (!bits) return;
        const size_t count = size_t(w) * size_t(h);
        const bool fresh = top.shown.size() != count;
        if (fresh) top.shown.assign(count, 0);
        int first = -1;
        for (int y = 0; y <= h; ++y) {
            const bool differs =
                y < h && (fresh || std::memcmp(&top.shown[size_t(y) * size_t(w)],
                                               bits + size_t(y) * size_t(w), size_t(w) * 4) != 0);
            if (differs && first < 0) first = y;
            if (!differs && first >= 0) {
                std::memcpy(&top.shown[size_t(first) * size_t(w)], bits + size_t(first) * size_t(w),
                            size_t(y - first) * size_t(w) * 4);
                put(top, first, y);
                first = -1;
            }
        }
    }

    // The window's picture in the compose buffer, rows top-down.
    const uint32_t* compose(HWND hwnd, int w, int h) {
        if (w != composeW_ || h != composeH_) {
            if (composeBitmap_) DeleteObject(composeBitmap_);
            if (!composeDc_) composeDc_ = CreateCompatibleDC(nullptr);
            BITMAPINFO info{};
            info.bmiHeader.biSize = sizeof info.bmiHeader;
            info.bmiHeader.biWidth = w;
            info.bmiHeader.biHeight = -h;
            info.bmiHeader.biPlanes = 1;
            info.bmiHeader.biBitCount = 32;
            info.bmiHeader.biCompression = BI_RGB;
            void* bits = nullptr;
            composeBitmap_ = CreateDIBSection(composeDc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
            composeBits_ = static_cast<uint32_t*>(bits);
            if (!composeBitmap_ || !composeBits_) {
                composeW_ = composeH_ = 0;
                return nullptr;
            }
            SelectObject(composeDc_, composeBitmap_);
            composeW_ = w;
            composeH_ = h;
        }
        SdComposeWindow(hwnd, composeDc_);
        return composeBits_;
    }

    void release(TopWindow& top) {
        if (!top.shared) return;
        if (!xcb_connection_has_error(conn_)) xcb_shm_detach(conn_, top.segment);
        shmdt(top.shared);
        top.shared = nullptr;
        top.sharedSize = 0;
    }

    // A shared segment of the picture's size; false (and put_image from then on) when the
    // server cannot attach it, as across hosts.
    bool share(TopWindow& top, size_t size) {
        if (top.shared && top.sharedSize == size) return true;
        release(top);
        if (!shm_) return false;
        const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
        if (id < 0) return false;
        void* address = shmat(id, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            shmctl(id, IPC_RMID, nullptr);
            return false;
        }
        const xcb_shm_seg_t segment = xcb_generate_id(conn_);
        xcb_generic_error_t* error =
            xcb_request_check(conn_, xcb_shm_attach_checked(conn_, segment, uint32_t(id), 0));
        shmctl(id, IPC_RMID, nullptr); // gone once both sides detach
        if (error) {
            free(error);
            shmdt(address);
            shm_ = false;
            return false;
        }
        top.segment = segment;
        top.shared = static_cast<uint8_t*>(address);
        top.sharedSize = size;
        return true;
    }

    // Rows [from, to) of the shown picture: from shared memory, else in strips under the
    // request limit.
    void put(TopWindow& top, int from, int to) {
        const int w = top.rect.right - top.rect.left;
        const int h = top.rect.bottom - top.rect.top;
        // A size the user just gave is shown with the next picture.
        if (from >= to || top.shown.size() != size_t(w) * size_t(h)) return;
        if (share(top, top.shown.size() * 4)) {
            const size_t offset = size_t(from) * size_t(w) * 4;
            std::memcpy(top.shared + offset,
                        reinterpret_cast<const uint8_t*>(top.shown.data()) + offset,
                        size_t(to - from) * size_t(w) * 4);
            xcb_shm_put_image(conn_, top.id, gc_, uint16_t(w), uint16_t(h), 0, uint16_t(from),
                              uint16_t(w), uint16_t(to - from), 0, int16_t(from),
                              screen_->root_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, top.segment, 0);
            return;
        }
        const size_t rowBytes = size_t(w) * 4;
        const int rowsPerStrip = int(std::max<size_t>(1, (maxRequestBytes_ - 64) / rowBytes));
        for (int y = from; y < to; y += rowsPerStrip) {
            const int rows = std::min(rowsPerStrip, to - y);
            xcb_put_image(conn_, XCB_IMAGE_FORMAT_Z_PIXMAP, top.id, gc_, uint16_t(w),
                          uint16_t(rows), 0, int16_t(y), 0, screen_->root_depth,
                          uint32_t(rowBytes * size_t(rows)),
                          reinterpret_cast<const uint8_t*>(&top.shown[size_t(y) * size_t(w)]));
        }
    }

    HWND windowOf(xcb_window_t id) const {
        for (const auto& [hwnd, top] : tops_)
            if (top.id == id) return hwnd;
        return nullptr;
    }

    POINT screenPoint(xcb_window_t id, int x, int y) const {
        for (const auto& [hwnd, top] : tops_)
            if (top.id == id) return POINT{top.rect.left + x, top.rect.top + y};
        return POINT{x, y};
    }

    bool readEvents() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(conn_)) {
            handle(event);
            free(event);
        }
        return !xcb_connection_has_error(conn_);
    }

    void handle(xcb_generic_event_t* event) {
        const uint8_t type = event->response_type & 0x7f;
        if (xkb_ && type == xkbEvent_) {
            handleXkb(event);
            return;
        }
        if (clipboard_->handle(event)) return;
        switch (type) {
        case XCB_EXPOSE: {
            auto* e = reinterpret_cast<xcb_expose_event_t*>(event);
            // The kept picture again; no window procedure runs.
            for (auto& [hwnd, top] : tops_)
                if (top.id == e->window && !top.shown.empty()) {
                    const int h = top.rect.bottom - top.rect.top;
                    put(top, std::min<int>(e->y, h), std::min<int>(e->y + e->height, h));
                }
            break;
        }
        case XCB_MAP_NOTIFY: {
            // The user restored a minimised window from the window manager's icon.
            auto* e = reinterpret_cast<xcb_map_notify_event_t*>(event);
            HWND hwnd = windowOf(e->window);
            if (hwnd && tops_[hwnd].iconic && IsIconic(hwnd)) {
                tops_[hwnd].iconic = false;
                ShowWindow(hwnd, SW_RESTORE);
            }
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(event);
            HWND hwnd = windowOf(e->window);
            if (!hwnd) break;
            TopWindow& top = tops_[hwnd];
            // Only a managed window's moves come from the user; the position is the root's.
            int x = top.rect.left, y = top.rect.top;
            if (e->response_type & 0x80) { // sent by the window manager
                x = e->x;
                y = e->y;
            }
            const RECT r{x, y, x + e->width, y + e->height};
            if (EqualRect(&r, &top.rect)) break;
            top.rect = r; // taken as shown: SetWindowPos is not echoed back
            SetWindowPos(hwnd, nullptr, x, y, e->width, e->height, SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
        case XCB_FOCUS_IN:
        case XCB_FOCUS_OUT: {
            auto* e = reinterpret_cast<xcb_focus_in_event_t*>(event);
            if (e->mode == XCB_NOTIFY_MODE_GRAB || e->mode == XCB_NOTIFY_MODE_UNGRAB) break;
            if (e->detail == XCB_NOTIFY_DETAIL_POINTER) break;
            if (HWND hwnd = windowOf(e->event)) focusChanged(hwnd, type == XCB_FOCUS_IN);
            break;
        }
        case XCB_CLIENT_MESSAGE: {
            auto* e = reinterpret_cast<xcb_client_message_event_t*>(event);
            if (e->type == wmProtocols_ && e->data.data32[0] == wmDelete_)
                if (HWND hwnd = windowOf(e->window)) PostMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
        case XCB_MOTION_NOTIFY: {
            auto* e = reinterpret_cast<xcb_motion_notify_event_t*>(event);
            SdRouteMouse(WM_MOUSEMOVE, screenPoint(e->event, e->event_x, e->event_y));
            break;
        }
        case XCB_ENTER_NOTIFY: {
            auto* e = reinterpret_cast<xcb_enter_notify_event_t*>(event);
            SdRouteMouse(WM_MOUSEMOVE, screenPoint(e->event, e->event_x, e->event_y));
            break;
        }
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE: {
            auto* e = reinterpret_cast<xcb_button_press_event_t*>(event);
            const bool down = type == XCB_BUTTON_PRESS;
            const POINT at = screenPoint(e->event, e->event_x, e->event_y);
            if (e->detail == 4 || e->detail == 5) {
                if (!down) break;
                HWND focus = GetFocus();
                if (!focus) break;
                WPARAM flags = 0;
                if (e->state & XCB_MOD_MASK_SHIFT) flags |= MK_SHIFT;
                if (e->state & XCB_MOD_MASK_CONTROL) flags |= MK_CONTROL;
                const short delta = e->detail == 4 ? 120 : -120;
                PostMessageA(focus, WM_MOUSEWHEEL, MAKEWPARAM(WORD(flags), WORD(delta)),
                             MAKELPARAM(WORD(at.x), WORD(at.y)));
                break;
            }
            UINT message = 0;
            if (e->detail == 1) message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            if (e->detail == 2) message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
            if (e->detail == 3) message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            if (message) SdRouteMouse(message, at);
            break;
        }
        case XCB_KEY_PRESS:
        case XCB_KEY_RELEASE:
            handleKey(reinterpret_cast<xcb_key_press_event_t*>(event), type == XCB_KEY_PRESS);
            break;
        default:
            break;
        }
    }

    // A key: its virtual key by the table (the first level's symbol, else its place), the
    // character of the layout with compose applied, in the ANSI code page.
    void handleKey(const xcb_key_press_event_t* e, bool down) {
        if (!keyState_) return;
        const xkb_keycode_t code = e->detail;
        const xkb_keysym_t sym = xkb_state_key_get_one_sym(keyState_, code);
        int vk = virtualKeyOf(sym);
        if (!vk || (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) {
            // Letters and digits by the layout's unshifted symbol, whatever level is active.
            const xkb_keysym_t* syms = nullptr;
            const xkb_layout_index_t layout = xkb_state_key_get_layout(keyState_, code);
            const int n = xkb_keymap_key_get_syms_by_level(keymap_, code, layout, 0, &syms);
            const int first = n > 0 ? virtualKeyOf(syms[0]) : 0;
            if (first)
                vk = first;
            else if (!vk)
                vk = virtualKeyAt(code);
        }
        const bool repeat = down && keysDown_[code];
        keysDown_[code] = down;
        int character = -1;
        if (down) {
            uint32_t utf32 = 0;
            xkb_compose_status status = XKB_COMPOSE_NOTHING;
            if (compose_ && xkb_compose_state_feed(compose_, sym) == XKB_COMPOSE_FEED_ACCEPTED)
                status = xkb_compose_state_get_status(compose_);
            if (status == XKB_COMPOSE_CANCELLED) xkb_compose_state_reset(compose_);
            if (status == XKB_COMPOSE_COMPOSING || status == XKB_COMPOSE_CANCELLED) {
                // A dead key gives its character with the next key.
            } else if (status == XKB_COMPOSE_COMPOSED) {
                utf32 = xkb_keysym_to_utf32(xkb_compose_state_get_one_sym(compose_));
                xkb_compose_state_reset(compose_);
            } else {
                utf32 = xkb_state_key_get_utf32(keyState_, code);
            }
            if (utf32) character = ansiOf(utf32);
        }
        if (!vk && character < 0) return; // nothing a window could use
        const bool alt =
            xkb_state_mod_name_is_active(keyState_, XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE) > 0;
        const bool control = xkb_state_mod_name_is_active(keyState_, XKB_MOD_NAME_CTRL,
                                                          XKB_STATE_MODS_EFFECTIVE) > 0;
        // The Alt key: a system key, except that its release after a combination is a plain
        // one. AltGr stands for Ctrl+Alt, which makes no system keys.
        const bool altKey = sym == XKB_KEY_Alt_L || sym == XKB_KEY_Alt_R;
        bool sys = (alt && !control && vk != VK_MENU) || vk == VK_F10;
        if (altKey) {
            sys = down || !altCombined_;
            if (down) altCombined_ = false;
        } else if (alt && down) {
            altCombined_ = true;
        }
        const UINT message =
            down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
        uint32_t flags = 1 | (uint32_t(code > 8 ? code - 8 : 0) & 0xFF) << 16;
        if (extendedKeyAt(code)) flags |= 1u << 24;
        if (alt && !control && !(altKey && !down)) flags |= 1u << 29;
        if (repeat || !down) flags |= 1u << 30;
        if (!down) flags |= 1u << 31;
        SdRouteDisplayKey(message, vk, LPARAM(flags), character);
    }

    // The ANSI code page's byte for a character: '?' where it has none.
    static int ansiOf(uint32_t utf32) {
        if (utf32 < 0x80) return int(utf32);
        if (utf32 > 0xFFFF) return '?';
        const char16_t wide = char16_t(utf32);
        char out[4] = {};
        BOOL defaulted = FALSE;
        const int n = WideCharToMultiByte(CP_ACP, 0, &wide, 1, out, sizeof out, "?", &defaulted);
        return n == 1 && !defaulted ? int(BYTE(out[0])) : '?';
    }

    void setUpCompose() {
        const char* locale = std::getenv("LC_ALL");
        if (!locale || !*locale) locale = std::getenv("LC_CTYPE");
        if (!locale || !*locale) locale = std::getenv("LANG");
        if (!locale || !*locale || !std::strcmp(locale, "C") || !std::strcmp(locale, "POSIX"))
            locale = "en_US.UTF-8";
        xkb_compose_table* table =
            xkb_compose_table_new_from_locale(xkb_, locale, XKB_COMPOSE_COMPILE_NO_FLAGS);
        if (!table) return;
        compose_ = xkb_compose_state_new(table, XKB_COMPOSE_STATE_NO_FLAGS);
        xkb_compose_table_unref(table);
    }

    void handleXkb(xcb_generic_event_t* event) {
        // Every XKB event shares this head; its second byte says which it is.
        struct Head {
            uint8_t response_type, xkbType;
            uint16_t sequence;
            xcb_timestamp_t time;
            uint8_t deviceID;
        };
        const auto* head = reinterpret_cast<const Head*>(event);
        if (head->deviceID != deviceId_) return;
        if (head->xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY || head->xkbType == XCB_XKB_MAP_NOTIFY) {
            reloadKeymap();
        } else if (head->xkbType == XCB_XKB_STATE_NOTIFY && keyState_) {
            auto* e = reinterpret_cast<xcb_xkb_state_notify_event_t*>(event);
            xkb_state_update_mask(keyState_, e->baseMods, e->latchedMods, e->lockedMods,
                                  xkb_layout_index_t(e->baseGroup),
                                  xkb_layout_index_t(e->latchedGroup),
                                  xkb_layout_index_t(e->lockedGroup));
        }
    }

    xcb_connection_t* conn_;
    xcb_screen_t* screen_;
    int wakeFd_ = -1;
    xcb_gcontext_t gc_ = 0;
    size_t maxRequestBytes_ = 0;
    std::map<HWND, TopWindow> tops_;
    xcb_cursor_context_t* cursors_ = nullptr;
    std::map<std::string, xcb_cursor_t> cursorIds_; // theme cursors by name, loaded once
    HCURSOR shownCursor_ = nullptr;
    bool newWindows_ = false;
    bool pumping_ = false;
    bool shm_ = false; // the server takes pictures through shared memory
    std::unique_ptr<XcbClipboard> clipboard_;
    xcb_window_t grabbed_ = 0; // the window grabbing the pointer for the capture
    HDC composeDc_ = nullptr;
    HBITMAP composeBitmap_ = nullptr;
    uint32_t* composeBits_ = nullptr;
    int composeW_ = 0, composeH_ = 0;
    xkb_context* xkb_ = nullptr;
    xkb_keymap* keymap_ = nullptr;
    xkb_state* keyState_ = nullptr;
    xkb_compose_state* compose_ = nullptr;
    std::bitset<256> keysDown_;
    bool altCombined_ = false; // a key went down while Alt was held
    int32_t deviceId_ = -1;
    uint8_t xkbEvent_ = 0;
    xcb_atom_t wmProtocols_, wmDelete_, wmTransientFor_, netName_, utf8_, netType_, typeNormal_,
        typeDialog_, typeUtility_, netState_, stateModal_, motifHints_, wmChangeState_ = 0;
};

} // namespace

} // namespace sdxcb

extern "C" __attribute__((visibility("default"))) SdDisplayBackend*
SdCreateDisplayBackend(const char* display, char* reason, size_t reasonSize) {
    auto fail = [&](const char* why) -> SdDisplayBackend* {
        if (reason && reasonSize) std::snprintf(reason, reasonSize, "%s", why);
        return nullptr;
    };
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return fail("cannot connect to the X server");
    }
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber && it.rem; ++i)
        xcb_screen_next(&it);
    xcb_screen_t* screen = it.rem ? it.data : nullptr;
    if (!screen || (screen->root_depth != 24 && screen->root_depth != 32)) {
        xcb_disconnect(c);
        return fail("the screen is not TrueColor at 24 or 32 bits");
    }
    return new sdxcb::XcbBackend(c, screen);
}
