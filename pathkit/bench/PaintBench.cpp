// Filling text outlines on a printer page: pathkit's Paint on a 24-bit DIB section against
// cairo filling the same flattened polygons even-odd without antialiasing. 200 lines of
// DejaVu Sans (FreeType) on an A4 page at 300 dpi; the differing pixels are reported.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "mfc/CDC.h"
#include "pathkit/IntBez3Base.h"
#include "pathkit/PathDraw.h"
#include "win32/GdiTesting.h"

namespace {

const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const Text = "Sign makers cut vinyl letters: THE QUICK BROWN FOX 0123456789 jumps!";
constexpr int Lines = 200;
constexpr double Dpi = 300;
constexpr int PageW = 2480, PageH = 3508;

struct Sink {
    Path* path;
    double scale, dx, dy;
    floatPoint last;
    bool open = false;
    floatPoint At(const FT_Vector* v) const { return floatPoint(float(v->x * scale + dx), float(v->y * scale + dy)); }
    void Finish() {
        if (open) {
            path->Close();
            path->ClosePath();
        }
        open = false;
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->Finish();
    s->last = s->At(to);
    s->path->MoveTo(s->last);
    s->open = true;
    return 0;
}
int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->last = s->At(to);
    s->path->LineTo(s->last);
    return 0;
}
int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    floatPoint q = s->At(c), e = s->At(to), p = s->last;
    s->path->CurveTo(floatPoint(p.x + 2.0f / 3 * (q.x - p.x), p.y + 2.0f / 3 * (q.y - p.y)),
                     floatPoint(e.x + 2.0f / 3 * (q.x - e.x), e.y + 2.0f / 3 * (q.y - e.y)), e);
    s->last = e;
    return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->last = s->At(to);
    s->path->CurveTo(s->At(c1), s->At(c2), s->last);
    return 0;
}

// One path per line, in millimetres with y up; the page is 210 × 297.
std::vector<Path> TextLines() {
    std::vector<Path> lines;
    FT_Library library;
    if (FT_Init_FreeType(&library)) return lines;
    FT_Face face;
    if (FT_New_Face(library, FontFile, 0, &face) == 0) {
        const double em = 1.3, lineStep = 297.0 / (Lines + 2);
        double scale = em / face->units_per_EM;
        FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
        for (int i = 0; i < Lines; ++i) {
            Path line(0.01f);
            double x = 5, y = 297 - lineStep * (i + 1.5);
            for (int rep = 0; x < 200; ++rep)
                for (const char* c = Text; *c && x < 200; ++c) {
                    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING))
                        continue;
                    Sink sink{&line, scale, x, y, floatPoint()};
                    FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
                    sink.Finish();
                    x += face->glyph->metrics.horiAdvance * scale;
                }
            lines.push_back(std::move(line));
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return lines;
}

floatTMatrix PageMatrix() {
    float s = float(Dpi / 25.4);
    return floatTMatrix(s, 0, 0, -s, 0, float(PageH));
}

// The polygons Paint hands to the GDI: device points rounded as floor(v + 0.5), curves through
// the integer flattener at one device unit.
struct Flat : IntBez3Base {
    std::vector<POINT>* out;
    void Output(intPoint& p) override { Add(p.x, p.y); }
    void Add(int x, int y) {
        if (out->empty() || out->back().x != x || out->back().y != y) out->push_back(POINT{x, y});
    }
};
POINT Dev(const floatTMatrix& m, floatPoint p) {
    float x = p.x, y = p.y;
    m.Transform(x, y);
    return POINT{LONG(std::floor(double(x) + 0.5)), LONG(std::floor(double(y) + 0.5))};
}
std::vector<std::vector<std::vector<POINT>>> FlatLines(std::vector<Path>& lines) {
    floatTMatrix m = PageMatrix();
    std::vector<std::vector<std::vector<POINT>>> out;
    for (Path& line : lines) {
        std::vector<std::vector<POINT>> polys;
        for (const SubPath& sp : line.subPaths) {
            if (!sp.IsClosed()) continue;
            std::vector<POINT> pts;
            Flat f;
            f.out = &pts;
            for (std::uint16_t i = 0; i < sp.members.Filled(); ++i) {
                const PathMember& pm = sp.members[i];
                POINT s = Dev(m, pm.start), e = Dev(m, pm.end);
                if (i == 0) f.Add(s.x, s.y);
                if (pm.IsCurve()) {
                    POINT c1 = Dev(m, pm.ctrl1), c2 = Dev(m, pm.ctrl2);
                    intPoint a, b, c, d;
                    a.Fill(s.x, s.y);
                    b.Fill(c1.x, c1.y);
                    c.Fill(c2.x, c2.y);
                    d.Fill(e.x, e.y);
                    f.CalcCurve(a, b, c, d);
                }
                f.Add(e.x, e.y);
            }
            if (pts.size() >= 3) polys.push_back(std::move(pts));
        }
        out.push_back(std::move(polys));
    }
    return out;
}

