// Path combination and offsetting against a general polygon clipping library on the same
// inputs: the intersection of two random polygons, the weld of lines of overlapping letters
// (at once and letter by letter) and the outline and inline of a line of text. Every row runs
// five times; at the end a table gives the fastest run of each side and their ratio, with the
// areas of the results (mm^2) to show that both computed the same thing.
#include "pathkit/Path.h"
#include "pathkit/ParalelPath.h"
#include "pathkit/PathCombination.h"
#include "../tests/RandomPolygon.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
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
const char* const RegularFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const BoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct OutlineSink {
    Path* path;
    double scale, dx, dy;
    floatPoint last;
    floatPoint At(const FT_Vector* v) const {
        return floatPoint(float(v->x * scale + dx), float(v->y * scale + dy));
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

// The letters of Text at a cap height of about 20 mm, one path per letter, in `lines` lines
// 0.8 of the em apart (so that they overlap), each letter advanced by `advance` of its advance
// width (below 1, neighbours overlap). Empty when the font cannot be read.
std::vector<Path> TextOutlines(const char* fontFile, int lines, double advance) {
    std::vector<Path> letters;
    FT_Library library;
    if (FT_Init_FreeType(&library)) return letters;
    FT_Face face;
    if (FT_New_Face(library, fontFile, 0, &face) == 0) {
        double scale = 28.0 / face->units_per_EM; // em of 28 mm
        FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
        for (int line = 0; line < lines; ++line) {
            double x = 0, y = -0.8 * 28 * line;
            for (const char* c = Text; *c; ++c) {
                if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)),
                                 FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING))
                    continue;
                Path letter(Accuracy);
                OutlineSink sink{&letter, scale, x, y, floatPoint()};
                FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
                sink.Finish();
                letter.Prepare();
                if (letter.subPaths.Filled()) letters.push_back(std::move(letter));
                x += advance * face->glyph->metrics.horiAdvance * scale;
            }
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return letters;
}

// One line overlapping (Advance 0.55) in the regular face: the weld command's everyday case.
const std::vector<Path>& WeldLine() {
    static const std::vector<Path> letters = TextOutlines(RegularFont, 1, 0.55);
    return letters;
}

// Twenty overlapping lines in the bold face.
const std::vector<Path>& WeldBlock() {
    static const std::vector<Path> letters = TextOutlines(BoldFont, 20, 0.55);
    return letters;
}

// One line set normally in the bold face, for offsetting.
const std::vector<Path>& OffsetLine() {
    static const std::vector<Path> letters = TextOutlines(BoldFont, 1, 1.0);
    return letters;
}

Path Joined(const std::vector<Path>& letters) {
    Path all(Accuracy);
    for (const Path& letter : letters) {
        Path copy(letter);
        all.Concat(copy);
    }
    return all;
}

int Edges(const std::vector<Path>& letters) {
    int n = 0;
    for (const Path& letter : letters)
        for (const SubPath& sp : letter.subPaths)
            n += sp.members.Filled();
    return n;
}
#endif

