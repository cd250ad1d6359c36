// Dithering, grey conversion and CMYK correction of a 4000 x 3000 picture, in pixels per
// second (the "items" rate).

#include <benchmark/benchmark.h>

#include "SyntheticPicture.h"

namespace {

CDib& Picture() {
    static CDib* picture = [] {
        auto* p = new CDib;
        MakeSyntheticPicture(*p);
        return p;
    }();
    return *picture;
}

void BM_OrderedDither(benchmark::State& state) {
    CDib& src = Picture();
    CDib dst(src.GetWidth(), src.GetHeight(), 8);
    for (auto _ : state)
        DIBInterface::OrderedDither(src, dst, 0, 0, 0, 0);
    state.SetItemsProcessed(state.iterations() * src.GetWidth() * src.GetHeight());
}

void BM_FSDither(benchmark::State& state) {
    CDib& src = Picture();
    CDib dst(src.GetWidth(), src.GetHeight(), 8);
    for (auto _ : state)
        DIBInterface::FSDither(src, dst, 0, 0, 0, 0);
    state.SetItemsProcessed(state.iterations() * src.GetWidth() * src.GetHeight());
}

void BM_GrayScale(benchmark::State& state) {
    CDib& src = Picture();
    for (auto _ : state) {
        state.PauseTiming();
        CDib copy(src.Copy());
        state.ResumeTiming();
        copy.GrayScale();
    }
    state.SetItemsProcessed(state.iterations() * src.GetWidth() * src.GetHeight());
}

void BM_CMYKCorrection(benchmark::State& state) {
    CDib& src = Picture();
    CDib copy(src.Copy());
    BYTE identity[256];
    for (int i = 0; i < 256; ++i)
        identity[i] = BYTE(i);
    for (auto _ : state)
        copy.CMYKCorrection(identity, identity, identity, identity);
    state.SetItemsProcessed(state.iterations() * src.GetWidth() * src.GetHeight());
}

} // namespace

BENCHMARK(BM_OrderedDither)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FSDither)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrayScale)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CMYKCorrection)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
