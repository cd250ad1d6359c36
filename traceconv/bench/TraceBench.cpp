// Tracing benchmark: our tracer beside potrace on the same bitmaps. Per input: time (least of
// five), node count (on-curve points; a potrace corner counts two) and XOR pixels against the
// source, every output re-rasterised by the one rasteriser of the tests, and the largest
// distance of our fitted outlines from the exact pixel outlines beside the distance the
// preset promises.
//
//   bin/traceconv_bench            the table: potrace's defaults beside our default preset
//   bin/traceconv_bench --grid     also our setting (from a small grid) whose XOR comes
//                                  closest to potrace's without exceeding it
//   bin/traceconv_bench --noise    the largest noise square the node stores hold

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <pathkit/Path.h>
#include <traceconv/TraceConv.h>
#include <win32/kernel.h>

#include "PeerTable.h"
#include "TraceTestUtil.h"

#ifdef HAVE_POTRACE
#include <potracelib.h>
#endif

namespace {

struct Setting {
    int a, b, c;
    float f;
    int smooth, straighten, corners, snap, connections;
    std::string Name() const {
        char s[96];
        std::snprintf(s, sizeof s, "a%d b%d c%d f%.2g s%d%d%d%d%d", a, b, c, f, smooth, straighten,
                      corners, snap, connections);
        return s;
    }
};

const Setting Preset{10, 3, 3, 0.5f, 1, 1, 1, 1, 1};

struct Input {
    std::string name;
    Pixels pixels;
};

const char* const FontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
};

void Place(Pixels& page, const Pixels& p, int ox, int oy) {
    for (int y = 0; y < p.h && oy + y < page.h; ++y)
        for (int x = 0; x < p.w && ox + x < page.w; ++x)
            if (p.at(x, y)) page.at(ox + x, oy + y) = 1;
}

// A4 at 300 dpi.
constexpr int PageW = 2480, PageH = 3508;

Pixels TextPage() {
    Pixels page(PageW, PageH);
    const char* line = "The quick brown fox jumps over the lazy dog 0123456789 & SIGN @%";
    int y = 120;
    for (const char* font : FontFiles) {
        std::string block;
        for (int i = 0; i < 18; ++i) block += std::string(line) + (i < 17 ? "\n" : "");
        Pixels text = RenderText(font, 48, block); // 12 points at 300 dpi is 50 pixels
        Place(page, text, 100, y);
        y += text.h + 60;
    }
    return page;
}

Pixels ThinLines() {
    Pixels page(PageW, PageH);
    auto plot = [&](double x, double y) {
        int ix = int(x), iy = int(y);
        if (ix >= 0 && iy >= 0 && ix < page.w && iy < page.h) page.at(ix, iy) = 1;
    };
    // Fans of one-pixel lines at many angles, and a grid of horizontals and verticals.
    for (int k = 0; k < 90; ++k) {
        double a = k * M_PI / 90, cx = 1240, cy = 1200;
        for (double t = 80; t < 1100; t += 0.5) plot(cx + t * std::cos(a), cy - t * std::sin(a));
    }
    for (int y = 2400; y < 3400; y += 37)
        for (int x = 100; x < 2380; ++x) plot(x, y);
    for (int x = 100; x < 2380; x += 53)
        for (int y = 2400; y < 3400; ++y) plot(x, y);
    return page;
}

Pixels GlyphSet(int size) {
    const char* text = "ABCDEFGHIJKLMNOPQRSTUVWXYZ\nabcdefghijklmnopqrstuvwxyz\n0123456789&@%?!";
    std::vector<Pixels> parts;
    int w = 0, h = 0;
    for (const char* font : FontFiles) {
        parts.push_back(RenderText(font, size, text));
        w = std::max(w, parts.back().w);
        h += parts.back().h;
    }
    Pixels sheet(w, h);
    int y = 0;
    for (auto& p : parts) {
        Place(sheet, p, 0, y);
        y += p.h;
    }
    return sheet;
}

// Blocks, bars and rings of a few pixels, each alone on a grid.
Pixels SmallSolids() {
    Pixels page(400, 200);
    int cell = 0;
    auto at = [&](int& ox, int& oy) {
        ox = 20 * (cell % 20) + 3;
        oy = 20 * (cell / 20) + 3;
        ++cell;
    };
    for (int w = 1; w <= 12; ++w)
        for (int h = 1; h <= 12; h += 1 + w % 3) {
            int ox, oy;
            at(ox, oy);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) page.at(ox + x, oy + y) = 1;
        }
    for (int r = 2; r <= 7; ++r) {
        int ox, oy;
        at(ox, oy);
        for (int y = -r; y <= r; ++y)
            for (int x = -r; x <= r; ++x) {
                double d = std::hypot(x, y);
                if (d <= r && d > r - 2) page.at(ox + r + x, oy + r + y) = 1;
            }
    }
    return page;
}

