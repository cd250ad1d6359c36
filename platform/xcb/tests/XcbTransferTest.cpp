// The clipboard between processes on the display (INCR, pictures, owners that do not answer)
// and the picture conversions it uses.

#include <unistd.h>

#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "../src/ClipboardImage.h"
#include "../src/UriList.h"
#include "../src/XcbClipboard.h"
#include "testing/PlatformTest.h"
#include "testing/XvfbServer.h"
#include "win32/DisplayBackend.h"
#include "win32/clipboard.h"
#include "win32/kernel.h"
#include "win32/shellapi.h"
#include "win32/wingdi.h"

namespace transfer_test {

bool HaveXclip() {
    return std::system("command -v xclip >/dev/null 2>&1") == 0;
}

std::string Dib(int w, int h, int bits, const std::vector<uint8_t>& rows, bool topDown = false) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = w;
    header.biHeight = topDown ? -h : h;
    header.biPlanes = 1;
    header.biBitCount = WORD(bits);
    header.biCompression = BI_RGB;
    std::string out(reinterpret_cast<const char*>(&header), sizeof header);
    out.append(reinterpret_cast<const char*>(rows.data()), rows.size());
    return out;
}

HGLOBAL Global(const std::string& bytes) {
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, std::max<size_t>(1, bytes.size()));
    std::memcpy(GlobalLock(mem), bytes.data(), bytes.size());
    GlobalUnlock(mem);
    return mem;
}

std::string Bytes(HGLOBAL mem) {
    if (!mem) return {};
    std::string out(static_cast<const char*>(GlobalLock(mem)), GlobalSize(mem));
    GlobalUnlock(mem);
    return out;
}

// The packed bitmap with biSizeImage cleared (0 and the rows' size mean the same).
std::string Picture(std::string dib) {
    if (dib.size() >= 24) dib.replace(20, 4, 4, '\0');
    return dib;
}

// 2 x 2 at 24 bits, bottom-up: blue, green / red, white (rows padded to 8 bytes).
const std::vector<uint8_t> kRows24 = {0xFF, 0, 0,    0,    0xFF, 0,    0, 0,
                                      0,    0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0};

TEST(ClipboardImageTest, ADibBecomesABitmapFileByteForByte) {
    const std::string dib = Dib(2, 2, 24, kRows24);
    const std::string bmp = sdxcb::BmpFromDib(dib.data(), dib.size());
    const std::string head("BM\x46\0\0\0\0\0\0\0\x36\0\0\0", 14);
    EXPECT_EQ(bmp, head + dib);
    // A colour table moves the rows: 1 bit, two entries.
    std::string mono = Dib(1, 1, 1, {0x80, 0, 0, 0});
    mono.insert(40, std::string("\0\0\0\0\xFF\xFF\xFF\0", 8));
    EXPECT_EQ(uint8_t(sdxcb::BmpFromDib(mono.data(), mono.size())[10]), 14 + 40 + 8);
    HGLOBAL back = sdxcb::DibFromBmp(bmp);
    EXPECT_EQ(Bytes(back), dib);
    GlobalFree(back);
}

TEST(ClipboardImageTest, PngRoundTripsKeepThePixelsWhateverTheDibsLayout) {
    // The same picture as 32 bits top-down: the encoder's own form comes back.
    const std::vector<uint8_t> rows32 = {0,    0, 0xFF, 0, 0xFF, 0xFF, 0xFF, 0,
                                         0xFF, 0, 0,    0, 0,    0xFF, 0,    0};
    const std::string expected = Dib(2, 2, 24, kRows24);
    for (const std::string& dib : {expected, Dib(2, 2, 32, rows32, true)}) {
        const std::string png = sdxcb::PngFromDib(dib.data(), dib.size());
        ASSERT_EQ(png.substr(1, 3), "PNG");
        HGLOBAL back = sdxcb::DibFromPng(png);
        const std::string got = Bytes(back);
        GlobalFree(back);
        ASSERT_GE(got.size(), 40u + kRows24.size());
        EXPECT_EQ(got.substr(got.size() - kRows24.size()),
                  std::string(kRows24.begin(), kRows24.end()));
    }
}

