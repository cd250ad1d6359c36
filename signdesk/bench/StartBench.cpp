// The program's cold start to its picture, beside Inkscape drawing the same design.
//
// Each repetition starts a new process: `signdesk --snapshot OUT.png DESIGN` with a fresh
// settings folder and no display (start-up, the design read, the main window composed and
// written), and `inkscape DESIGN.svg` exporting a PNG of the same size. Designs: the program
// folder's Sample.wtp and one of 2,000 lettering outlines in DejaVu Sans Bold, both also
// written as SVG (their path objects, fill and outline) by this program. Wall time, the
// time to the picture's file (picture_ms: the rest is the exit, where the program writes its
// settings) and the child's peak memory, best of five.
//   bin/signdesk_start_bench [--benchmark_filter=...]
// Inkscape is installed for this only (apt-get install inkscape); without it its cases skip.
// With SIGNDESK_BENCH_KEEP set the temporary folder (named on standard error) is kept.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <app/PaletteFiles.h>
#include <doc/CSignDoc.h>
#include <doc/SignDocSettings.h>
#include <mfc/CWinApp.h>
#include <model/CObjTreeIterator.h>
#include <model/CPathObj.h>
#include <pathkit/Path.h>
#include <sheet/SheetSettings.h>
#include <text/TrueTypeFont.h>

namespace fs = std::filesystem;

namespace {

class BenchApp : public CWinApp {
public:
    BenchApp() : CWinApp("signdesk_start_bench") {}
};

fs::path ProgramFolder() {
    char buffer[4096];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return fs::current_path();
    buffer[n] = 0;
    return fs::path(buffer).parent_path();
}

// 2,000 letters in a grid of 50 x 40 on a 700 x 400 mm page, cap height 6 mm.
bool WriteLettering(const fs::path& file) {
    TrueTypeFont font;
    font.fontName = "DejaVu Sans Bold";
    if (!font.Load()) return false;
    SheetSettings::DocWidth = 700;
    SheetSettings::DocHeight = 400;
    auto* doc = new CSignDoc;
    doc->m_bAutoDelete = FALSE;
    const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    bool ok = true;
    for (int i = 0; i < 2000 && ok; ++i) {
        auto* obj = new CPathObj;
        obj->SetColor(RGB(16 * (i % 16), 48, 112));
        obj->SetOutlineColor(RGB(0, 0, 0));
        obj->m_fOutlineWidth = 0.1f;
        obj->SetLayer(1, 0);
        const char c = letters[i % 26];
        if (font.GetCharPath(std::uint16_t(c), obj->m_path) != 1) {
            delete obj;
            ok = false;
            break;
        }
        floatTMatrix m = font.glyphMatrix;
        m.Scale(6, 6);
        m.Translate(10 + float(i % 50) * 13.5f, 10 + float(i / 50) * 9.5f);
        obj->m_path.Transform(m);
        obj->m_path.Prepare();
        obj->RefreshBBox();
        doc->m_sheet.Add(obj);
    }
    font.Unload();
    if (ok) {
        doc->m_sheet.RefreshBounds(1);
        doc->m_sheet.CountLayerObjects();
        ok = doc->OnSaveDocument(file.c_str()) != FALSE;
    }
    delete doc;
    return ok;
}

std::string Colour(COLORREF c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", unsigned(GetRValue(c)),
                  unsigned(GetGValue(c)), unsigned(GetBValue(c)));
    return text;
}

