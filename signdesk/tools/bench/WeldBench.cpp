// The weld of a block of overlapping lettering (DejaVu Sans Bold, 630 letters in lines that
// overlap): all at once, and by one-letter clicks into the growing outline, beside the polygon
// clipping library uniting the flattened letters in one pass (non-zero, holes kept). Then the
// hover hit test over a sheet of 1,000 to 20,000 objects. Prints a table at the end.
//
//   bin/tools_weld_bench [--benchmark_repetitions=3]

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mfc/CWinApp.h"
#include "model/CPathObj.h"
#include "model/CSign.h"
#include "model/Weld.h"
#include "pathkit/Path.h"
#include "text/CCharacter.h"
#include "text/CTextLine.h"
#include "text/CTextObj.h"
#include "text/FontCache.h"
#include "text/TextSettings.h"
#include "win32/module.h"

#ifdef HAVE_POLYCLIPPING
#include <polyclipping/clipper.hpp>
#endif

namespace {

constexpr int Letters = 630;
const char* const LineText = "WeldingOverlappingLettersAtOnce";

struct Outcome {
    double seconds = 0, area = 0;
    int contours = 0, holes = 0;
};
std::map<std::string, Outcome> results;

// The letters of the block: lines of the text at size 30, each letter 0.12 of the size
// closer than the font sets it, lines 24 mm apart.
const std::vector<Path>& Block() {
    static std::vector<Path> letters = [] {
        std::vector<Path> out;
        DefaultFont = "DejaVu Sans Bold";
        CCharacter::DefaultStyle.size = 30;
        CCharacter::DefaultStyle.charSpacing = -0.12f;
        for (int line = 0; int(out.size()) < Letters; ++line) {
            std::unique_ptr<CTextObj> text(new CTextObj(0, -24.0f * float(line), nullptr, 0, 0));
            CTextLine* l = text->GetLine(0);
            l->m_bAutoKerning = 0;
            l->m_bCustomKerning = 0;
            CFontCache cache;
            for (const char* c = LineText; *c; ++c)
                l->m_children.Add(MakeCharacter(std::uint16_t(*c), nullptr, text.get(), l, cache));
            text->LayoutText(0);
            for (int k = 0; k < l->GetCount() && int(out.size()) < Letters; ++k)
                if (l->GetChar(k)->m_path.subPaths.Filled())
                    out.push_back(Path(l->GetChar(k)->m_path));
            if (line > 100) break; // no font: nothing to set
        }
        return out;
    }();
    return letters;
}

Outcome Measure(const Path& path) {
    Outcome o;
    for (const SubPath& sp : path.subPaths) {
        double a = 0;
        for (const PathMember& m : sp.members) {
            const int n = m.IsCurve() ? 16 : 1;
            floatPoint p = m.start;
            for (int i = 1; i <= n; ++i) {
                floatPoint q;
                m.GetPointAt(std::uint32_t(double(PM_PARAM_ONE) * i / n), q);
                a += double(p.x) * q.y - double(q.x) * p.y;
                p = q;
            }
        }
        o.area += a / 2;
        ++o.contours;
        o.holes += sp.IsHole();
    }
    return o;
}

CPathObj* LetterObject(const Path& letter) {
    auto* o = new CPathObj;
    static_cast<Path&>(o->m_path) = Path(letter);
    o->RefreshBBox();
    return o;
}

void Prepared(CSign& sign) {
    sign.CountLayerObjects();
    sign.RefreshBounds(1);
    sign.UpdateSelection();
}

// Every letter an object; all but the first selected, the first clicked.
void BM_WeldAtOnce(benchmark::State& state) {
    const std::vector<Path>& letters = Block();
    if (letters.size() < Letters) {
        state.SkipWithError("DejaVu Sans Bold not found");
        return;
    }
    Outcome best;
    for (auto _ : state) {
        state.PauseTiming();
        CSign sign;
        for (const Path& l : letters) {
            CPathObj* o = LetterObject(l);
            if (sign.GetSize()) o->Select();
            sign.Add(o);
        }
        Prepared(sign);
        Weld weld(sign, Weld::Union);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        weld.Click(sign.GetObj(0));
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        Outcome o = Measure(*sign.GetObj(0)->GetPath());
        o.seconds = s;
        if (best.seconds == 0 || s < best.seconds) best = o;
        state.ResumeTiming();
    }
    results["weld at once"] = best;
}

// The first letter is the target; each further letter is selected alone and the target clicked.
void BM_WeldByClicks(benchmark::State& state) {
    const std::vector<Path>& letters = Block();
    if (letters.size() < Letters) {
        state.SkipWithError("DejaVu Sans Bold not found");
        return;
    }
    Outcome best;
    for (auto _ : state) {
        state.PauseTiming();
        CSign sign;
        for (const Path& l : letters)
            sign.Add(LetterObject(l));
        Prepared(sign);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        for (std::size_t k = 1; k < letters.size(); ++k) {
            // The target stays first; the next letter is now second.
            sign.GetObj(1)->Select();
            Weld weld(sign, Weld::Union);
            weld.Click(sign.GetObj(0));
        }
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        Outcome o = Measure(*sign.GetObj(0)->GetPath());
        o.seconds = s;
        if (best.seconds == 0 || s < best.seconds) best = o;
        state.ResumeTiming();
    }
    results["weld by clicks"] = best;
}

#ifdef HAVE_POLYCLIPPING
constexpr double ClipScale = 10000; // units of 0.1 micrometre

void BM_ClipperUnion(benchmark::State& state) {
    const std::vector<Path>& letters = Block();
    if (letters.size() < Letters) {
        state.SkipWithError("DejaVu Sans Bold not found");
        return;
    }
    // Flattened within 0.01 mm, the accuracy the weld works at on letters this size.
    ClipperLib::Paths flat;
    for (const Path& l : letters)
        for (const SubPath& sp : l.subPaths) {
            ClipperLib::Path poly;
            for (const PathMember& m : sp.members) {
                const int n = m.IsCurve() ? 16 : 1;
                for (int i = 0; i < n; ++i) {
                    floatPoint q;
                    m.GetPointAt(std::uint32_t(double(PM_PARAM_ONE) * i / n), q);
                    poly.push_back(
                        ClipperLib::IntPoint(ClipperLib::cInt(std::llround(q.x * ClipScale)),
                                             ClipperLib::cInt(std::llround(q.y * ClipScale))));
                }
            }
            flat.push_back(std::move(poly));
        }
    Outcome best;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        ClipperLib::Clipper clipper;
        clipper.AddPaths(flat, ClipperLib::ptSubject, true);
        ClipperLib::Paths result;
        clipper.Execute(ClipperLib::ctUnion, result, ClipperLib::pftNonZero,
                        ClipperLib::pftNonZero);
        const double s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        Outcome o;
        o.seconds = s;
        for (const ClipperLib::Path& p : result) {
            o.area += ClipperLib::Area(p) / (ClipScale * ClipScale);
            ++o.contours;
            o.holes += !ClipperLib::Orientation(p);
        }
        if (best.seconds == 0 || s < best.seconds) best = o;
    }
    results["clipper union"] = best;
}
#endif

