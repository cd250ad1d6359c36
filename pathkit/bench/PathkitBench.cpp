// Flattening quality and speed, and Prepare on many contours.
#include "pathkit/Bez3.h"
#include "pathkit/Bez3Engines.h"
#include "pathkit/Path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

struct Cubic {
    floatPoint p0, c1, c2, p3;
};

std::vector<Cubic> RandomCubics(int n) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<float> coord(0.0f, 200.0f);
    std::vector<Cubic> cubics(n);
    for (Cubic& c : cubics) {
        c.p0 = floatPoint(coord(rng), coord(rng));
        c.c1 = floatPoint(coord(rng), coord(rng));
        c.c2 = floatPoint(coord(rng), coord(rng));
        c.p3 = floatPoint(coord(rng), coord(rng));
    }
    return cubics;
}

// Counts the pieces and measures how far the exact curve strays from each piece's chord.
class DeviationMeter : public floatBez3Base {
public:
    explicit DeviationMeter(float tolerance) : floatBez3Base(tolerance) {}

    void Output(floatPoint& p0, floatPoint&, floatPoint&, floatPoint& p3) override {
        ++segments;
        if (!measure) return;
        double t0 = tStart / 2147483648.0, t1 = tEnd / 2147483648.0;
        double dx = p3.x - p0.x, dy = p3.y - p0.y, len2 = dx * dx + dy * dy;
        for (int k = 1; k < 8; ++k) {
            double t = t0 + (t1 - t0) * k / 8;
            double x = bez3(curve.p0.x, curve.c1.x, curve.c2.x, curve.p3.x, t);
            double y = bez3(curve.p0.y, curve.c1.y, curve.c2.y, curve.p3.y, t);
            double u = len2 > 0 ? std::clamp(((x - p0.x) * dx + (y - p0.y) * dy) / len2, 0.0, 1.0)
                                : 0.0;
            double ex = p0.x + u * dx - x, ey = p0.y + u * dy - y;
            maxDeviation = std::max(maxDeviation, std::sqrt(ex * ex + ey * ey));
        }
    }

    Cubic curve;
    bool measure = false;
    long segments = 0;
    double maxDeviation = 0;
};

void BM_Flatten(benchmark::State& state) {
    const float accuracy = 1.0f / float(state.range(0));
    static const std::vector<Cubic> cubics = RandomCubics(10000);
    DeviationMeter meter(accuracy);
    for (auto _ : state) {
        for (const Cubic& c : cubics)
            meter.CalcCurve(c.p0, c.c1, c.c2, c.p3, 0);
    }
    // Quality figures from one measured pass outside the timing.
    DeviationMeter check(accuracy);
    check.measure = true;
    for (const Cubic& c : cubics) {
        check.curve = c;
        check.CalcCurve(c.p0, c.c1, c.c2, c.p3, 0);
    }
    state.SetItemsProcessed(state.iterations() * cubics.size());
    state.counters["accuracy_mm"] = accuracy;
    state.counters["segments_per_curve"] = double(check.segments) / cubics.size();
    state.counters["max_deviation_mm"] = check.maxDeviation;
    state.counters["ns_per_curve"] = benchmark::Counter(
        double(state.iterations() * cubics.size()),
        benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Flatten)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// 1,000 contours: 250 groups of four nested circles side by side.
void BuildNestedContours(Path& path) {
    for (int g = 0; g < 250; ++g) {
        float cx = float(g % 25) * 30.0f, cy = float(g / 25) * 30.0f;
        for (int level = 0; level < 4; ++level) {
            Arc(path, cx, cy, 12.0f - 3.0f * level, 0.0, 2 * M_PI, level % 2 ? 1.0f : -1.0f);
            path.Close();
            path.ClosePath();
        }
    }
}

void BM_Prepare(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Path path(0.01f);
        BuildNestedContours(path);
        state.ResumeTiming();
        path.Prepare();
        benchmark::DoNotOptimize(path.subPaths.Filled());
    }
}
BENCHMARK(BM_Prepare)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