Path RandomPolygon(int n, unsigned seed, double jag) {
    return pathtest::RandomPolygon(n, seed, jag, Accuracy);
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
// The letters of arg 0 (0: the line, 1: the block) welded letter by letter.
const std::vector<Path>& WeldInput(const benchmark::State& state) {
    return state.range(0) ? WeldBlock() : WeldLine();
}

void BM_TextWeld_pathkit(benchmark::State& state) {
    const std::vector<Path>& letters = WeldInput(state);
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    Path result(Accuracy);
    int failures = 0;
    for (auto _ : state)
        failures = WeldLetters(letters, result);
    ReportPath(state, result, failures);
    state.counters["letters"] = double(letters.size());
    state.counters["edges"] = Edges(letters);
}

// All letters of the block as one path, united by SumTo.
void BM_TextSum_pathkit(benchmark::State& state) {
    const std::vector<Path>& letters = WeldBlock();
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    Path all = Joined(letters), result(Accuracy);
    int code = 0;
    for (auto _ : state) {
        Path copy(all);
        result = Path(Accuracy);
        code = SumTo(copy, result);
    }
    ReportPath(state, result, code != 0);
    state.counters["letters"] = double(letters.size());
    state.counters["edges"] = Edges(letters);
}

// The line offset by 2 mm outwards (arg 1) or inwards (arg 0).
void BM_TextOffset_pathkit(benchmark::State& state) {
    const std::vector<Path>& letters = OffsetLine();
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    float d = state.range(0) ? 2.0f : -2.0f;
    Path all = Joined(letters), result(Accuracy);
    for (auto _ : state) {
        Path copy(all);
        result = Path(Accuracy);
        ParalelPath(copy, d, 0, 0, result, 0);
    }
    if (!result.subPaths.Filled()) {
        state.SkipWithError("no offset (is Outline.so in the program folder?)");
        return;
    }
    ReportPath(state, result, 0);
    state.counters["edges"] = Edges(letters);
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
ClipperLib::Paths FlatLetters(const std::vector<Path>& letters) {
    ClipperLib::Paths all;
    for (const Path& letter : letters) {
        ClipperLib::Paths p = ToClipper(letter);
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

// The union of all letters at once: what the library does for a weld and for SumTo alike.
void BM_TextUnion_clipper(benchmark::State& state, const std::vector<Path>& letters) {
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    ClipperLib::Paths flat = FlatLetters(letters), result;
    for (auto _ : state) {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(flat, ClipperLib::ptSubject, true);
        result.clear();
        clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
    }
    ReportClipper(state, result);
}

void BM_TextWeld_clipper(benchmark::State& state) {
    BM_TextUnion_clipper(state, WeldInput(state));
}

// SumTo fills every contour (a letter's counter too), so every contour runs one way here.
void BM_TextSum_clipper(benchmark::State& state) {
    const std::vector<Path>& letters = WeldBlock();
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    ClipperLib::Paths flat = FlatLetters(letters), result;
    for (ClipperLib::Path& p : flat)
        if (!ClipperLib::Orientation(p)) ClipperLib::ReversePath(p);
    for (auto _ : state) {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(flat, ClipperLib::ptSubject, true);
        result.clear();
        clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
    }
    ReportClipper(state, result);
}

// Round joins within the accuracy, as the outline engine keeps them.
void BM_TextOffset_clipper(benchmark::State& state) {
    const std::vector<Path>& letters = OffsetLine();
    if (letters.empty()) {
        state.SkipWithError("font not readable");
        return;
    }
    double d = (state.range(0) ? 2.0 : -2.0) * ClipScale;
    ClipperLib::Paths flat = FlatLetters(letters), result;
    for (auto _ : state) {
        ClipperLib::ClipperOffset offset(2, Accuracy * ClipScale);
        offset.AddPaths(flat, ClipperLib::jtRound, ClipperLib::etClosedPolygon);
        result.clear();
        offset.Execute(result, d);
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

// ---- the table

// Keeps the fastest of the repetitions of every run, and prints the rows side by side.
class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "min") continue;
            std::string name = run.run_name.str();
            // "Row/<input>/<side>/args..." -> input + args, side
            std::size_t first = name.find('/'), second = name.find('/', first + 1);
            std::size_t third = name.find('/', second + 1);
            std::string input = name.substr(first + 1, second - first - 1);
            std::string side = name.substr(second + 1, third == std::string::npos
                                                           ? std::string::npos
                                                           : third - second - 1);
            if (third != std::string::npos) input += name.substr(third);
            double seconds = run.GetAdjustedRealTime() /
                             benchmark::GetTimeUnitMultiplier(run.time_unit);
            auto area = run.counters.find("area_mm2");
            Cell& cell = side == "pathkit" ? rows_[Key(input)].pathkit : rows_[Key(input)].clipper;
            cell.seconds = seconds;
            cell.area = area == run.counters.end() ? 0 : double(area->second);
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-32s %12s %12s %8s %14s %14s\n", "input (fastest of 5)", "pathkit",
                    "clipper", "ratio", "area pathkit", "area clipper");
        for (const std::string& input : order_) {
            const Row& r = rows_[input];
            std::printf("%-32s %10.2fms %10.2fms %7.1fx %14.4f %14.4f\n", input.c_str(),
                        r.pathkit.seconds * 1e3, r.clipper.seconds * 1e3,
                        r.clipper.seconds > 0 ? r.pathkit.seconds / r.clipper.seconds : 0.0,
                        r.pathkit.area, r.clipper.area);
        }
    }

private:
    struct Cell {
        double seconds = 0, area = 0;
    };
    struct Row {
        Cell pathkit, clipper;
    };
    const std::string& Key(const std::string& input) {
        if (!rows_.count(input)) order_.push_back(input);
        return input;
    }
    std::map<std::string, Row> rows_;
    std::vector<std::string> order_;
};

benchmark::internal::Benchmark* Configure(benchmark::internal::Benchmark* b) {
    return b->Unit(benchmark::kMillisecond)
        ->Repetitions(5)
        ->ComputeStatistics("min",
                            [](const std::vector<double>& v) {
                                return *std::min_element(v.begin(), v.end());
                            })
        ->ReportAggregatesOnly(true);
}

// Registered in pairs, so that the two rows of each input follow each other.
void Register() {
    // Lobed outlines with jagged edges, and once fully random radii (the worst case).
    std::vector<std::pair<int, int>> runs = {
        {1000, 50}, {7000, 50}, {4000, 200}, {7000, 200}, {1000, 800}};
    for (auto [n, jag] : runs) {
        Configure(benchmark::RegisterBenchmark("Row/RandomSection/pathkit",
                                               BM_RandomSection_pathkit)
                      ->Args({n, jag}));
#ifdef HAVE_POLYCLIPPING
        Configure(benchmark::RegisterBenchmark("Row/RandomSection/clipper",
                                               BM_RandomSection_clipper)
                      ->Args({n, jag}));
#endif
    }
#ifdef HAVE_FREETYPE
    Configure(benchmark::RegisterBenchmark("Row/TextSumTo/pathkit", BM_TextSum_pathkit));
#ifdef HAVE_POLYCLIPPING
    Configure(benchmark::RegisterBenchmark("Row/TextSumTo/clipper", BM_TextSum_clipper));
#endif
    // Letter by letter: one overlapping line, then the block of the SumTo row.
    for (int block : {0, 1}) {
        Configure(benchmark::RegisterBenchmark("Row/TextWeldByLetter/pathkit", BM_TextWeld_pathkit)
                      ->Arg(block));
#ifdef HAVE_POLYCLIPPING
        Configure(benchmark::RegisterBenchmark("Row/TextWeldByLetter/clipper", BM_TextWeld_clipper)
                      ->Arg(block));
#endif
    }
    // Arg 1 outwards, 0 inwards, by 2 mm.
    for (int outwards : {1, 0}) {
        Configure(benchmark::RegisterBenchmark("Row/TextOffset2mm/pathkit", BM_TextOffset_pathkit)
                      ->Arg(outwards));
#ifdef HAVE_POLYCLIPPING
        Configure(benchmark::RegisterBenchmark("Row/TextOffset2mm/clipper", BM_TextOffset_clipper)
                      ->Arg(outwards));
#endif
    }
#endif
}

} // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