// The design's path objects as SVG paths, the design's box as the picture (y turned down).
bool WriteSvg(const fs::path& design, const fs::path& svg) {
    auto* doc = new CSignDoc;
    doc->m_bAutoDelete = FALSE;
    if (!doc->OnOpenDocument(design.c_str())) {
        delete doc;
        return false;
    }
    const floatBBox box = doc->m_sheet.m_bbExtent;
    const float w = box.right - box.left, h = box.top - box.bottom;
    std::ofstream out(svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << w << "mm\" height=\"" << h
        << "mm\" viewBox=\"0 0 " << w << ' ' << h << "\">\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
        << "<g transform=\"matrix(1 0 0 -1 " << -box.left << ' ' << box.top << ")\">\n";
    CObjTreeIterator walk(&doc->m_sheet);
    for (walk.First(); !walk.IsDone(); walk.Next()) {
        auto* obj = dynamic_cast<CPathObj*>(walk.Current());
        if (!obj) continue;
        std::ostringstream d;
        for (SubPath& sp : obj->m_path.subPaths) {
            bool first = true;
            for (PathMember& m : sp.members) {
                if (first) d << 'M' << m.start.x << ',' << m.start.y;
                first = false;
                if (m.IsCurve())
                    d << 'C' << m.ctrl1.x << ',' << m.ctrl1.y << ' ' << m.ctrl2.x << ','
                      << m.ctrl2.y << ' ' << m.end.x << ',' << m.end.y;
                else
                    d << 'L' << m.end.x << ',' << m.end.y;
            }
            d << 'Z';
        }
        out << "<path fill-rule=\"evenodd\" fill=\"" << Colour(obj->GetColor()) << '"';
        if (obj->m_fOutlineWidth > 0)
            out << " stroke=\"" << Colour(obj->m_clrOutline) << "\" stroke-width=\""
                << obj->m_fOutlineWidth << '"';
        out << " d=\"" << d.str() << "\"/>\n";
    }
    out << "</g>\n</svg>\n";
    delete doc;
    return bool(out);
}

struct Run {
    int status = -1;
    double seconds = 0;
    double peakMB = 0;
    double pictureSeconds = 0; // start to the picture's last write (its file time)
    std::string output;
};

// Seconds since the epoch of a file's last write; 0 when it is missing.
double WriteTime(const fs::path& file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0) return 0;
    return double(st.st_mtim.tv_sec) + double(st.st_mtim.tv_nsec) * 1e-9;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// Runs a program to its end, its standard output kept, its errors dropped.
Run Start(const std::vector<std::string>& args, const std::vector<std::string>& env,
          const fs::path& picture) {
    Run run;
    fs::remove(picture);
    const double started = Now();
    fs::path outFile = fs::temp_directory_path() / ("start-bench-" + std::to_string(::getpid()));
    auto begin = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        std::FILE* out = std::fopen(outFile.c_str(), "w");
        if (out) ::dup2(::fileno(out), 1);
        std::FILE* null = std::fopen("/dev/null", "w");
        if (null) ::dup2(::fileno(null), 2);
        for (const std::string& e : env)
            ::putenv(const_cast<char*>(e.c_str()));
        ::unsetenv("DISPLAY");
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    struct rusage usage {};
    if (pid > 0 && ::wait4(pid, &status, 0, &usage) == pid) {
        run.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakMB = double(usage.ru_maxrss) / 1024.0;
        const double written = WriteTime(picture);
        run.pictureSeconds = written > 0 ? written - started : 0;
    }
    std::ifstream in(outFile);
    std::stringstream text;
    text << in.rdbuf();
    run.output = text.str();
    fs::remove(outFile);
    return run;
}

struct Design {
    fs::path wtp, svg;
    int width = 0, height = 0; // of the program's picture
};

struct Setup {
    Setup() {
        folder = fs::temp_directory_path() / ("signdesk-start-bench-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        if (std::getenv("SIGNDESK_BENCH_KEEP"))
            std::fprintf(stderr, "folder: %s\n", folder.c_str());
        program = ProgramFolder() / "signdesk";
        SignDocSettings::ShowFilePreview = FALSE;
        if (LoadPaletteFile((ProgramFolder() / "Palettes" / "Default.wpl").c_str()))
            CSignDoc::Palette().SetColors(ParsePaletteEntries());
        sample.wtp = ProgramFolder() / "Sample.wtp";
        lettering.wtp = folder / "Lettering2000.wtp";
        if (!WriteLettering(lettering.wtp)) why = "the 2,000 outlines could not be written";
        for (Design* d : {&sample, &lettering}) {
            d->svg = folder / (d->wtp.stem().string() + ".svg");
            if (why.empty() && !WriteSvg(d->wtp, d->svg)) why = d->wtp.string() + " unreadable";
            // One run for the picture's size.
            Run r = StartProgram(*d, 0);
            std::smatch m;
            if (why.empty() &&
                !std::regex_search(r.output, m, std::regex("([0-9]+) x ([0-9]+) pixels")))
                why = "signdesk gave no picture: " + r.output;
            else if (why.empty()) {
                d->width = std::stoi(m[1]);
                d->height = std::stoi(m[2]);
            }
        }
        inkscape = std::system("command -v inkscape >/dev/null 2>&1") == 0;
    }
    // SIGNDESK_BENCH_KEEP set: the designs, SVGs and pictures stay for a look.
    ~Setup() {
        if (!std::getenv("SIGNDESK_BENCH_KEEP")) fs::remove_all(folder);
    }

    Run StartProgram(const Design& d, int n) {
        fs::path config = folder / ("config-" + std::to_string(n));
        fs::remove_all(config);
        fs::create_directories(config);
        return Start(
            {program.string(), "--snapshot", (folder / "out.png").string(), d.wtp.string()},
            {"XDG_CONFIG_HOME=" + config.string()}, folder / "out.png");
    }
    Run StartInkscape(const Design& d) {
        return Start({"inkscape", d.svg.string(), "--export-type=png",
                      "--export-filename=" + (folder / "inkscape.png").string(),
                      "--export-width=" + std::to_string(d.width),
                      "--export-height=" + std::to_string(d.height)},
                     {"HOME=" + folder.string()}, folder / "inkscape.png");
    }

    fs::path folder, program;
    Design sample, lettering;
    std::string why;
    bool inkscape = false;
};

Setup& Shared() {
    static Setup s;
    return s;
}

void Measure(benchmark::State& state, bool ours, Design Setup::*which) {
    Setup& s = Shared();
    if (!s.why.empty()) {
        state.SkipWithError(s.why.c_str());
        return;
    }
    if (!ours && !s.inkscape) {
        state.SkipWithError("inkscape is not installed");
        return;
    }
    const Design& d = s.*which;
    int n = 1;
    for (auto _ : state) {
        Run r = ours ? s.StartProgram(d, n++) : s.StartInkscape(d);
        if (r.status != 0) {
            state.SkipWithError(("exit " + std::to_string(r.status)).c_str());
            break;
        }
        state.SetIterationTime(r.seconds);
        state.counters["peak_MB"] = r.peakMB;
        state.counters["picture_ms"] = r.pictureSeconds * 1000.0;
    }
    state.counters["pixels"] = double(d.width) * d.height;
}

double Best(const std::vector<double>& v) {
    double best = std::numeric_limits<double>::infinity();
    for (double x : v)
        best = std::min(best, x);
    return best;
}

void BM_SignDeskSample(benchmark::State& state) {
    Measure(state, true, &Setup::sample);
}
void BM_InkscapeSample(benchmark::State& state) {
    Measure(state, false, &Setup::sample);
}
void BM_SignDesk2000Outlines(benchmark::State& state) {
    Measure(state, true, &Setup::lettering);
}
void BM_Inkscape2000Outlines(benchmark::State& state) {
    Measure(state, false, &Setup::lettering);
}

} // namespace

#define START_BENCH(name)                                                                          \
    BENCHMARK(name)                                                                                \
        ->UseManualTime()                                                                          \
        ->Iterations(1)                                                                            \
        ->Repetitions(5)                                                                           \
        ->ComputeStatistics("best", Best)                                                          \
        ->ReportAggregatesOnly(true)                                                               \
        ->Unit(benchmark::kMillisecond)
START_BENCH(BM_SignDeskSample);
START_BENCH(BM_InkscapeSample);
START_BENCH(BM_SignDesk2000Outlines);
START_BENCH(BM_Inkscape2000Outlines);

int main(int argc, char** argv) {
    BenchApp app;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