// A sheet of n letter-sized squares in a grid, and a pointer moving over it: one hit test per
// move, as the tools' hover does.
void BM_HoverHitTest(benchmark::State& state) {
    const int n = int(state.range(0));
    CSign sign;
    const int side = int(std::ceil(std::sqrt(double(n))));
    for (int i = 0; i < n; ++i) {
        auto* o = new CPathObj;
        const float x = float(i % side) * 12, y = float(i / side) * 12;
        o->m_path.MoveTo({x, y});
        o->m_path.LineTo({x + 10, y});
        o->m_path.LineTo({x + 10, y + 10});
        o->m_path.LineTo({x, y + 10});
        o->m_path.LineTo({x, y});
        o->m_path.ClosePath();
        o->m_path.Prepare();
        o->RefreshBBox();
        sign.Add(o);
    }
    Prepared(sign);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> where(0, float(side) * 12);
    std::vector<floatPoint> moves(1024);
    for (floatPoint& p : moves)
        p = floatPoint(where(random), where(random));
    std::size_t k = 0;
    for (auto _ : state) {
        floatPoint p = moves[k++ % moves.size()];
        benchmark::DoNotOptimize(sign.HitTest(p, 0.3f, 0, 0));
    }
    state.SetItemsProcessed(state.iterations());
}

// Seconds per move by sheet size, filled by the reporter.
std::map<int, double> hover;

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const std::string name = run.benchmark_name();
            if (name.rfind("BM_HoverHitTest/", 0) == 0 && run.run_type == Run::RT_Iteration) {
                const int n = std::stoi(name.substr(16));
                const double s =
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
                if (!hover.count(n) || s < hover[n]) hover[n] = s;
            }
        }
    }
};

} // namespace

BENCHMARK(BM_WeldAtOnce)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_WeldByClicks)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
#ifdef HAVE_POLYCLIPPING
BENCHMARK(BM_ClipperUnion)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
#endif
BENCHMARK(BM_HoverHitTest)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Arg(20000)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    // The lettering reads its strings from the program's resource library beside it.
    if (HMODULE resources = LoadLibraryA("signdesk.dll")) AfxSetResourceHandle(resources);
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-16s %10s %12s %9s %6s\n", "weld", "seconds", "area mm2", "contours", "holes");
    for (const auto& [name, o] : results)
        std::printf("%-16s %10.3f %12.2f %9d %6d\n", name.c_str(), o.seconds, o.area, o.contours,
                    o.holes);
    if (results.count("clipper union")) {
        const double c = results["clipper union"].seconds;
        for (const char* name : {"weld at once", "weld by clicks"})
            if (results.count(name))
                std::printf("%s / clipper: %.2f (goal <= 2)\n", name, results[name].seconds / c);
    }
    if (hover.size() >= 2) {
        std::printf("\n%-10s %14s\n", "objects", "ms per move");
        for (const auto& [n, s] : hover)
            std::printf("%-10d %14.4f\n", n, s * 1e3);
        const double n0 = hover.begin()->first, n1 = hover.rbegin()->first;
        const double e =
            std::log(hover.rbegin()->second / hover.begin()->second) / std::log(n1 / n0);
        std::printf("growth exponent %g..%g: %.2f\n", n0, n1, e);
    }
    benchmark::Shutdown();
    return 0;
}