TEST(ClipboardImageTest, DamagedPicturesGiveNothing) {
    const std::string dib = Dib(2, 2, 24, kRows24);
    const std::string png = sdxcb::PngFromDib(dib.data(), dib.size());
    const std::string bmp = sdxcb::BmpFromDib(dib.data(), dib.size());
    std::string hugeHeader = dib;
    hugeHeader[0] = char(200); // header past the data
    std::string shortRows = dib.substr(0, dib.size() - 4);
    EXPECT_TRUE(sdxcb::BmpFromDib(dib.data(), 20).empty());
    EXPECT_TRUE(sdxcb::BmpFromDib(hugeHeader.data(), hugeHeader.size()).empty());
    EXPECT_TRUE(sdxcb::PngFromDib(hugeHeader.data(), hugeHeader.size()).empty());
    EXPECT_TRUE(sdxcb::PngFromDib(shortRows.data(), shortRows.size()).empty());
    for (const std::string& bad :
         {png.substr(0, png.size() / 2), std::string("\x89PNG"), bmp.substr(0, 30),
          std::string("BM") + std::string(40, '\xFF'), std::string()}) {
        EXPECT_EQ(sdxcb::DibFromPng(bad), nullptr);
        EXPECT_EQ(sdxcb::DibFromBmp(bad), nullptr);
    }
}

// Another client on the display, on a thread of its own, while the test pumps ours.
class OtherClient {
public:
    OtherClient() {
        conn = xcb_connect(XvfbServer::Shared().Name().c_str(), nullptr);
        xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
        window = xcb_generate_id(conn);
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(conn, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                          &mask);
        clipboard = Atom("CLIPBOARD");
        property = Atom("OTHER_PROPERTY");
        incr = Atom("INCR");
    }
    ~OtherClient() { xcb_disconnect(conn); }

    xcb_atom_t Atom(const char* name) {
        auto* r = xcb_intern_atom_reply(
            conn, xcb_intern_atom(conn, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : 0;
        free(r);
        return a;
    }

    // Waits at most 5 s for an event of the type.
    xcb_generic_event_t* Next(uint8_t type) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            if (xcb_generic_event_t* e = xcb_poll_for_event(conn)) {
                if ((e->response_type & 0x7f) == type) return e;
                free(e);
                continue;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return nullptr;
    }

    // Reads the clipboard as target: its type, its bytes and how many steps they came in.
    struct Read {
        xcb_atom_t type = 0;
        std::string bytes;
        int steps = 0;
        bool ok = false;
    };
    Read Convert(xcb_atom_t target) {
        Read out;
        xcb_convert_selection(conn, window, clipboard, target, property, XCB_CURRENT_TIME);
        xcb_flush(conn);
        xcb_generic_event_t* e = Next(XCB_SELECTION_NOTIFY);
        if (!e) return out;
        const bool refused = reinterpret_cast<xcb_selection_notify_event_t*>(e)->property == 0;
        free(e);
        if (refused) return out;
        for (;;) {
            auto* r = xcb_get_property_reply(
                conn, xcb_get_property(conn, 1, window, property, 0, 0, 0x4000000), nullptr);
            if (!r) return out;
            const std::string part(static_cast<const char*>(xcb_get_property_value(r)),
                                   size_t(xcb_get_property_value_length(r)));
            if (out.steps == 0) out.type = r->type;
            free(r);
            xcb_flush(conn);
            ++out.steps;
            if (out.type != incr) {
                out.bytes = part;
                break;
            }
            if (out.steps > 1 && part.empty()) break;
            if (out.steps > 1) out.bytes += part;
            // The next step: our property written again.
            for (;;) {
                xcb_generic_event_t* p = Next(XCB_PROPERTY_NOTIFY);
                if (!p) return out;
                auto* pe = reinterpret_cast<xcb_property_notify_event_t*>(p);
                const bool next = pe->atom == property && pe->state == XCB_PROPERTY_NEW_VALUE;
                free(p);
                if (next) break;
            }
        }
        out.ok = true;
        return out;
    }

    xcb_connection_t* conn = nullptr;
    xcb_window_t window = 0;
    xcb_atom_t clipboard = 0, property = 0, incr = 0;
};

class XcbTransferTest : public PlatformTest {
protected:
    void SetUp() override {
        PlatformTest::SetUp();
        if (!XvfbServer::Shared().WhyNot().empty()) GTEST_SKIP() << XvfbServer::Shared().WhyNot();
        char reason[256] = {};
        ASSERT_TRUE(SdConnectDisplay(XvfbServer::Shared().Name().c_str(), reason, sizeof reason))
            << reason;
    }
    void TearDown() override {
        SdDisconnectDisplay();
        PlatformTest::TearDown();
    }

    static void Put(UINT format, const std::string& bytes) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(format, Global(bytes));
        CloseClipboard();
    }

    // Runs work on a thread while the test pumps the display (10 s at most).
    static void WhilePumping(const std::function<void()>& work) {
        std::atomic<bool> done{false};
        std::thread runner([&] {
            work();
            done = true;
        });
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done && std::chrono::steady_clock::now() < end)
            SdDisplayPump(20);
        runner.join();
    }

