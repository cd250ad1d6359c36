// Playing the fifty benchmark metafiles onto an A4 page at 300 dpi, one benchmark per file.

#include <benchmark/benchmark.h>

#include "BenchDrawings.h"

namespace {

const std::vector<bench::BenchFile>& files() {
    static const std::vector<bench::BenchFile> all = bench::benchFiles();
    return all;
}

void BM_PlayOnA4(benchmark::State& state) {
    const bench::BenchFile& f = files()[std::size_t(state.range(0))];
    bench::Page page;
    for (auto _ : state) {
        page.clear();
        if (!bench::playOnPage(page.dc, f)) state.SkipWithError("the metafile did not play");
    }
    state.SetLabel(f.name + " " + f.kind);
}
BENCHMARK(BM_PlayOnA4)->DenseRange(0, 49)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
