// The display backend against plain xcb, on an Xvfb server of its own:
//  - full repaints per second of a 1920x1080 window showing 2,000 pieces of lettering
//    (invalidate to the changed picture read back from the server), beside MIT-SHM
//    put_image of the same pixels alone;
//  - mouse-move latency with a cross-hair following the pointer (XTEST motion to the changed
//    pixel read back), median and 95th percentile of 500, beside a minimal xcb client that
//    draws a cross-hair per motion.
//
//   xcb_display_bench [repaints]

#include <sys/ipc.h>
#include <sys/shm.h>

#include <xcb/shm.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "testing/XvfbServer.h"
#include "win32/DisplayBackend.h"
#include "win32/gdifont.h"
#include "win32/kernel.h"
#include "win32/wingdi.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kW = 1920, kH = 1080;
constexpr COLORREF kCross = RGB(255, 0, 0);

COLORREF background = RGB(255, 255, 255);
POINT cross{-1, -1};
HFONT font = nullptr;

void crossRects(POINT p, RECT* horizontal, RECT* vertical) {
    *horizontal = RECT{0, p.y, kW, p.y + 1};
    *vertical = RECT{p.x, 0, p.x + 1, kH};
}

LRESULT CALLBACK letteringProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
        RECT h, v;
        if (cross.x >= 0) {
            crossRects(cross, &h, &v);
            InvalidateRect(hwnd, &h, FALSE);
            InvalidateRect(hwnd, &v, FALSE);
        }
        cross = POINT{short(LOWORD(lParam)), short(HIWORD(lParam))};
        crossRects(cross, &h, &v);
        InvalidateRect(hwnd, &h, FALSE);
        InvalidateRect(hwnd, &v, FALSE);
        return 0;
    }
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HBRUSH b = CreateSolidBrush(background);
        FillRect(dc, &ps.rcPaint, b);
        DeleteObject(b);
        HGDIOBJ old = SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(20, 40, 120));
        // 2,000 pieces of lettering: 40 columns, 50 rows.
        static const char* words[] = {"SIGNS", "Vinyl", "Cutter", "Banner", "Sale!", "OPEN"};
        for (int i = 0; i < 2000; ++i) {
            const int x = (i % 40) * 48, y = (i / 40) * 21;
            const RECT item{x, y, x + 48, y + 21};
            RECT hit;
            if (!IntersectRect(&hit, &item, &ps.rcPaint)) continue;
            const char* word = words[i % 6];
            TextOutA(dc, x + 1, y + 1, word, int(std::strlen(word)));
        }
        SelectObject(dc, old);
        if (cross.x >= 0) {
            HBRUSH red = CreateSolidBrush(kCross);
            RECT h, v;
            crossRects(cross, &h, &v);
            FillRect(dc, &h, red);
            FillRect(dc, &v, red);
            DeleteObject(red);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

uint32_t pixel(xcb_connection_t* c, xcb_window_t root, int x, int y) {
    xcb_get_image_reply_t* r = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 1, 1, ~0u),
        nullptr);
    uint32_t p = 0;
    if (r) std::memcpy(&p, xcb_get_image_data(r), 4);
    free(r);
    return p & 0xFFFFFF;
}

void pumpLayer() {
    SdDisplayPump(0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    SdDisplayPump(0);
}

struct Stats {
    double median, p95;
};

Stats stats(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 95 / 100)]};
}

POINT motionPoint(int i) {
    return POINT{LONG(970 + (i * 37) % 900), LONG(20 + (i * 53) % 1000)};
}