const std::vector<Input>& Inputs() {
    static const std::vector<Input> inputs = {
        {"a4_text", TextPage()},
        {"a4_logo", ScannedLogo(PageW, PageH, 11)},
        {"a4_thin_lines", ThinLines()},
        {"glyphs24", GlyphSet(24)},
        {"glyphs72", GlyphSet(72)},
        {"small_solids", SmallSolids()},
    };
    return inputs;
}

struct Result {
    long nodes = 0;
    long xorPixels = 0;
};

Path TraceOurs(HDIB dib, const Setting& s) {
    SetTraceParam(nullptr, s.a, s.b, s.c, s.f);
    SetExtTraceParam(s.smooth, s.straighten, s.corners, s.snap, s.snap, s.connections, 5, 5, 0);
    PrepareTracing(dib);
    Path out;
    TraceAll(dib, out);
    return out;
}

Result Measure(const Path& path, const Pixels& source) {
    Result r;
    for (const SubPath& sp : path.subPaths) r.nodes += sp.members.Filled();
    r.xorPixels = XorCount(Rasterise(path, source.w, source.h), source);
    return r;
}

#ifdef HAVE_POTRACE
struct PotraceBitmap {
    explicit PotraceBitmap(const Pixels& p) {
        const int bitsPerWord = int(8 * sizeof(potrace_word));
        bm.w = p.w;
        bm.h = p.h;
        bm.dy = (p.w + bitsPerWord - 1) / bitsPerWord;
        words.assign(std::size_t(bm.dy) * p.h, 0);
        for (int y = 0; y < p.h; ++y)
            for (int x = 0; x < p.w; ++x)
                if (p.at(x, y))
                    words[std::size_t(y) * bm.dy + x / bitsPerWord] |=
                        potrace_word(1) << (bitsPerWord - 1 - x % bitsPerWord);
        bm.map = words.data();
    }
    potrace_bitmap_t bm{};
    std::vector<potrace_word> words;
};

// Potrace's pixel units become our half-pixel units; its scan line y is our line y.
Path FromPotrace(const potrace_state_t* st, long& nodes) {
    Path path;
    nodes = 0;
    for (const potrace_path_t* p = st->plist; p; p = p->next) {
        const potrace_curve_t& c = p->curve;
        if (c.n == 0) continue;
        const potrace_dpoint_t& start = c.c[c.n - 1][2];
        path.Append(PC_MOVETO, float(2 * start.x), float(2 * start.y));
        for (int i = 0; i < c.n; ++i) {
            if (c.tag[i] == POTRACE_CORNER) {
                path.Append(float(2 * c.c[i][1].x), float(2 * c.c[i][1].y));
                path.Append(float(2 * c.c[i][2].x), float(2 * c.c[i][2].y));
                nodes += 2;
            } else {
                path.Append(float(2 * c.c[i][0].x), float(2 * c.c[i][0].y),
                            float(2 * c.c[i][1].x), float(2 * c.c[i][1].y),
                            float(2 * c.c[i][2].x), float(2 * c.c[i][2].y));
                nodes += 1;
            }
        }
        path.ClosePath();
    }
    return path;
}
#endif

void Report(const std::string& input, const std::string& who, const Result& r) {
    std::printf("%-14s %-32s nodes %8ld  xor %8ld\n", input.c_str(), who.c_str(), r.nodes,
                r.xorPixels);
}

} // namespace

// The largest square of 50 % noise (every pixel a corner contact away from others, so the
// outlines are kept back to the end of the pass) that the node stores hold.
void LargestNoiseSquare() {
    std::uint32_t state = 99;
    int fits = 0;
    for (int n = 50; n <= 2000; n += 50) {
        Pixels p(n, n);
        for (auto& v : p.px) {
            state = state * 1664525u + 1013904223u;
            v = (state >> 8) & 1;
        }
        HDIB dib = MakeMonoDib(p);
        bool ok = true;
        try {
            TraceOurs(dib, Setting{0, 0, 0, 0, 0, 0, 0, 0, 0});
        } catch (const sLinkBankFull&) {
            ok = false;
        }
        GlobalFree(dib);
        if (!ok) {
            std::printf("noise square %d x %d exhausts the stores; %d x %d fits\n", n, n, fits, fits);
            return;
        }
        fits = n;
    }
    std::printf("noise squares up to %d x %d fit\n", fits, fits);
}

// What the settings promise: where bumps or steps are simplified the outline moves by at most
// one pixel, and the curves stay within twice the tolerance.
double PromisedDistance(const Setting& s) {
    return ((s.a || s.b) ? 1.0 : 0.0) + 2 * s.f;
}

