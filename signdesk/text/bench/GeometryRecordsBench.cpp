// Storing and loading the geometry records of 10,000 text outlines, as a document holds
// them: one coloured path per line of lettering, written to and read from an archive in
// memory. Reports the bytes written, bytes per outline and outlines per second.
//
// The outlines are lines of DejaVu Sans taken through the program's font layer (FreeType
// behind TrueTypeFont), 10 mm letters, prepared as the objects keep them.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <vector>

#include <mfc/CArchive.h>
#include <mfc/CMemFile.h>
#include <pathkit/ColorPath.h>
#include <pathkit/TMatrix.h>

#include "shell/GeometryRecords.h"
#include "text/FontRegistry.h"
#include "text/GeneralFont.h"
#include "text/TrueTypeFont.h"

namespace {

constexpr int kOutlines = 10000;
constexpr float kLetterHeight = 10; // millimetres per em

const char* const kTexts[] = {
    "SALE",      "Open",       "Vinyl lettering", "Window graphics", "Exit",
    "Reception", "No parking", "Bakery & Cafe",   "50% OFF",         "Main Street 12",
};

struct Outlines {
    std::vector<std::unique_ptr<ColorPath>> paths;
    std::uint64_t members = 0;
    bool ok = false;
};

// Each line built once: the benchmark times the records, not the fonts.
const Outlines& TextOutlines() {
    static Outlines outlines = [] {
        Outlines o;
        EnumTrueTypeFonts();
        std::unique_ptr<GeneralFont> font(CreateFontByName("DejaVu Sans Book"));
        if (!font || !font->Load()) return o;
        for (int i = 0; i < kOutlines; ++i) {
            const char* text = kTexts[i % (sizeof kTexts / sizeof *kTexts)];
            auto line = std::make_unique<ColorPath>();
            float x = 0;
            for (const char* c = text; *c; ++c) {
                const auto code = std::uint16_t(static_cast<unsigned char>(*c));
                Path glyph;
                if (font->GetCharPath(code, glyph)) {
                    floatTMatrix m;
                    m.Scale(kLetterHeight, kLetterHeight);
                    m.Translate(x, -14.0f * float(i % 100));
                    glyph.Transform(m);
                    line->Concat(glyph);
                }
                x += font->GetCharWidth(code) * kLetterHeight;
            }
            line->Prepare();
            line->colour = 0x0000FF;
            for (const SubPath& sp : line->subPaths)
                o.members += sp.members.Filled();
            o.paths.push_back(std::move(line));
        }
        o.ok = true;
        return o;
    }();
    return outlines;
}

std::vector<BYTE> Store(const Outlines& o) {
    CMemFile file(1 << 20);
    {
        CArchive ar(&file, CArchive::store);
        for (const auto& p : o.paths)
            ar << *p;
        ar.Close();
    }
    std::vector<BYTE> bytes(std::size_t(file.GetLength()));
    file.SeekToBegin();
    file.Read(bytes.data(), UINT(bytes.size()));
    return bytes;
}

void Report(benchmark::State& state, const Outlines& o, std::size_t bytes) {
    state.counters["outlines"] = double(o.paths.size());
    state.counters["members"] = double(o.members);
    state.counters["bytes"] = double(bytes);
    state.counters["bytes/outline"] = double(bytes) / double(o.paths.size());
    state.counters["outlines/s"] = benchmark::Counter(
        double(o.paths.size()) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(std::int64_t(bytes) * std::int64_t(state.iterations()));
}

void BM_StoreTextOutlines(benchmark::State& state) {
    const Outlines& o = TextOutlines();
    if (!o.ok) {
        state.SkipWithError("DejaVu Sans is not installed");
        return;
    }
    std::size_t bytes = 0;
    for (auto _ : state) {
        CMemFile file(64 << 20); // grown once: the records are timed, not the file's growth
        CArchive ar(&file, CArchive::store);
        for (const auto& p : o.paths)
            ar << *p;
        ar.Close();
        bytes = std::size_t(file.GetLength());
        benchmark::DoNotOptimize(bytes);
    }
    Report(state, o, bytes);
}

void BM_LoadTextOutlines(benchmark::State& state) {
    const Outlines& o = TextOutlines();
    if (!o.ok) {
        state.SkipWithError("DejaVu Sans is not installed");
        return;
    }
    std::vector<BYTE> bytes = Store(o);
    std::uint64_t loadedMembers = 0;
    for (auto _ : state) {
        CMemFile file(bytes.data(), UINT(bytes.size()));
        CArchive ar(&file, CArchive::load);
        loadedMembers = 0;
        for (std::size_t i = 0; i < o.paths.size(); ++i) {
            ColorPath p;
            ar >> p;
            for (const SubPath& sp : p.subPaths)
                loadedMembers += sp.members.Filled();
        }
        ar.Close();
    }
    if (loadedMembers != o.members) state.SkipWithError("the loaded outlines differ");
    Report(state, o, bytes.size());
}

BENCHMARK(BM_StoreTextOutlines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTextOutlines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