    static std::string Run(const std::string& command) {
        std::string output;
        WhilePumping([&] {
            if (FILE* f = popen(command.c_str(), "r")) {
                char buffer[65536];
                size_t n;
                while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
                    output.append(buffer, n);
                pclose(f);
            }
        });
        return output;
    }

    // What the layer's clipboard holds in format once another program's data arrived.
    static std::string Pasted(UINT format) {
        std::string pasted;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pasted.empty() && std::chrono::steady_clock::now() < end) {
            SdDisplayPump(20);
            if (!OpenClipboard(nullptr)) continue;
            if (GetClipboardOwner() == nullptr) pasted = Bytes(GetClipboardData(format));
            CloseClipboard();
        }
        return pasted;
    }

    std::string Xclip() const {
        return "xclip -display " + XvfbServer::Shared().Name() + " -selection clipboard";
    }
};

// 10 MB of text, no two 64 KB stretches alike.
std::string LargeText() {
    std::string text;
    text.reserve(10u << 20);
    for (unsigned i = 0; text.size() < (10u << 20); ++i)
        text += std::to_string(i * 2654435761u) + (i % 7 ? " " : "\n");
    return text;
}

TEST_F(XcbTransferTest, LargeDataGoesInIncrStepsAndSmallDataWhole) {
    const UINT format = RegisterClipboardFormatA("SignDesk Transfer Objects");
    std::string large(3 * sdxcb::XcbClipboard::kIncrStep + 5, '\0');
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = char(i * 7 + i / 251);
    OtherClient other;
    const xcb_atom_t name = other.Atom("SignDesk Transfer Objects");
    struct Case {
        std::string bytes;
        int steps;
    } cases[] = {{"small", 1}, {large, 1 + 4 + 1}};
    for (const Case& c : cases) {
        Put(format, c.bytes);
        OtherClient::Read got;
        WhilePumping([&] { got = other.Convert(name); });
        ASSERT_TRUE(got.ok);
        EXPECT_EQ(got.steps, c.steps);
        EXPECT_EQ(got.type, c.steps == 1 ? name : other.incr);
        EXPECT_TRUE(got.bytes == c.bytes) << got.bytes.size() << " bytes";
    }
}

