// Glyphs per second: TrueTypeFont::GetCharPath over the mapped codes of the system code page
// of DejaVu Sans and of a CFF face (Nimbus Sans), beside FreeType's own load and decompose of
// the same glyphs, and TarvelFont::GetCharPath on a native font made from DejaVu's first 256
// codes.

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <fontconfig/fontconfig.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "text/FontRegistry.h"
#include "text/TarvelFont.h"
#include "text/TrueTypeFont.h"
#include "text/WftFormat.h"
#include "win32/nls.h"

namespace {

std::string fileOf(const char* family, const char* style) {
    FcPattern* p = FcNameParse(
        reinterpret_cast<const FcChar8*>((std::string(family) + ":style=" + style).c_str()));
    FcConfigSubstitute(nullptr, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult r;
    FcPattern* m = FcFontMatch(nullptr, p, &r);
    std::string file;
    FcChar8* f = nullptr;
    if (m && FcPatternGetString(m, FC_FILE, 0, &f) == FcResultMatch)
        file = reinterpret_cast<const char*>(f);
    if (m) FcPatternDestroy(m);
    FcPatternDestroy(p);
    return file;
}

// The codes of the ANSI code page that the face maps.
std::vector<std::uint16_t> mappedCodes(GeneralFont& font) {
    std::vector<std::uint16_t> codes;
    for (int c = 0x21; c < 0x100; ++c) {
        Path p;
        if (font.GetCharPath(std::uint16_t(c), p) == 1) codes.push_back(std::uint16_t(c));
    }
    return codes;
}

void runFont(benchmark::State& state, const char* name) {
    EnumTrueTypeFonts();
    std::unique_ptr<GeneralFont> font(CreateFontByName(name));
    if (!font) {
        state.SkipWithError("font not installed");
        return;
    }
    std::vector<std::uint16_t> codes = mappedCodes(*font);
    std::int64_t n = 0;
    for (auto _ : state) {
        for (std::uint16_t c : codes) {
            Path p;
            font->GetCharPath(c, p);
            benchmark::DoNotOptimize(p.subPaths.Filled());
        }
        n += std::int64_t(codes.size());
    }
    state.counters["glyphs/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
}

void runFreeType(benchmark::State& state, const char* family, const char* style) {
    std::string file = fileOf(family, style);
    FT_Library lib;
    FT_Face face;
    if (file.empty() || FT_Init_FreeType(&lib) != 0) {
        state.SkipWithError("FreeType unavailable");
        return;
    }
    if (FT_New_Face(lib, file.c_str(), 0, &face) != 0) {
        state.SkipWithError("face unavailable");
        FT_Done_FreeType(lib);
        return;
    }
    std::vector<FT_UInt> glyphs;
    for (int c = 0x21; c < 0x100; ++c) {
        char b = char(c);
        WCHAR w;
        if (MultiByteToWideChar(CP_ACP, 0, &b, 1, &w, 1) != 1) continue;
        FT_UInt g = FT_Get_Char_Index(face, w);
        if (g != 0) glyphs.push_back(g);
    }
    FT_Outline_Funcs funcs{};
    funcs.move_to = [](const FT_Vector*, void* u) {
        ++*static_cast<int*>(u);
        return 0;
    };
    funcs.line_to = [](const FT_Vector*, void* u) {
        ++*static_cast<int*>(u);
        return 0;
    };
    funcs.conic_to = [](const FT_Vector*, const FT_Vector*, void* u) {
        ++*static_cast<int*>(u);
        return 0;
    };
    funcs.cubic_to = [](const FT_Vector*, const FT_Vector*, const FT_Vector*, void* u) {
        ++*static_cast<int*>(u);
        return 0;
    };
    std::int64_t n = 0;
    for (auto _ : state) {
        for (FT_UInt g : glyphs) {
            int count = 0;
            FT_Load_Glyph(face, g, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &count);
            benchmark::DoNotOptimize(count);
        }
        n += std::int64_t(glyphs.size());
    }
    state.counters["glyphs/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
}

void BM_TrueTypeFont_DejaVuSans(benchmark::State& state) {
    runFont(state, "DejaVu Sans Book");
}
void BM_FreeType_DejaVuSans(benchmark::State& state) {
    runFreeType(state, "DejaVu Sans", "Book");
}
void BM_TrueTypeFont_NimbusSansCff(benchmark::State& state) {
    runFont(state, "Nimbus Sans");
}
void BM_FreeType_NimbusSansCff(benchmark::State& state) {
    runFreeType(state, "Nimbus Sans", "Regular");
}

void BM_TarvelFont_FromDejaVuSans(benchmark::State& state) {
    EnumTrueTypeFonts();
    std::unique_ptr<GeneralFont> source(CreateFontByName("DejaVu Sans Book"));
    if (!source) {
        state.SkipWithError("font not installed");
        return;
    }
    WftFontImage image("Bench DejaVu");
    for (int c = 0; c < 256; ++c) {
        Path p;
        if (source->GetCharPath(std::uint16_t(c), p) != 1) continue;
        p.Transform(source->glyphMatrix);
        image.SetGlyph(c, p);
    }
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "fontbench";
    std::filesystem::create_directories(dir);
    std::vector<std::uint8_t> bytes = image.Bytes();
    std::ofstream(dir / "bench.wft", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    NativeFontNames.RemoveAll();
    NativeFontPaths.RemoveAll();
    EnumWftFonts(dir.string().c_str());
    std::unique_ptr<GeneralFont> font(CreateFontByName("Bench DejaVu"));
    std::vector<std::uint16_t> codes = mappedCodes(*font);
    std::int64_t n = 0;
    for (auto _ : state) {
        for (std::uint16_t c : codes) {
            Path p;
            font->GetCharPath(c, p);
            benchmark::DoNotOptimize(p.subPaths.Filled());
        }
        n += std::int64_t(codes.size());
    }
    state.counters["glyphs/s"] = benchmark::Counter(double(n), benchmark::Counter::kIsRate);
    std::filesystem::remove_all(dir);
}

} // namespace

BENCHMARK(BM_TrueTypeFont_DejaVuSans);
BENCHMARK(BM_FreeType_DejaVuSans);
BENCHMARK(BM_TrueTypeFont_NimbusSansCff);
BENCHMARK(BM_FreeType_NimbusSansCff);
BENCHMARK(BM_TarvelFont_FromDejaVuSans);
BENCHMARK_MAIN();
