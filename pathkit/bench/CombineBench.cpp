// Path combination against a general polygon clipping library on the same inputs: the weld of
// a line of overlapping letters, and the intersection of two random polygons. Each row reports
// the time and the area of the result (mm^2) so that the two can be compared side by side.
#include "pathkit/Path.h"
#include "pathkit/PathCombination.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

#ifdef HAVE_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#endif

#ifdef HAVE_POLYCLIPPING
#include <clipper.hpp>
#endif

namespace {

// ---- shared geometry

struct Pt {
    double x, y;
};

Pt Bezier(const Pt& p0, const Pt& c1, const Pt& c2, const Pt& p3, double t) {
    double u = 1 - t;
    double w0 = u * u * u, w1 = 3 * t * u * u, w2 = 3 * t * t * u, w3 = t * t * t;
    return {w0 * p0.x + w1 * c1.x + w2 * c2.x + w3 * p3.x,
            w0 * p0.y + w1 * c1.y + w2 * c2.y + w3 * p3.y};
}

// Pieces for a cubic so that no chord strays more than tol from the curve.
int Pieces(const Pt& p0, const Pt& c1, const Pt& c2, const Pt& p3, double tol) {
    double ax = p0.x - 2 * c1.x + c2.x, ay = p0.y - 2 * c1.y + c2.y;
    double bx = c1.x - 2 * c2.x + p3.x, by = c1.y - 2 * c2.y + p3.y;
    double m = std::max(std::hypot(ax, ay), std::hypot(bx, by));
    return std::max(1, int(std::ceil(std::sqrt(0.75 * m / tol))));
}

using Polygon = std::vector<Pt>;

// Each contour as a polygon, curves flattened within tol.
std::vector<Polygon> Flatten(const Path& path, double tol) {
    std::vector<Polygon> out;
    for (const SubPath& sp : path.subPaths) {
        Polygon poly;
        for (const PathMember& m : sp.members) {
            Pt p0{m.start.x, m.start.y}, p3{m.end.x, m.end.y};
            if (poly.empty()) poly.push_back(p0);
            if (!m.IsCurve()) {
                poly.push_back(p3);
                continue;
            }
            Pt c1{m.ctrl1.x, m.ctrl1.y}, c2{m.ctrl2.x, m.ctrl2.y};
            int n = Pieces(p0, c1, c2, p3, tol);
            for (int i = 1; i <= n; ++i)
                poly.push_back(Bezier(p0, c1, c2, p3, double(i) / n));
        }
        out.push_back(std::move(poly));
    }
    return out;
}

double SignedArea(const Polygon& poly) {
    double a = 0;
    for (std::size_t i = 0; i < poly.size(); ++i) {
        const Pt &p = poly[i], &q = poly[(i + 1) % poly.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

// Net area of a prepared path (holes run clockwise and count negative).
double NetArea(const Path& path) {
    double a = 0;
    for (const Polygon& poly : Flatten(path, 0.0005))
        a += SignedArea(poly);
    return a;
}

// ---- inputs

constexpr float Accuracy = 0.01f; // mm
const char* const Text = "SIGNDESKweldsOVERLAPPINGletters&Digits09";

#ifdef HAVE_FREETYPE
const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
// Part of each letter's advance: below 1, neighbours overlap.
constexpr double Advance = 0.55;

struct OutlineSink {
    Path* path;
    double scale, dx;
    floatPoint last;
    floatPoint At(const FT_Vector* v) const {
        return floatPoint(float(v->x * scale + dx), float(v->y * scale));
    }
    void Finish() {
        path->Close();
        path->ClosePath();
    }
};

int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->Finish();
    s->last = s->At(to);
    s->path->MoveTo(s->last);
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->last = s->At(to);
    s->path->LineTo(s->last);
    return 0;
}

// Quadratic segments become the equal cubics.
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    floatPoint c = s->At(control), e = s->At(to), p = s->last;
    floatPoint c1(p.x + 2.0f / 3 * (c.x - p.x), p.y + 2.0f / 3 * (c.y - p.y));
    floatPoint c2(e.x + 2.0f / 3 * (c.x - e.x), e.y + 2.0f / 3 * (c.y - e.y));
    s->path->CurveTo(c1, c2, e);
    s->last = e;
    return 0;
}

int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->last = s->At(to);
    s->path->CurveTo(s->At(c1), s->At(c2), s->last);
    return 0;
}

// The letters of Text at a cap height of about 20 mm, each advanced by Advance of its advance
// width; one path per letter. Empty when the font cannot be read.
std::vector<Path> TextOutlines() {
    std::vector<Path> letters;
    FT_Library library;
    if (FT_Init_FreeType(&library)) return letters;
    FT_Face face;
    if (FT_New_Face(library, FontFile, 0, &face) == 0) {
        double scale = 28.0 / face->units_per_EM; // em of 28 mm
        double x = 0;
        FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
        for (const char* c = Text; *c; ++c) {
            if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)),
                             FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING))
                continue;
            Path letter(Accuracy);
            OutlineSink sink{&letter, scale, x, floatPoint()};
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
            sink.Finish();
            letter.Prepare();
            if (letter.subPaths.Filled()) letters.push_back(std::move(letter));
            x += Advance * face->glyph->metrics.horiAdvance * scale;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return letters;
}
#endif