TEST_F(XcbTransferTest, TenMegabytesOfTextGoBothWaysWithXclip) {
    if (!HaveXclip()) GTEST_SKIP() << "xclip is not installed";
    const std::string text = LargeText();
    std::string crlf;
    crlf.reserve(text.size() * 2);
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    Put(CF_TEXT, crlf + '\0');
    const std::string out = Run(Xclip() + " -o -t UTF8_STRING");
    EXPECT_TRUE(out == text) << out.size() << " bytes of " << text.size();
    // Theirs: in the foreground, ended when we take the clipboard back. Ours is emptied
    // first, so that what is pasted can only be theirs.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    const std::string file = (DataFolder() / "large.txt").string();
    FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    std::thread giver([&] {
        (void)!std::system(
            ("timeout 20 " + Xclip() + " -i -quiet -t UTF8_STRING " + file + " >/dev/null 2>&1")
                .c_str());
    });
    const std::string pasted = Pasted(CF_TEXT);
    Put(CF_TEXT, std::string("back", 5));
    SdDisplayPump(0);
    giver.join();
    EXPECT_TRUE(pasted == crlf + '\0') << pasted.size() << " bytes of " << crlf.size();
}

TEST_F(XcbTransferTest, APngFromAnotherProgramPastesAsADibAndOursIsOfferedAsPngAndBmp) {
    if (!HaveXclip()) GTEST_SKIP() << "xclip is not installed";
    const std::string dib = Dib(2, 2, 24, kRows24);
    const std::string png = sdxcb::PngFromDib(dib.data(), dib.size());
    const std::string file = (DataFolder() / "picture.png").string();
    FILE* f = std::fopen(file.c_str(), "wb");
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
    std::thread giver([&] {
        (void)!std::system(
            ("timeout 20 " + Xclip() + " -i -quiet -t image/png " + file + " >/dev/null 2>&1")
                .c_str());
    });
    // Offered before the clipboard is opened, as a paste command's state asks.
    bool offered = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!offered && std::chrono::steady_clock::now() < end) {
        SdDisplayPump(20);
        offered = IsClipboardFormatAvailable(CF_DIB);
    }
    EXPECT_TRUE(offered);
    const std::string pasted = Pasted(CF_DIB);
    // Taking the clipboard back ends the other program.
    Put(CF_DIB, dib);
    SdDisplayPump(0);
    giver.join();
    EXPECT_EQ(Picture(pasted), dib);
    // Ours to them, each encoding.
    const std::string targets = Run(Xclip() + " -o -t TARGETS");
    EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
    EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;
    const std::string theirsPng = Run(Xclip() + " -o -t image/png");
    HGLOBAL decoded = sdxcb::DibFromPng(theirsPng);
    EXPECT_EQ(Picture(Bytes(decoded)), dib);
    GlobalFree(decoded);
    EXPECT_EQ(Run(Xclip() + " -o -t image/bmp"), sdxcb::BmpFromDib(dib.data(), dib.size()));
}

TEST_F(XcbTransferTest, AnOwnerThatNeverAnswersCostsABoundedWaitAndLeavesTheClipboard) {
    Put(CF_TEXT, std::string("kept", 5));
    OtherClient silent;
    xcb_set_selection_owner(silent.conn, silent.window, silent.clipboard, XCB_CURRENT_TIME);
    xcb_flush(silent.conn);
    xcb_get_input_focus_reply_t* sync =
        xcb_get_input_focus_reply(silent.conn, xcb_get_input_focus(silent.conn), nullptr);
    free(sync);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(OpenClipboard(nullptr));
    const std::string text = Bytes(GetClipboardData(CF_TEXT));
    CloseClipboard();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_LT(waited, std::chrono::seconds(4));
    EXPECT_EQ(text, std::string("kept", 5));
    // Asked once per owner: opening again does not wait.
    const auto again = std::chrono::steady_clock::now();
    ASSERT_TRUE(OpenClipboard(nullptr));
    CloseClipboard();
    EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::milliseconds(500));
}

