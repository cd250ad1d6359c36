// How the record-language driver sends lettering: a line of DejaVu Sans, 20 mm high, as
// smooth points at the spline qualities 1 to 8 and as flattened lines (Accuracy 0.2 mm),
// beside the HP-GL of the template-language default (0.025 mm steps, Accuracy 0.1 mm).
// Counters: bytes sent, records (commands for HP-GL), and the largest distance in
// millimetres from the exact glyph curves of the lines the cutter would cut between the
// points (for smooth points: the chords between them, which the cutter's own fitting only
// brings closer). Run: amber_bench --benchmark_counters_tabular=true
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <driverframe/SaturatingBez3Base.h>

#include "SmoothPoints.h"

namespace {

const char* const kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kText = "Signs & Lettering 2026";
constexpr double kHeight = 20; // millimetres per em

struct Pt {
    double x, y;
};
struct Segment {
    bool move = false, curve = false;
    Pt p[4]; // a line uses p[0] and p[3]
};

struct Sink {
    std::vector<Segment>* out;
    double scale, penX;
    Pt last{};
    Pt Map(const FT_Vector* v) const { return {penX + v->x * scale, v->y * scale}; }
};

int Move(const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->last = s->Map(to);
    s->out->push_back({true, false, {s->last, s->last, s->last, s->last}});
    return 0;
}
int Line(const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    Pt p = s->Map(to);
    s->out->push_back({false, false, {s->last, s->last, p, p}});
    s->last = p;
    return 0;
}
int Conic(const FT_Vector* c, const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    Pt q = s->Map(c), p = s->Map(to), a = s->last;
    s->out->push_back({false,
                       true,
                       {a,
                        {a.x + 2 * (q.x - a.x) / 3, a.y + 2 * (q.y - a.y) / 3},
                        {p.x + 2 * (q.x - p.x) / 3, p.y + 2 * (q.y - p.y) / 3},
                        p}});
    s->last = p;
    return 0;
}
int Cubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    Pt p = s->Map(to);
    s->out->push_back({false, true, {s->last, s->Map(c1), s->Map(c2), p}});
    s->last = p;
    return 0;
}

const std::vector<Segment>& Text() {
    static std::vector<Segment> segments = [] {
        std::vector<Segment> out;
        FT_Library library;
        FT_Face face;
        if (FT_Init_FreeType(&library) || FT_New_Face(library, kFont, 0, &face)) {
            std::fprintf(stderr, "%s cannot be read\n", kFont);
            return out;
        }
        Sink sink{&out, kHeight / face->units_per_EM, 5};
        FT_Outline_Funcs funcs{};
        funcs.move_to = Move;
        funcs.line_to = Line;
        funcs.conic_to = Conic;
        funcs.cubic_to = Cubic;
        for (const char* c = kText; *c; ++c) {
            if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_NO_SCALE))
                continue;
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
            sink.penX += face->glyph->advance.x * sink.scale;
        }
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        return out;
    }();
    return segments;
}

Pt At(const Pt p[4], double t) {
    double u = 1 - t, a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    return {a * p[0].x + b * p[1].x + c * p[2].x + d * p[3].x,
            a * p[0].y + b * p[1].y + c * p[2].y + d * p[3].y};
}

// The largest distance from the curve of the polyline through `points` (millimetres).
double Deviation(const Pt p[4], const std::vector<Pt>& points) {
    constexpr int kSamples = 600;
    std::vector<Pt> curve(kSamples + 1);
    for (int i = 0; i <= kSamples; ++i)
        curve[std::size_t(i)] = At(p, double(i) / kSamples);
    double worst = 0;
    for (std::size_t i = 0; i + 1 < points.size(); ++i)
        for (int k = 0; k <= 8; ++k) {
            Pt q{points[i].x + (points[i + 1].x - points[i].x) * k / 8,
                 points[i].y + (points[i + 1].y - points[i].y) * k / 8};
            double best = 1e9;
            for (const Pt& c : curve)
                best = std::min(best, std::hypot(c.x - q.x, c.y - q.y));
            worst = std::max(worst, best);
        }
    return worst;
}

struct Result {
    long bytes = 0, records = 0;
    double deviation = 0;
};

// Flattened pieces of an integer curve, kept as their end points.
class Collector : public SaturatingBez3Base {
public:
    explicit Collector(std::int32_t tolerance) : SaturatingBez3Base(tolerance) {}
    void Output(SaturatingPoint&, SaturatingPoint&, SaturatingPoint&,
                SaturatingPoint& p3) override {
        ends.push_back(p3);
    }
    std::vector<SaturatingPoint> ends;
};