// One motion per sample, until the pixel on the new cross-hair (away from the pointer) reads
// red; step runs the client being measured.
template <class Step>
std::vector<double> latencies(xcb_connection_t* probe, xcb_window_t root, Step step) {
    std::vector<double> out;
    for (int i = 0; i < 500; ++i) {
        const POINT p = motionPoint(i);
        const auto start = Clock::now();
        xcb_test_fake_input(probe, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, int16_t(p.x),
                            int16_t(p.y), 0);
        xcb_flush(probe);
        while (pixel(probe, root, int(p.x) - 500, int(p.y)) != 0xFF0000) {
            step();
            if (Clock::now() - start > std::chrono::seconds(2)) break;
        }
        out.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    const int repaints = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    XvfbServer server;
    if (!server.WhyNot().empty()) {
        std::fprintf(stderr, "no Xvfb: %s\n", server.WhyNot().c_str());
        return 1;
    }
    char reason[256] = {};
    if (!SdConnectDisplay(server.Name().c_str(), reason, sizeof reason)) {
        std::fprintf(stderr, "%s\n", reason);
        return 1;
    }
    xcb_connection_t* probe = xcb_connect(server.Name().c_str(), nullptr);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(probe)).data;
    const xcb_window_t root = screen->root;

    LOGFONTA lf{};
    lf.lfHeight = -16;
    std::strcpy(lf.lfFaceName, "DejaVu Sans");
    font = CreateFontIndirectA(&lf);
    WNDCLASSA wc{};
    wc.lpfnWndProc = letteringProc;
    wc.lpszClassName = "BenchLettering";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, "BenchLettering", "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kW, kH,
                                nullptr, nullptr, nullptr, nullptr);
    pumpLayer();

    // Full repaints: the background alternates, so every row changes.
    auto start = Clock::now();
    for (int i = 0; i < repaints; ++i) {
        background = i % 2 ? RGB(255, 255, 255) : RGB(250, 250, 240);
        const uint32_t want = i % 2 ? 0xFFFFFF : 0xFAFAF0;
        InvalidateRect(hwnd, nullptr, FALSE);
        do
            pumpLayer();
        while (pixel(probe, root, kW - 2, kH - 2) != want);
    }
    const double layerRate = repaints / std::chrono::duration<double>(Clock::now() - start).count();

    // The cross-hair through the layer.
    const Stats layerMotion = stats(latencies(probe, root, [] { pumpLayer(); }));
    DestroyWindow(hwnd);
    pumpLayer();
    SdDisconnectDisplay();

    // The same pixels by MIT-SHM put_image alone.
    const xcb_window_t plain = xcb_generate_id(probe);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_POINTER_MOTION};
    xcb_create_window(probe, XCB_COPY_FROM_PARENT, plain, root, 0, 0, kW, kH, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_map_window(probe, plain);
    const xcb_gcontext_t gc = xcb_generate_id(probe);
    xcb_create_gc(probe, gc, plain, 0, nullptr);
    const size_t bytes = size_t(kW) * kH * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    auto* shared = static_cast<uint32_t*>(shmat(id, nullptr, 0));
    const xcb_shm_seg_t seg = xcb_generate_id(probe);
    xcb_shm_attach(probe, seg, uint32_t(id), 0);
    shmctl(id, IPC_RMID, nullptr);
    start = Clock::now();
    for (int i = 0; i < repaints; ++i) {
        std::fill(shared, shared + size_t(kW) * kH, i % 2 ? 0xFFFFFFu : 0xFAFAF0u);
        xcb_shm_put_image(probe, plain, gc, kW, kH, 0, 0, kW, kH, 0, 0, screen->root_depth,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, seg, 0);
        free(xcb_get_input_focus_reply(probe, xcb_get_input_focus(probe), nullptr));
    }
    const double shmRate = repaints / std::chrono::duration<double>(Clock::now() - start).count();

    // A minimal client: a cross-hair per motion.
    xcb_connection_t* minimal = xcb_connect(server.Name().c_str(), nullptr);
    const xcb_window_t mw = xcb_generate_id(minimal);
    xcb_create_window(minimal, XCB_COPY_FROM_PARENT, mw, root, 0, 0, kW, kH, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
    xcb_map_window(minimal, mw);
    const xcb_gcontext_t white = xcb_generate_id(minimal), red = xcb_generate_id(minimal);
    xcb_create_gc(minimal, white, mw, XCB_GC_FOREGROUND, &screen->white_pixel);
    const uint32_t redPixel = 0xFF0000;
    xcb_create_gc(minimal, red, mw, XCB_GC_FOREGROUND, &redPixel);
    free(xcb_get_input_focus_reply(minimal, xcb_get_input_focus(minimal), nullptr));
    int lastX = -1, lastY = -1;
    const Stats plainMotion = stats(latencies(probe, root, [&] {
        while (xcb_generic_event_t* e = xcb_poll_for_event(minimal)) {
            if ((e->response_type & 0x7f) == XCB_MOTION_NOTIFY) {
                auto* m = reinterpret_cast<xcb_motion_notify_event_t*>(e);
                if (lastX >= 0) {
                    const xcb_rectangle_t old[] = {{0, int16_t(lastY), kW, 1},
                                                   {int16_t(lastX), 0, 1, kH}};
                    xcb_poly_fill_rectangle(minimal, mw, white, 2, old);
                }
                lastX = m->event_x;
                lastY = m->event_y;
                const xcb_rectangle_t now[] = {{0, int16_t(lastY), kW, 1},
                                               {int16_t(lastX), 0, 1, kH}};
                xcb_poly_fill_rectangle(minimal, mw, red, 2, now);
                xcb_flush(minimal);
            }
            free(e);
        }
    }));
    xcb_disconnect(minimal);
    shmdt(shared);
    xcb_disconnect(probe);

    std::printf("full repaints: layer %.1f/s, MIT-SHM put_image alone %.1f/s, ratio %.2f\n",
                layerRate, shmRate, shmRate / layerRate);
    std::printf("cross-hair latency: layer median %.2f ms p95 %.2f ms; minimal xcb median %.2f "
                "ms p95 %.2f ms; ratios %.2f / %.2f\n",
                layerMotion.median, layerMotion.p95, plainMotion.median, plainMotion.p95,
                layerMotion.median / plainMotion.median, layerMotion.p95 / plainMotion.p95);
    return 0;
}
