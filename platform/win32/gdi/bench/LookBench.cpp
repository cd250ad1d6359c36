// The look's speed: a full repaint of a 1920 x 1080 frame (menu bar, two bars, a dialog of
// 60 controls) read through PrintWindow, and DrawTextA of 10,000 short strings beside cairo
// with Pango drawing the same strings in the same face and size without anti-aliasing
// (when libpango1.0-dev is installed).

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "win32/controls.h"
#include "win32/menu.h"
#include "win32/user.h"
#include "win32/userdraw.h"
#include "win32/wingdi.h"

#ifdef SD_BENCH_PANGO
#include <pango/pangocairo.h>
#endif

namespace {

std::vector<std::string> shortStrings() {
    std::vector<std::string> out;
    for (int i = 0; i < 10000; ++i)
        out.push_back("Item " + std::to_string(i) + " &Cut");
    return out;
}

struct Canvas {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = nullptr;
    Canvas() {
        BITMAPINFO info{};
        info.bmiHeader =
            BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 1920, -1080, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        SelectObject(dc, bitmap);
    }
    ~Canvas() {
        DeleteDC(dc);
        DeleteObject(bitmap);
    }
};

HWND makeFrame() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = "LookBenchFrame";
    RegisterClassA(&wc);
    HMENU menu = CreateMenu();
    for (const char* item : {"&File", "&Edit", "&View", "&Arrange", "&Text", "&Output", "&Help"})
        AppendMenuA(menu, MF_STRING, 1, item);
    HWND frame = CreateWindowExA(0, "LookBenchFrame", "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                 0, 1920, 1080, nullptr, menu, nullptr, nullptr);
    // A tool bar of buttons and a status bar of sunken panes.
    for (int i = 0; i < 24; ++i)
        CreateWindowExA(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 4 + 24 * i, 2, 23,
                        22, frame, nullptr, nullptr, nullptr);
    for (int i = 0; i < 5; ++i)
        CreateWindowExA(0, "Static", "Ready", WS_CHILD | WS_VISIBLE | SS_SUNKEN, 2 + 200 * i, 1036,
                        196, 20, frame, nullptr, nullptr, nullptr);
    // The dialog's 60 controls in rows of six kinds.
    const char* kinds[] = {"Static", "Edit", "Button", "ListBox", "ComboBox", "ScrollBar"};
    const DWORD styles[] = {SS_LEFT, ES_AUTOHSCROLL | WS_BORDER, BS_AUTOCHECKBOX,
                            0,       CBS_DROPDOWNLIST,           SBS_HORZ};
    for (int i = 0; i < 60; ++i) {
        HWND c = CreateWindowExA(i % 6 == 1 || i % 6 == 3 ? WS_EX_CLIENTEDGE : 0, kinds[i % 6],
                                 "Label text", WS_CHILD | WS_VISIBLE | styles[i % 6],
                                 300 + (i % 6) * 160, 100 + (i / 6) * 60, 150, i % 6 == 3 ? 50 : 22,
                                 frame, nullptr, nullptr, nullptr);
        if (i % 6 == 3)
            for (const char* s : {"Vinyl", "Paper", "Film"})
                SendMessageA(c, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    }
    return frame;
}

void BM_RepaintFrame(benchmark::State& state) {
    static HWND frame = makeFrame();
    Canvas canvas;
    for (auto _ : state) {
        if (!PrintWindow(frame, canvas.dc, 0)) state.SkipWithError("no picture");
    }
}
BENCHMARK(BM_RepaintFrame)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_DrawText(benchmark::State& state) {
    static const std::vector<std::string> strings = shortStrings();
    Canvas canvas;
    SelectObject(canvas.dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(canvas.dc, TRANSPARENT);
    for (auto _ : state) {
        for (std::size_t i = 0; i < strings.size(); ++i) {
            RECT r{LONG(i % 16) * 120, LONG(i / 16 % 80) * 13, LONG(i % 16) * 120 + 120,
                   LONG(i / 16 % 80) * 13 + 13};
            DrawTextA(canvas.dc, strings[i].c_str(), -1, &r, DT_LEFT | DT_SINGLELINE);
        }
    }
}
BENCHMARK(BM_DrawText)->Unit(benchmark::kMillisecond);

#ifdef SD_BENCH_PANGO
void BM_PangoText(benchmark::State& state) {
    static const std::vector<std::string> strings = shortStrings();
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1920, 1080);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* face = pango_font_description_from_string("DejaVu Sans Condensed");
    pango_font_description_set_absolute_size(face, 11 * PANGO_SCALE);
    pango_layout_set_font_description(layout, face);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_set_source_rgb(cr, 0, 0, 0);
    for (auto _ : state) {
        for (std::size_t i = 0; i < strings.size(); ++i) {
            // The same text as DrawTextA shows: the mnemonic's ampersand is not drawn.
            std::string shown = strings[i];
            shown.erase(shown.find('&'), 1);
            pango_layout_set_text(layout, shown.c_str(), -1);
            cairo_move_to(cr, double(i % 16) * 120, double(i / 16 % 80) * 13);
            pango_cairo_show_layout(cr, layout);
        }
    }
    cairo_font_options_destroy(options);
    pango_font_description_free(face);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}
BENCHMARK(BM_PangoText)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK_MAIN();
