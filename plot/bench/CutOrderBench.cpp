// Cut order of a sheet of lettering: the file order, a greedy nearest-neighbour order and the
// cut-order optimiser, on 200 lines of text outlines. The optimiser is built to save media
// feed, so the greedy order uses its weighted distance ((20 dy)^2 + dx^2) too, and each order
// reports its knife-up travel (straight-line), the feed along the media (y), the feed
// reversals and the weighted cost, with its time.
//
// The outlines are glyphs of DejaVu Sans taken through FreeType; lines are 10 mm high
// letters on a 14 mm pitch, laid out top line first as a design would hold them.

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include <pathkit/Path.h>
#include <pathkit/TMatrix.h>

#include "CutOrderOptimizer.h"
#include "TextLines.h"

namespace {

constexpr int kLines = benchtext::kLines;

const Path& Sheet() {
    static Path sheet = benchtext::TextLines(kLines);
    return sheet;
}

using benchtext::Greedy;
using benchtext::KnifeUp;
using benchtext::ToDevice;
using benchtext::Travel;

Path Optimised(const Path& source) {
    Path path(source);
    CutOrderOptimizer optimizer;
    optimizer.Load(path);
    optimizer.SetMatrix(ToDevice());
    optimizer.Optimise();
    optimizer.Store(path);
    return path;
}

void Report(benchmark::State& state, const Path& ordered) {
    state.counters["outlines"] = double(ordered.subPaths.Filled());
    KnifeUp t = Travel(ordered);
    state.counters["travel_mm"] = t.travel;
    state.counters["feed_mm"] = t.feed;
    state.counters["feed_reversals"] = t.reversals;
    state.counters["weighted_cost_mm"] = t.cost;
}

void BM_FileOrder(benchmark::State& state) {
    const Path& sheet = Sheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(Travel(sheet).travel);
    Report(state, sheet);
}

void BM_GreedyNearestNeighbour(benchmark::State& state) {
    const Path& sheet = Sheet();
    Path ordered;
    for (auto _ : state) {
        Path result = Greedy(sheet);
        ordered = result;
    }
    Report(state, ordered);
}

void BM_CutOrderOptimizer(benchmark::State& state) {
    const Path& sheet = Sheet();
    Path ordered;
    for (auto _ : state) {
        Path result = Optimised(sheet);
        ordered = result;
    }
    Report(state, ordered);
}

BENCHMARK(BM_FileOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GreedyNearestNeighbour)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CutOrderOptimizer)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