TEST(XdndPathsTest, LocalFileEntriesArePercentDecodedInOrder) {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    const std::string list = std::string("# a comment\r\n") +
                             "file:///tmp/sd%20drop/one.txt\r\n"
                             "http://example.com/x.txt\r\n"
                             "file://localhost/tmp/two.txt\r\n"
                             "file://" +
                             host +
                             "/tmp/three%25.txt\n"
                             "file://elsewhere.example/tmp/four.txt\r\n"
                             "file:///tmp/bad%2.txt\r\n"
                             "file:///tmp/nul%00.txt\r\n"
                             "file:relative.txt\r\n"
                             "FILE:/tmp/five.txt?query";
    EXPECT_EQ(sdxcb::LocalPathsOfUriList(list),
              (std::vector<std::string>{"/tmp/sd drop/one.txt", "/tmp/two.txt", "/tmp/three%.txt",
                                        "/tmp/five.txt"}));
    EXPECT_TRUE(sdxcb::LocalPathsOfUriList("").empty());
}

TEST_F(XcbTransferTest, AnIncrOwnerThatStopsHalfWayGivesNothingWithinTheBound) {
    Put(CF_TEXT, std::string("kept", 5));
    OtherClient owner;
    const xcb_atom_t targets = owner.Atom("TARGETS"), utf8 = owner.Atom("UTF8_STRING");
    xcb_set_selection_owner(owner.conn, owner.window, owner.clipboard, XCB_CURRENT_TIME);
    free(xcb_get_input_focus_reply(owner.conn, xcb_get_input_focus(owner.conn), nullptr));
    std::atomic<bool> stop{false};
    // Lists its text, announces 1 MB by INCR, gives one step and no more.
    std::thread serving([&] {
        xcb_window_t requestor = 0;
        xcb_atom_t property = 0;
        int steps = 0;
        while (!stop) {
            xcb_generic_event_t* e = xcb_poll_for_event(owner.conn);
            if (!e) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const uint8_t type = e->response_type & 0x7f;
            if (type == XCB_SELECTION_REQUEST) {
                auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
                xcb_selection_notify_event_t reply{};
                reply.response_type = XCB_SELECTION_NOTIFY;
                reply.requestor = r->requestor;
                reply.selection = r->selection;
                reply.target = r->target;
                reply.property = r->property;
                if (r->target == targets) {
                    const xcb_atom_t list[] = {targets, utf8};
                    xcb_change_property(owner.conn, XCB_PROP_MODE_REPLACE, r->requestor,
                                        r->property, XCB_ATOM_ATOM, 32, 2, list);
                } else {
                    requestor = r->requestor;
                    property = r->property;
                    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                    xcb_change_window_attributes(owner.conn, requestor, XCB_CW_EVENT_MASK, &mask);
                    const uint32_t size = 1u << 20;
                    xcb_change_property(owner.conn, XCB_PROP_MODE_REPLACE, requestor, property,
                                        owner.incr, 32, 1, &size);
                }
                xcb_send_event(owner.conn, 0, r->requestor, XCB_EVENT_MASK_NO_EVENT,
                               reinterpret_cast<const char*>(&reply));
                xcb_flush(owner.conn);
            } else if (type == XCB_PROPERTY_NOTIFY) {
                auto* p = reinterpret_cast<xcb_property_notify_event_t*>(e);
                if (p->window == requestor && p->atom == property &&
                    p->state == XCB_PROPERTY_DELETE && steps++ == 0) {
                    xcb_change_property(owner.conn, XCB_PROP_MODE_REPLACE, requestor, property,
                                        utf8, 8, 5, "first");
                    xcb_flush(owner.conn);
                }
            }
            free(e);
        }
    });
    SdDisplayPump(0);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(OpenClipboard(nullptr));
    const std::string text = Bytes(GetClipboardData(CF_TEXT));
    CloseClipboard();
    const auto waited = std::chrono::steady_clock::now() - start;
    stop = true;
    serving.join();
    EXPECT_GT(waited, std::chrono::milliseconds(1500)); // it did wait for the next step
    EXPECT_LT(waited, std::chrono::seconds(4));
    EXPECT_EQ(text, std::string("kept", 5)); // not "first", not half a text
}