// A star-shaped polygon of n edges around a random centre, inside the 800 x 600 box: the
// radius follows a few random harmonics (a smooth, lobed outline) plus a random jag of up to
// `jag` of the reach at every vertex. It never crosses itself. With jag 0.05 two such polygons
// cross some hundreds to thousands of times; with jag 0.8 (fully random radii) the crossings
// grow with the square of n.
Path RandomPolygon(int n, unsigned seed, double jag) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> cx(300, 500), cy(250, 350), unit(0, 1);
    double x0 = cx(rng), y0 = cy(rng);
    double reach = std::min({x0, 800 - x0, y0, 600 - y0});
    const int harmonics = 8;
    double amplitude[harmonics], phase[harmonics];
    for (int k = 0; k < harmonics; ++k) {
        amplitude[k] = unit(rng) / (k + 1);
        phase[k] = unit(rng) * 2 * std::numbers::pi;
    }
    Path path(Accuracy);
    for (int i = 0; i < n; ++i) {
        double t = 2 * std::numbers::pi * (i + 0.8 * unit(rng)) / n;
        double lobes = 0;
        for (int k = 0; k < harmonics; ++k)
            lobes += amplitude[k] * std::sin((k + 1) * t + phase[k]);
        double r = reach * (1 - jag) * (0.85 + 0.07 * lobes) + reach * jag * unit(rng);
        floatPoint p(float(x0 + r * std::cos(t)), float(y0 + r * std::sin(t)));
        if (i == 0) {
            path.MoveTo(p);
        } else {
            path.LineTo(p);
        }
    }
    path.Close();
    path.ClosePath();
    return path;
}

// Jag of the polygons of each run: the second argument in thousandths.
double Jag(const benchmark::State& state) {
    return state.range(1) / 1000.0;
}

// ---- pathkit

// Welds the letters one after the other into the running outline, as the weld command does.
int WeldLetters(const std::vector<Path>& letters, Path& result) {
    int failures = 0;
    result = Path(Accuracy);
    for (const Path& letter : letters) {
        Path copy(letter), merged(Accuracy);
        failures += SafeMerge(copy, result, merged) != 0;
        result.subPaths.Destroy();
        result.Concat(merged);
    }
    return failures;
}

void ReportPath(benchmark::State& state, const Path& result, int failures) {
    state.counters["area_mm2"] = NetArea(result);
    int holes = 0;
    for (const SubPath& sp : result.subPaths)
        holes += sp.IsHole();
    state.counters["contours"] = result.subPaths.Filled();
    state.counters["holes"] = holes;
    state.counters["failures"] = failures;
}

#ifdef HAVE_FREETYPE
void BM_TextWeld_pathkit(benchmark::State& state) {
    static const std::vector<Path> letters = TextOutlines();
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    Path result(Accuracy);
    int failures = 0;
    for (auto _ : state)
        failures = WeldLetters(letters, result);
    ReportPath(state, result, failures);
}
#endif