constexpr double kDeviceStep = 0.05;       // StepSize of the record-language section
constexpr double kUnit = kDeviceStep / 16; // the driver units the plot library uses
constexpr long kRecord = 5;                // bytes of a corner or smooth-point record
constexpr long kMove = 10;                 // break record and corner record

long Round(double v) {
    return long(std::floor(v + 0.5));
}
Pt Device(double mmX, double mmY) {
    return {std::trunc(mmX / kDeviceStep + 0.5) * kDeviceStep,
            std::trunc(mmY / kDeviceStep + 0.5) * kDeviceStep};
}

Result Records(int quality) {
    Result r;
    const SplineParameters parameters = SplineParameters::ForQuality(quality, kDeviceStep);
    for (const Segment& s : Text()) {
        if (s.move || !s.curve) {
            r.bytes += s.move ? kMove : kRecord;
            ++r.records;
            continue;
        }
        std::vector<Pt> points;
        long sent = 0;
        if (quality > 0) {
            // As the driver hands them over: driver units, back to millimetres. Every point
            // goes out, B(0) included.
            SmoothPoint p[4];
            for (int i = 0; i < 4; ++i)
                p[i] = {Round(s.p[i].x / kUnit) * kUnit, Round(s.p[i].y / kUnit) * kUnit};
            for (const SmoothPoint& q : SmoothPoints(p, parameters, 1))
                points.push_back(Device(q.x, q.y));
            sent = long(points.size());
        } else {
            SaturatingPoint p[4];
            for (int i = 0; i < 4; ++i)
                p[i].Fill(Round(s.p[i].x / kUnit), Round(s.p[i].y / kUnit));
            Collector flatten(Round(0.2 / kUnit));
            flatten.CalcCurve(p[0], p[1], p[2], p[3], 0);
            points.push_back(Device(s.p[0].x, s.p[0].y)); // the head
            for (const SaturatingPoint& e : flatten.ends)
                points.push_back(Device(e.x * kUnit, e.y * kUnit));
            sent = long(flatten.ends.size());
        }
        r.records += sent;
        r.bytes += kRecord * sent;
        r.deviation = std::max(r.deviation, Deviation(s.p, points));
    }
    return r;
}

Result Hpgl() {
    constexpr double kStep = 0.025;
    Result r;
    long hx = 0, hy = 0;
    auto send = [&](const char* command, long x, long y) {
        char text[64];
        r.bytes += std::snprintf(text, sizeof text, "%s%ld,%ld;", command, x - hx, y - hy);
        ++r.records;
        hx = x;
        hy = y;
    };
    for (const Segment& s : Text()) {
        const long x = Round(s.p[3].x / kStep), y = Round(s.p[3].y / kStep);
        if (s.move || !s.curve) {
            send(s.move ? "PU" : "PD", x, y);
            continue;
        }
        SaturatingPoint p[4];
        for (int i = 0; i < 4; ++i)
            p[i].Fill(Round(s.p[i].x / kStep) * 4, Round(s.p[i].y / kStep) * 4);
        Collector flatten(Round(0.1 / kStep));
        flatten.CalcCurve(p[0], p[1], p[2], p[3], 0);
        std::vector<Pt> points{{hx * kStep, hy * kStep}};
        for (const SaturatingPoint& e : flatten.ends) {
            send("PD", e.x >> 2, e.y >> 2);
            points.push_back({hx * kStep, hy * kStep});
        }
        r.deviation = std::max(r.deviation, Deviation(s.p, points));
    }
    return r;
}

void Report(benchmark::State& state, const Result& r) {
    state.counters["bytes"] = double(r.bytes);
    state.counters["records"] = double(r.records);
    state.counters["max_dev_mm"] = r.deviation;
}

void SmoothPointsAtQuality(benchmark::State& state) {
    Result r;
    for (auto _ : state)
        r = Records(int(state.range(0)));
    Report(state, r);
}
BENCHMARK(SmoothPointsAtQuality)->DenseRange(1, 8)->Unit(benchmark::kMillisecond);

void FlattenedLines(benchmark::State& state) {
    Result r;
    for (auto _ : state)
        r = Records(0);
    Report(state, r);
}
BENCHMARK(FlattenedLines)->Unit(benchmark::kMillisecond);

void CoralHpgl(benchmark::State& state) {
    Result r;
    for (auto _ : state)
        r = Hpgl();
    Report(state, r);
}
BENCHMARK(CoralHpgl)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