struct Page {
    CDC dc;
    HBITMAP bitmap;
    Page() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = PageW;
        info.bmiHeader.biHeight = -PageH;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        dc.CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc.m_hDC, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
        ::SelectObject(dc.m_hDC, bitmap);
        dc.SelectStockObject(BLACK_BRUSH);
    }
    void Clear() { ::PatBlt(dc.m_hDC, 0, 0, PageW, PageH, WHITENESS); }
    void Draw(std::vector<Path>& lines) {
        floatTMatrix m = PageMatrix();
        for (Path& line : lines) Paint(&dc, m, line, PP_FILL);
    }
};

struct CairoPage {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, PageW, PageH);
    cairo_t* cr = cairo_create(surface);
    CairoPage() {
        cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    }
    ~CairoPage() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    void Clear() {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_paint(cr);
    }
    void Draw(const std::vector<std::vector<std::vector<POINT>>>& lines) {
        cairo_set_source_rgb(cr, 0, 0, 0);
        for (const auto& polys : lines) {
            for (const auto& poly : polys) {
                cairo_move_to(cr, poly[0].x, poly[0].y);
                for (std::size_t i = 1; i < poly.size(); ++i) cairo_line_to(cr, poly[i].x, poly[i].y);
                cairo_close_path(cr);
            }
            cairo_fill(cr);
        }
        cairo_surface_flush(surface);
    }
};

std::vector<Path>& SharedLines() {
    static std::vector<Path> lines = TextLines();
    return lines;
}

void BM_PagePaint_pathkit(benchmark::State& state) {
    auto& lines = SharedLines();
    Page page;
    for (auto _ : state) {
        page.Clear();
        page.Draw(lines);
    }
    state.counters["lines"] = double(lines.size());
}

void BM_PagePaint_cairo(benchmark::State& state) {
    auto flat = FlatLines(SharedLines());
    CairoPage page;
    for (auto _ : state) {
        page.Clear();
        page.Draw(flat);
    }
}

BENCHMARK(BM_PagePaint_pathkit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PagePaint_cairo)->Unit(benchmark::kMillisecond);

void ComparePixels() {
    auto& lines = SharedLines();
    Page page;
    page.Clear();
    page.Draw(lines);
    CairoPage cairo;
    cairo.Clear();
    cairo.Draw(FlatLines(lines));
    SdGdiImage ours = SdGdiReadDC(page.dc.m_hDC);
    const unsigned char* data = cairo_image_surface_get_data(cairo.surface);
    int stride = cairo_image_surface_get_stride(cairo.surface);
    long differing = 0, inked = 0, onlyOurs = 0;
    for (int y = 0; y < PageH; ++y)
        for (int x = 0; x < PageW; ++x) {
            bool a = ours.at(x, y) == RGB(0, 0, 0);
            bool b = data[std::size_t(y) * std::size_t(stride) + std::size_t(x) * 4] == 0;
            differing += a != b;
            onlyOurs += a && !b;
            inked += a;
        }
    std::printf("%zu lines, %ld black pixels (pathkit), %ld pixels differ from cairo (%ld black only "
                "in pathkit's page)\n",
                lines.size(), inked, differing, onlyOurs);
}

} // namespace

int main(int argc, char** argv) {
    ComparePixels();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
