// Throughput of conv-dxf and conv-plt on generated 50 MB files, beside other readers of the
// same files; for conv-plt also members per input stroke and the largest distance of the
// fitted curves from the strokes (on the lettering fixture).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "DxfConverter.h"
#include "PenTable.h"
#include "PlotFileConverter.h"
#include "pathkit/FileStreams.h"

#ifdef HAVE_DXFLIB
#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::size_t TargetSize = 50u << 20;

fs::path Scratch() {
    fs::path p = fs::temp_directory_path() / "signdesk-converter-bench";
    fs::create_directories(p);
    return p;
}

const fs::path& DxfFile() {
    static fs::path file = [] {
        fs::path p = Scratch() / "big.dxf";
        std::ofstream out(p, std::ios::binary);
        out << "0\nSECTION\n2\nHEADER\n9\n$LUNITS\n70\n2\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n";
        char buf[512];
        std::size_t written = 0;
        for (long i = 0; written < TargetSize; ++i) {
            double x = double(i % 1000), y = double(i / 1000);
            int n;
            switch (i % 4) {
            case 0:
                n = std::snprintf(buf, sizeof buf,
                                  "0\nLINE\n8\n0\n10\n%.6f\n20\n%.6f\n30\n0.0\n11\n%.6f\n21\n%.6f\n31\n0.0\n",
                                  x, y, x + 0.7, y + 0.3);
                break;
            case 1:
                n = std::snprintf(buf, sizeof buf,
                                  "0\nARC\n8\n0\n10\n%.6f\n20\n%.6f\n30\n0.0\n40\n0.4\n50\n30.0\n51\n250.0\n",
                                  x, y);
                break;
            case 2:
                n = std::snprintf(buf, sizeof buf, "0\nCIRCLE\n8\n0\n10\n%.6f\n20\n%.6f\n30\n0.0\n40\n0.25\n",
                                  x, y);
                break;
            default:
                n = std::snprintf(buf, sizeof buf,
                                  "0\nLWPOLYLINE\n8\n0\n90\n4\n70\n1\n10\n%.6f\n20\n%.6f\n42\n0.4\n"
                                  "10\n%.6f\n20\n%.6f\n10\n%.6f\n20\n%.6f\n42\n-0.3\n10\n%.6f\n20\n%.6f\n",
                                  x, y, x + 0.5, y, x + 0.5, y + 0.5, x, y + 0.5);
                break;
            }
            out.write(buf, n);
            written += std::size_t(n);
        }
        out << "0\nENDSEC\n0\nEOF\n";
        return p;
    }();
    return file;
}

