// Filling text outlines on a printer page: pathkit's Paint on a 24-bit DIB section against
// cairo filling the same flattened polygons even-odd without antialiasing. 200 lines of
// DejaVu Sans (FreeType) on an A4 page at 300 dpi; the differing pixels are reported.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include <cairo.h>

#include "LetteringPage.h"
#include "PeerTable.h"
#include "pathkit/IntBez3Base.h"
#include "win32/GdiTesting.h"

namespace {

using lettering::PageH;
using lettering::PageMatrix;
using lettering::PageW;
using lettering::TextLines;
using Page = lettering::Page;

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

// The page filled by each side, least of five.
void PeerRow() {
    auto& lines = SharedLines();
    auto flat = FlatLines(lines);
    Page page;
    CairoPage cairo;
    peertable::Table table("pathkit_paint_bench: 200 lines of lettering filled on A4 at 300 dpi");
    peertable::Row row{"page of lettering", 0, 0, "cairo", "even-odd, no anti-aliasing"};
    row.ours = peertable::LeastOf([&] {
        page.Clear();
        page.Draw(lines);
    });
    row.peer = peertable::LeastOf([&] {
        cairo.Clear();
        cairo.Draw(flat);
    });
    table.Add(row);
    table.Print();
}

int main(int argc, char** argv) {
    ComparePixels();
    PeerRow();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