TEST_F(XcbTransferTest, ARequestorThatStopsTakingStepsHoldsUpNoOne) {
    const UINT format = RegisterClipboardFormatA("SignDesk Transfer Objects");
    const std::string large(2 * sdxcb::XcbClipboard::kIncrStep, 'x');
    Put(format, large);
    OtherClient stalled, later;
    const xcb_atom_t name = stalled.Atom("SignDesk Transfer Objects");
    // Asks, takes the size and never deletes it.
    xcb_convert_selection(stalled.conn, stalled.window, stalled.clipboard, name, stalled.property,
                          XCB_CURRENT_TIME);
    xcb_flush(stalled.conn);
    xcb_generic_event_t* answer = nullptr;
    WhilePumping([&] { answer = stalled.Next(XCB_SELECTION_NOTIFY); });
    ASSERT_NE(answer, nullptr);
    free(answer);
    OtherClient::Read got;
    WhilePumping([&] { got = later.Convert(name); });
    EXPECT_TRUE(got.ok);
    EXPECT_TRUE(got.bytes == large) << got.bytes.size();
}

std::vector<std::vector<std::string>>& Drops() {
    static std::vector<std::vector<std::string>> drops;
    return drops;
}

std::vector<POINT>& DropPoints() {
    static std::vector<POINT> points;
    return points;
}

std::vector<HWND>& DropWindows() {
    static std::vector<HWND> windows;
    return windows;
}

LRESULT CALLBACK DropProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DROPFILES) {
        HDROP drop = HDROP(wParam);
        std::vector<std::string> paths;
        const UINT n = DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0);
        for (UINT i = 0; i < n; ++i) {
            char path[512] = {};
            DragQueryFileA(drop, i, path, sizeof path);
            paths.push_back(path);
        }
        POINT at{};
        DragQueryPoint(drop, &at);
        DropPoints().push_back(at);
        DragFinish(drop);
        Drops().push_back(paths);
        DropWindows().push_back(hwnd);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// An XDND source of the test's own dragging a text/uri-list over a root point.
struct DragResult {
    bool statusAccepted = false, finishedAccepted = false, finished = false;
};

DragResult DragFiles(OtherClient& source, xcb_window_t target, int x, int y,
                     const std::string& uriList) {
    DragResult result;
    const xcb_atom_t uris = source.Atom("text/uri-list"), copy = source.Atom("XdndActionCopy");
    const xcb_atom_t selection = source.Atom("XdndSelection");
    xcb_set_selection_owner(source.conn, source.window, selection, XCB_CURRENT_TIME);
    auto send = [&](const char* type, uint32_t d1, uint32_t d2, uint32_t d3, uint32_t d4) {
        xcb_client_message_event_t e{};
        e.response_type = XCB_CLIENT_MESSAGE;
        e.format = 32;
        e.window = target;
        e.type = source.Atom(type);
        const uint32_t data[5] = {source.window, d1, d2, d3, d4};
        std::memcpy(e.data.data32, data, sizeof data);
        xcb_send_event(source.conn, 0, target, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&e));
        xcb_flush(source.conn);
    };
    // Client messages and the request for the data, in the order they come.
    auto next = [&]() -> xcb_generic_event_t* {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < end) {
            xcb_generic_event_t* e = xcb_poll_for_event(source.conn);
            if (!e) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                continue;
            }
            const uint8_t type = e->response_type & 0x7f;
            if (type == XCB_CLIENT_MESSAGE || type == XCB_SELECTION_REQUEST) return e;
            free(e);
        }
        return nullptr;
    };
    send("XdndEnter", 5u << 24, uris, 0, 0);
    send("XdndPosition", 0, uint32_t(x) << 16 | uint32_t(y), XCB_CURRENT_TIME, copy);
    xcb_generic_event_t* status = next();
    if (!status) return result;
    result.statusAccepted =
        reinterpret_cast<xcb_client_message_event_t*>(status)->data.data32[1] & 1;
    free(status);
    send("XdndDrop", 0, XCB_CURRENT_TIME, 0, 0);
    while (xcb_generic_event_t* e = next()) {
        if ((e->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
            auto* r = reinterpret_cast<xcb_selection_request_event_t*>(e);
            xcb_selection_notify_event_t reply{};
            reply.response_type = XCB_SELECTION_NOTIFY;
            reply.requestor = r->requestor;
            reply.selection = r->selection;
            reply.target = r->target;
            reply.time = r->time;
            reply.property = r->target == uris ? r->property : xcb_atom_t(XCB_NONE);
            if (reply.property)
                xcb_change_property(source.conn, XCB_PROP_MODE_REPLACE, r->requestor, r->property,
                                    uris, 8, uint32_t(uriList.size()), uriList.data());
            xcb_send_event(source.conn, 0, r->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&reply));
            xcb_flush(source.conn);
            free(e);
            continue;
        }
        auto* m = reinterpret_cast<xcb_client_message_event_t*>(e);
        const bool finished = m->type == source.Atom("XdndFinished");
        if (finished) {
            result.finished = true;
            result.finishedAccepted = m->data.data32[1] & 1;
        }
        free(e);
        if (finished) break;
    }
    return result;
}