struct Side {
    Result r;
    double seconds = 0;
};

void Row(const std::string& input, const Side& potrace, const Side& ours, double distance,
         double promise) {
    std::printf("| %s | %ld | %ld | %.2f ms | %ld | %ld | %.2f ms | %.2fx | %.2fx | %.2fx | %.2f / %.2f px |\n",
                input.c_str(), potrace.r.xorPixels, potrace.r.nodes, potrace.seconds * 1e3,
                ours.r.xorPixels, ours.r.nodes, ours.seconds * 1e3,
                potrace.r.xorPixels ? double(ours.r.xorPixels) / potrace.r.xorPixels : 0.0,
                potrace.r.nodes ? double(ours.r.nodes) / potrace.r.nodes : 0.0,
                potrace.seconds > 0 ? ours.seconds / potrace.seconds : 0.0, distance, promise);
    std::fflush(stdout);
}

int main(int argc, char** argv) {
    bool grid = false, noise = false;
    for (int i = 1; i < argc; ++i) {
        grid |= std::strcmp(argv[i], "--grid") == 0;
        noise |= std::strcmp(argv[i], "--noise") == 0;
    }
    if (noise) LargestNoiseSquare();
    std::printf("\ntraceconv_bench: potrace's defaults beside our default preset %s (time least of five)\n"
                "| input | potrace xor | nodes | time | ours xor | nodes | time | xor ratio | node ratio | "
                "time ratio | distance / promised |\n|---|---|---|---|---|---|---|---|---|---|---|\n",
                Preset.Name().c_str());
    for (const Input& in : Inputs()) {
        HDIB dib = MakeMonoDib(in.pixels);
        Side potrace, ours;
#ifdef HAVE_POTRACE
        {
            PotraceBitmap pb(in.pixels);
            potrace_param_t* param = potrace_param_default();
            potrace_state_t* st = potrace_trace(param, &pb.bm);
            long nodes;
            Path p = FromPotrace(st, nodes);
            potrace.r = Measure(p, in.pixels);
            potrace.r.nodes = nodes;
            potrace_state_free(st);
            potrace.seconds = peertable::LeastOf([&] {
                potrace_state_t* s = potrace_trace(param, &pb.bm);
                potrace_state_free(s);
            });
            potrace_param_free(param);
        }
#endif
        Path fitted = TraceOurs(dib, Preset);
        ours.r = Measure(fitted, in.pixels);
        ours.seconds = peertable::LeastOf([&] { Path p = TraceOurs(dib, Preset); });
        Path exact = TraceOurs(dib, Setting{0, 0, Preset.c, 0, 0, 0, 0, 0, 0});
        double distance = MeasureOutlineDistance(fitted, exact).Max();
        Row(in.name, potrace, ours, distance, PromisedDistance(Preset));
        GlobalFree(dib);
    }
    if (!grid) return 0;

    std::vector<Setting> settings;
    for (int a : {0, 2, 10})
        for (int b : {0, 1, 3})
            for (int c : {0, 1, 2})
                for (float f : {0.0f, 0.25f, 0.5f, 1.0f}) {
                    settings.push_back({a, b, c, f, 1, 1, 1, 1, 1});
                    if (f != 0) settings.push_back({a, b, c, f, 0, 1, 1, 1, 0});
                }
    for (const Input& in : Inputs()) {
        HDIB dib = MakeMonoDib(in.pixels);
        long potraceXor = -1;
#ifdef HAVE_POTRACE
        {
            PotraceBitmap pb(in.pixels);
            potrace_param_t* param = potrace_param_default();
            potrace_state_t* st = potrace_trace(param, &pb.bm);
            long nodes;
            Path p = FromPotrace(st, nodes);
            potraceXor = Measure(p, in.pixels).xorPixels;
            potrace_state_free(st);
            potrace_param_free(param);
        }
#endif
        // The grid setting closest to potrace's XOR without exceeding it: the most XOR
        // allowed, then the fewest nodes.
        Setting best{};
        Result bestResult;
        bool found = false;
        for (const Setting& s : settings) {
            Result r;
            try {
                r = Measure(TraceOurs(dib, s), in.pixels);
            } catch (const sLinkBankFull&) {
                std::printf("%-14s %-32s exhausts the stores\n", in.name.c_str(), s.Name().c_str());
                continue;
            }
            if (potraceXor >= 0 && r.xorPixels > potraceXor) continue;
            if (!found || r.xorPixels > bestResult.xorPixels ||
                (r.xorPixels == bestResult.xorPixels && r.nodes < bestResult.nodes)) {
                best = s;
                bestResult = r;
                found = true;
            }
        }
        if (found) Report(in.name, "ours closest " + best.Name(), bestResult);
        GlobalFree(dib);
    }
    return 0;
}
