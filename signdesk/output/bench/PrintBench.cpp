// The print engine against cairo on the same outlines: an A4 page of DejaVu Sans lettering
// (40 lines of 12 mm text) at 300 dpi, the engine onto the raster printer and into a PNG,
// cairo filling the same outlines into a PNG and a PDF; and a tiled print of the page
// enlarged, with its pages and peak memory. The engine's PDF is a print queue's: the page goes
// through the queue's context into its PDF (an image a page) and the job to a private cupsd
// whose queue writes the PDF into a file (skipped, saying why, without cupsd). Run the tiled
// cases one at a time for their peak memory (--benchmark_filter).
//   bin/output_print_bench

#include <benchmark/benchmark.h>

#include <cairo-pdf.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

#include <mfc/CDC.h>
#include <mfc/CGdiObject.h>
#include <mfc/afx.h>
#include <pathkit/Path.h>
#include <pathkit/PathDraw.h>
#include <testing/PrivateCupsd.h>
#include <win32/GdiTesting.h>
#include <win32/SpoolerTesting.h>
#include <win32/wingdi.h>

#include "output/CPrintEngine.h"
#include "output/CTileLayout.h"
#include "output/PrintRun.h"

namespace {

std::string FontFile() {
    std::string file;
    if (FILE* p = ::popen("fc-match -f '%{file}' 'DejaVu Sans'", "r")) {
        char buffer[512];
        size_t n = std::fread(buffer, 1, sizeof buffer - 1, p);
        file.assign(buffer, n);
        ::pclose(p);
    }
    return file;
}

// Glyph outlines of the page in millimetres, y up, each as a move/line/cubic list.
struct Outline {
    Path path{0};
};

struct Collector {
    Path* path;
    float x0, y0, scale; // font units to mm
    FT_Vector last{0, 0};
    floatPoint P(const FT_Vector* v) const {
        return floatPoint(x0 + v->x * scale, y0 + v->y * scale);
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    c->path->ClosePath();
    floatPoint p = c->P(to);
    c->path->Append(PC_MOVETO, p.x, p.y);
    c->last = *to;
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    floatPoint p = c->P(to);
    c->path->Append(p.x, p.y);
    c->last = *to;
    return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    floatPoint a = c->P(&c->last), q = c->P(control), b = c->P(to);
    floatPoint c1(a.x + 2.0f / 3 * (q.x - a.x), a.y + 2.0f / 3 * (q.y - a.y));
    floatPoint c2(b.x + 2.0f / 3 * (q.x - b.x), b.y + 2.0f / 3 * (q.y - b.y));
    c->path->Append(c1.x, c1.y, c2.x, c2.y, b.x, b.y);
    c->last = *to;
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* c = static_cast<Collector*>(user);
    floatPoint p1 = c->P(c1), p2 = c->P(c2), b = c->P(to);
    c->path->Append(p1.x, p1.y, p2.x, p2.y, b.x, b.y);
    c->last = *to;
    return 0;
}

// 40 lines of text 12 mm high on 190 x 277 mm.
Path Lettering() {
    Path page(0);
    FT_Library ft;
    FT_Init_FreeType(&ft);
    FT_Face face;
    if (FT_New_Face(ft, FontFile().c_str(), 0, &face) != 0) return page;
    const float size = 6.0f; // mm per em
    const float scale = size / float(face->units_per_EM);
    const char* text = "The quick brown fox jumps over the lazy dog 0123456789";
    FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    for (int line = 0; line < 40; ++line) {
        float x = 0, y = 277.0f - 7.0f * float(line + 1);
        for (const char* ch = text; *ch; ++ch) {
            if (FT_Load_Char(face, FT_ULong(*ch), FT_LOAD_NO_SCALE) != 0) continue;
            Collector c{&page, x, y, scale};
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &c);
            page.ClosePath();
            x += float(face->glyph->advance.x) * scale;
            if (x > 185) break;
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(ft);
    page.Prepare();
    return page;
}

class LetteringSource : public PrintSource {
public:
    explicit LetteringSource(Path& p) : path(p) {}
    void DrawDocument(CDC* dc, const floatTMatrix& m, int) override {
        CBrush black(RGB(0, 0, 0));
        CPen none(PS_NULL, 0, 0);
        CBrush* ob = dc->SelectObject(&black);
        CPen* op = dc->SelectObject(&none);
        Paint(dc, m, path, 1u);
        dc->SelectObject(ob);
        dc->SelectObject(op);
    }
    void GetDesignBox(floatBBox& box) override {
        path.RefreshBBoxes();
        box = path.accBox;
    }
    void GetPrintSettings(float& x, float& y, float& s, float& g, int& c, int& m, int& r) override {
        x = y = 10;
        s = scale;
        g = 0;
        c = 1;
        m = r = 0;
    }
    Path& path;
    float scale = 1;
};

struct Setup {
    Setup() {
        folder =
            std::filesystem::temp_directory_path() / ("print-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        SdInstallFakeSpooler();
        SdAddFakePrinter("Raster");
        SdGdiSetPageFolder(folder.c_str());
        page = std::make_unique<Path>(Lettering());
    }
    ~Setup() {
        SdRemoveFakeSpooler();
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    std::unique_ptr<Path> page;
};

Setup& Shared() {
    static Setup s;
    return s;
}

void PrintWithEngine(benchmark::State& state, float scale) {
    Setup& s = Shared();
    CTileLayout tiles;
    CPrintEngine engine(tiles);
    LetteringSource source(*s.page);
    source.scale = scale;
    int pages = 0;
    for (auto _ : state) {
        engine.Attach(&source);
        engine.UpdateLayout(1);
        CDC dc;
        dc.Attach(::CreateDCA(nullptr, "Raster", nullptr, nullptr));
        dc.m_bPrinting = TRUE;
        PrintPages(dc, engine, "Raster", "bench", false);
        ::DeleteDC(dc.Detach());
        pages = engine.GetPageCount();
        SdGdiClearPrintedPages();
    }
    struct rusage usage;
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["pages"] = pages;
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_EnginePageToPng(benchmark::State& state) {
    PrintWithEngine(state, 1.0f);
}
// Enlarged 3.4 times: 12 tiles of the A4 page (the fake printer keeps every page it printed,
// which the peak memory includes).
void BM_EngineTiledPrint(benchmark::State& state) {
    PrintWithEngine(state, 3.4f);
}

// The same prints onto the private print service's queue, A4 at 300 dpi: time to the job's
// submission (the queue writing the file is not timed), the PDF's size.
void PrintToQueue(benchmark::State& state, float scale) {
    Setup& s = Shared();
    CTileLayout tiles;
    CPrintEngine engine(tiles);
    LetteringSource source(*s.page);
    source.scale = scale;
    // Laid out on the fake printer's A4 page; the queue's context is A4 too.
    engine.Attach(&source);
    engine.UpdateLayout(1);
    SdRemoveFakeSpooler();
    static PrivateCupsd cupsd;
    static std::string why = cupsd.Start();
    if (why.empty()) {
        DEVMODEA dm{};
        dm.dmFields = DM_PAPERSIZE | DM_PRINTQUALITY;
        dm.dmPaperSize = DMPAPER_A4;
        dm.dmPrintQuality = 300;
        for (auto _ : state) {
            CDC dc;
            dc.Attach(::CreateDCA(nullptr, PrivateCupsd::Queue, nullptr, &dm));
            dc.m_bPrinting = TRUE;
            if (PrintPages(dc, engine, PrivateCupsd::Queue, "bench", false) !=
                PrintRunResult::Printed)
                state.SkipWithError("the queue refused the job");
            ::DeleteDC(dc.Detach());
            state.PauseTiming();
            cupsd.WaitIdle();
            state.ResumeTiming();
        }
        struct rusage usage;
        ::getrusage(RUSAGE_SELF, &usage);
        state.counters["pages"] = engine.GetPageCount();
        state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
        std::error_code error;
        auto size = std::filesystem::file_size(cupsd.Output(), error);
        state.counters["pdf_KB"] = error ? 0.0 : double(size) / 1024.0;
    } else {
        state.SkipWithError(("no private print service: " + why).c_str());
    }
    SdInstallFakeSpooler();
    SdAddFakePrinter("Raster");
}

void BM_EnginePageToPdf(benchmark::State& state) {
    PrintToQueue(state, 1.0f);
}
void BM_EngineTiledPrintToPdf(benchmark::State& state) {
    PrintToQueue(state, 3.4f);
}

void CairoPath(cairo_t* cr, Path& path) {
    for (SubPath& sp : path.subPaths) {
        bool first = true;
        for (PathMember& pm : sp.members) {
            if (first) cairo_move_to(cr, pm.start.x, 297 - pm.start.y);
            first = false;
            if (pm.IsCurve())
                cairo_curve_to(cr, pm.ctrl1.x, 297 - pm.ctrl1.y, pm.ctrl2.x, 297 - pm.ctrl2.y,
                               pm.end.x, 297 - pm.end.y);
            else
                cairo_line_to(cr, pm.end.x, 297 - pm.end.y);
        }
        cairo_close_path(cr);
    }
}

void BM_CairoPageToPng(benchmark::State& state) {
    Setup& s = Shared();
    std::string file = (s.folder / "cairo.png").string();
    for (auto _ : state) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 2480, 3508);
        cairo_t* cr = cairo_create(surface);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
        cairo_scale(cr, 2480.0 / 210.0, 3508.0 / 297.0);
        cairo_translate(cr, 10, -10);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        CairoPath(cr, *s.page);
        cairo_fill(cr);
        cairo_surface_write_to_png(surface, file.c_str());
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
}

void BM_CairoPageToPdf(benchmark::State& state) {
    Setup& s = Shared();
    std::string file = (s.folder / "cairo.pdf").string();
    for (auto _ : state) {
        cairo_surface_t* surface =
            cairo_pdf_surface_create(file.c_str(), 210 / 25.4 * 72, 297 / 25.4 * 72);
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, 72 / 25.4, 72 / 25.4);
        cairo_translate(cr, 10, -10);
        CairoPath(cr, *s.page);
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_finish(surface);
        cairo_surface_destroy(surface);
    }
    state.counters["pdf_KB"] = double(std::filesystem::file_size(file)) / 1024.0;
}

} // namespace

BENCHMARK(BM_EnginePageToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoPageToPng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EnginePageToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CairoPageToPdf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EngineTiledPrint)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_EngineTiledPrintToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    CWinApp app("Print Bench");
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