TEST_F(XcbTransferTest, FilesDroppedFromAnotherProgramArriveAsOneDropOnWindowsThatTakeThem) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DropProc;
    wc.lpszClassName = "XdndProbe";
    RegisterClassA(&wc);
    // The left half takes files through its parent; the right half is a child of a window
    // that does not.
    HWND taker = CreateWindowExA(WS_EX_ACCEPTFILES, "XdndProbe", "Taker", WS_POPUP | WS_VISIBLE,
                                 100, 100, 200, 100, nullptr, nullptr, nullptr, nullptr);
    CreateWindowExA(0, "XdndProbe", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, taker, nullptr,
                    nullptr, nullptr);
    HWND refuser = CreateWindowExA(0, "XdndProbe", "Refuser", WS_POPUP | WS_VISIBLE, 400, 100, 200,
                                   100, nullptr, nullptr, nullptr, nullptr);
    SdDisplayPump(0);
    OtherClient source;
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(source.conn)).data->root;
    auto xWindowAt = [&](int x, int y) {
        auto* at = xcb_translate_coordinates_reply(
            source.conn, xcb_translate_coordinates(source.conn, root, root, int16_t(x), int16_t(y)),
            nullptr);
        const xcb_window_t child = at ? at->child : 0;
        free(at);
        return child;
    };
    const std::string list = "file:///tmp/sd%20drop/one.txt\r\nhttp://example.com/x.txt\r\n"
                             "file:///tmp/two.txt\r\nfile://localhost/tmp/three.txt\r\n";
    const std::vector<std::string> three{"/tmp/sd drop/one.txt", "/tmp/two.txt", "/tmp/three.txt"};
    struct Case {
        POINT at;
        bool taken;
        HWND gets;
        POINT client;
    } cases[] = {{{120, 120}, true, taker, {20, 20}},
                 {{250, 150}, true, taker, {150, 50}},
                 {{450, 150}, false, nullptr, {}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at.x);
        Drops().clear();
        DropWindows().clear();
        DropPoints().clear();
        const xcb_window_t target = xWindowAt(int(c.at.x), int(c.at.y));
        ASSERT_NE(target, 0u);
        DragResult result;
        WhilePumping([&] { result = DragFiles(source, target, int(c.at.x), int(c.at.y), list); });
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        EXPECT_EQ(result.statusAccepted, c.taken);
        EXPECT_TRUE(result.finished);
        EXPECT_EQ(result.finishedAccepted, c.taken);
        if (c.taken) {
            ASSERT_EQ(Drops().size(), 1u);
            EXPECT_EQ(Drops()[0], three);
            EXPECT_EQ(DropWindows()[0], c.gets);
            EXPECT_EQ(DropPoints()[0].x, c.client.x);
            EXPECT_EQ(DropPoints()[0].y, c.client.y);
        } else {
            EXPECT_TRUE(Drops().empty());
        }
    }
    DestroyWindow(taker);
    DestroyWindow(refuser);
    UnregisterClassA("XdndProbe", nullptr);
}

} // namespace transfer_test