std::string Fixture() {
    std::ifstream in(fs::path(PLT_DATA_DIR) / "lettering.hpgl", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Stroke {
    bool down;
    long x, y;
};

// The PU/PD points of the lettering fixture.
std::vector<Stroke> FixtureStrokes() {
    std::string text = Fixture();
    std::vector<Stroke> out;
    for (std::size_t at = 0; (at = text.find('P', at)) != std::string::npos; ++at) {
        if (at + 2 >= text.size() || (text[at + 1] != 'U' && text[at + 1] != 'D')) continue;
        long x, y;
        if (std::sscanf(text.c_str() + at + 2, "%ld,%ld", &x, &y) == 2)
            out.push_back({text[at + 1] == 'D', x, y});
    }
    return out;
}

const fs::path& PlotFile() {
    static fs::path file = [] {
        fs::path p = Scratch() / "big.hpgl";
        std::ofstream out(p, std::ios::binary);
        std::vector<Stroke> strokes = FixtureStrokes();
        long width = 0, height = 0;
        for (const Stroke& s : strokes) {
            width = std::max(width, s.x);
            height = std::max(height, s.y);
        }
        out << "IN;SP1;";
        std::size_t written = 7;
        char buf[64];
        for (long copy = 0; written < TargetSize; ++copy) {
            long dx = (copy % 20) * width, dy = (copy / 20) * height;
            for (const Stroke& s : strokes) {
                int n = std::snprintf(buf, sizeof buf, "%s%ld,%ld;", s.down ? "PD" : "PU",
                                      s.x + dx, s.y + dy);
                out.write(buf, n);
                written += std::size_t(n);
            }
        }
        out << "PU;";
        return p;
    }();
    return file;
}

void ConvDxf(benchmark::State& state) {
    const fs::path& source = DxfFile();
    fs::path target = Scratch() / "big.bez";
    for (auto _ : state) {
        FileInStream in(source.c_str());
        FileOutStream out(target.c_str());
        int result = dxf::ConvertDxf(in, in.Size(), out, nullptr);
        out.Close();
        if (result != 0) state.SkipWithError("conversion failed");
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(fs::file_size(source)));
}
BENCHMARK(ConvDxf)->Unit(benchmark::kMillisecond)->Iterations(3);

#ifdef HAVE_DXFLIB
class CountingAdapter : public DL_CreationAdapter {
public:
    void addLine(const DL_LineData&) override { ++entities; }
    void addArc(const DL_ArcData&) override { ++entities; }
    void addCircle(const DL_CircleData&) override { ++entities; }
    void addPolyline(const DL_PolylineData&) override { ++entities; }
    void addVertex(const DL_VertexData&) override { ++vertices; }
    long entities = 0, vertices = 0;
};

void Dxflib(benchmark::State& state) {
    const fs::path& source = DxfFile();
    for (auto _ : state) {
        CountingAdapter adapter;
        DL_Dxf dxf;
        if (!dxf.in(source.string(), &adapter)) state.SkipWithError("dxflib failed");
        benchmark::DoNotOptimize(adapter.entities);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(fs::file_size(source)));
}
BENCHMARK(Dxflib)->Unit(benchmark::kMillisecond)->Iterations(3);
#endif

class BlackPens : public PenTable {
public:
    BlackPens() : PenTable("") {}
    std::string Colour(long) const override { return "R0G0B0"; }
};

struct Point {
    double x, y;
};

double SegmentDistance(Point a, Point b, Point q) {
    double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((q.x - a.x) * dx + (q.y - a.y) * dy) / len2 : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(q.x - (a.x + t * dx), q.y - (a.y + t * dy));
}

// Members per input stroke and the largest distance (mm) of the fitted output from the
// strokes, on the lettering fixture.
void FitQuality(double& membersPerStroke, double& largest) {
    std::string text = Fixture();
    std::vector<Stroke> strokes = FixtureStrokes();
    std::vector<std::pair<Point, Point>> segments;
    Point cur{0, 0};
    for (const Stroke& s : strokes) {
        Point p{s.x * 0.025, s.y * 0.025};
        if (s.down) segments.push_back({cur, p});
        cur = p;
    }
    fs::path in = Scratch() / "lettering.hpgl", outFile = Scratch() / "lettering.wpf";
    std::ofstream(in, std::ios::binary) << text;
    {
        FileInStream source(in.c_str());
        FileOutStream out(outFile.c_str());
        plt::ConvertPlot(source, source.Size(), out, nullptr, BlackPens());
        out.Close();
    }
    std::ifstream result(outFile);
    std::string line;
    long members = 0;
    largest = 0;
    Point at{0, 0};
    auto check = [&](Point q) {
        double best = 1e30;
        for (const auto& s : segments)
            best = std::min(best, SegmentDistance(s.first, s.second, q));
        largest = std::max(largest, best);
    };
    while (std::getline(result, line)) {
        double v[6];
        if (std::sscanf(line.c_str(), "SubPath %lf %lf", &v[0], &v[1]) == 2) {
            at = {v[0], v[1]};
        } else if (std::sscanf(line.c_str(), " L %lf %lf", &v[0], &v[1]) == 2) {
            ++members;
            for (int i = 1; i <= 16; ++i)
                check({at.x + (v[0] - at.x) * i / 16, at.y + (v[1] - at.y) * i / 16});
            at = {v[0], v[1]};
        } else if (std::sscanf(line.c_str(), " C %lf %lf %lf %lf %lf %lf", &v[0], &v[1], &v[2],
                               &v[3], &v[4], &v[5]) == 6) {
            ++members;
            for (int i = 1; i <= 32; ++i) {
                double t = i / 32.0, u = 1 - t;
                check({u * u * u * at.x + 3 * t * u * u * v[0] + 3 * t * t * u * v[2] + t * t * t * v[4],
                       u * u * u * at.y + 3 * t * u * u * v[1] + 3 * t * t * u * v[3] + t * t * t * v[5]});
            }
            at = {v[4], v[5]};
        }
    }
    membersPerStroke = double(members) / double(segments.size());
}

void ConvPlt(benchmark::State& state) {
    const fs::path& source = PlotFile();
    fs::path target = Scratch() / "big.wpf";
    BlackPens pens;
    for (auto _ : state) {
        FileInStream in(source.c_str());
        FileOutStream out(target.c_str());
        plt::ConvertPlot(in, in.Size(), out, nullptr, pens);
        out.Close();
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(fs::file_size(source)));
    double perStroke, largest;
    FitQuality(perStroke, largest);
    state.counters["members_per_stroke"] = perStroke;
    state.counters["largest_mm"] = largest;
}
BENCHMARK(ConvPlt)->Unit(benchmark::kMillisecond)->Iterations(3);

void Hp2xxDxf(benchmark::State& state) {
    if (std::system("command -v hp2xx > /dev/null 2>&1") != 0) {
        state.SkipWithError("hp2xx is not installed");
        return;
    }
    const fs::path& source = PlotFile();
    std::string command = "hp2xx -q -m dxf -f " + (Scratch() / "hp2xx.dxf").string() + " " +
                          source.string() + " > /dev/null 2>&1";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("hp2xx failed");
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(fs::file_size(source)));
}
BENCHMARK(Hp2xxDxf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