void BM_RandomSection_pathkit(benchmark::State& state) {
    int n = int(state.range(0));
    Path a = RandomPolygon(n, 1, Jag(state)), b = RandomPolygon(n, 2, Jag(state));
    Path result(Accuracy);
    int code = 0;
    for (auto _ : state) {
        Path ca(a), cb(b);
        result = Path(Accuracy);
        code = SafeSection(ca, cb, result);
    }
    ReportPath(state, result, code != 0);
}

// ---- the clipping library, on the same outlines flattened within the accuracy

#ifdef HAVE_POLYCLIPPING
// Integer units of 0.1 micrometre.
constexpr double ClipScale = 10000;

ClipperLib::Paths ToClipper(const Path& path) {
    ClipperLib::Paths out;
    for (const Polygon& poly : Flatten(path, Accuracy)) {
        ClipperLib::Path p;
        for (const Pt& q : poly)
            p.push_back(ClipperLib::IntPoint(ClipperLib::cInt(std::llround(q.x * ClipScale)),
                                             ClipperLib::cInt(std::llround(q.y * ClipScale))));
        out.push_back(std::move(p));
    }
    return out;
}

void ReportClipper(benchmark::State& state, const ClipperLib::Paths& result) {
    double a = 0;
    int holes = 0;
    for (const ClipperLib::Path& p : result) {
        a += ClipperLib::Area(p);
        holes += !ClipperLib::Orientation(p);
    }
    state.counters["area_mm2"] = a / (ClipScale * ClipScale);
    state.counters["contours"] = double(result.size());
    state.counters["holes"] = holes;
    state.counters["failures"] = 0;
}

#ifdef HAVE_FREETYPE
void BM_TextWeld_clipper(benchmark::State& state) {
    static const std::vector<Path> letters = TextOutlines();
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    std::vector<ClipperLib::Paths> flat;
    for (const Path& letter : letters)
        flat.push_back(ToClipper(letter));
    ClipperLib::Paths result;
    for (auto _ : state) {
        ClipperLib::Clipper clipper;
        for (const ClipperLib::Paths& p : flat)
            clipper.AddPaths(p, ClipperLib::ptSubject, true);
        result.clear();
        clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
    }
    ReportClipper(state, result);
}
#endif

void BM_RandomSection_clipper(benchmark::State& state) {
    int n = int(state.range(0));
    ClipperLib::Paths a = ToClipper(RandomPolygon(n, 1, Jag(state))),
                      b = ToClipper(RandomPolygon(n, 2, Jag(state)));
    ClipperLib::Paths result;
    for (auto _ : state) {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(a, ClipperLib::ptSubject, true);
        clipper.AddPaths(b, ClipperLib::ptClip, true);
        result.clear();
        clipper.Execute(ClipperLib::ctIntersection, result, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
    }
    ReportClipper(state, result);
}
#endif

// Registered in pairs, so that the two rows of each input follow each other.
void Register() {
#ifdef HAVE_FREETYPE
    benchmark::RegisterBenchmark("TextWeld/pathkit", BM_TextWeld_pathkit)
        ->Unit(benchmark::kMillisecond);
#ifdef HAVE_POLYCLIPPING
    benchmark::RegisterBenchmark("TextWeld/clipper", BM_TextWeld_clipper)
        ->Unit(benchmark::kMillisecond);
#endif
#endif
    // Lobed outlines with jagged edges, and once fully random radii (the worst case).
    std::vector<std::pair<int, int>> runs = {{1000, 50},  {2000, 50},  {4000, 50},
                                             {7000, 50},  {1000, 200}, {2000, 200},
                                             {4000, 200}, {7000, 200}, {1000, 800}};
    for (auto [n, jag] : runs) {
        benchmark::RegisterBenchmark("RandomSection/pathkit", BM_RandomSection_pathkit)
            ->Args({n, jag})
            ->Unit(benchmark::kMillisecond);
#ifdef HAVE_POLYCLIPPING
        benchmark::RegisterBenchmark("RandomSection/clipper", BM_RandomSection_clipper)
            ->Args({n, jag})
            ->Unit(benchmark::kMillisecond);
#endif
    }
}

} // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
