// Lettering speed: 10,000 characters of DejaVu Sans Bold set by LayoutText and converted by
// ConvertToPaths, beside HarfBuzz shaping the same text and FreeType outlining each glyph in
// place; the layout time from 1,000 to 20,000 characters with its fitted exponent; and auto
// kerning per pair. Not run by the tests:
//   bin/text_lettering_bench

#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include <hb-ft.h>
#include <hb.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/CGroupObj.h"
#include "text/CCharacter.h"
#include "text/CTextLine.h"
#include "text/CTextObj.h"
#include "text/FontCache.h"
#include "text/KernPair.h"
#include "text/TextSettings.h"
#include "text/TrueTypeFont.h"

namespace {

const char* const FontName = "DejaVu Sans Bold";
const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
const char* const Sample = "Signs and lettering, cut from vinyl: AVENUE Tower Waterloo 0123456789. ";

std::string Characters(int n) {
    std::string s;
    while (int(s.size()) < n)
        s += Sample;
    s.resize(std::size_t(n));
    return s;
}

// One line of n characters, custom kerning only, laid out.
std::unique_ptr<CTextObj> SetText(int n) {
    DefaultFont = FontName;
    CCharacter::DefaultStyle.size = 10;
    auto text = std::make_unique<CTextObj>(0, 0, nullptr, 0, 0);
    CTextLine* line = text->GetLine(0);
    line->m_bAutoKerning = 0;
    line->m_bCustomKerning = 1;
    CFontCache cache;
    for (char c : Characters(n))
        line->m_children.Add(MakeCharacter(std::uint16_t(std::uint8_t(c)), nullptr, text.get(),
                                           line, cache));
    return text;
}

void BM_LayoutAndConvert(benchmark::State& state) {
    auto text = SetText(int(state.range(0)));
    for (auto _ : state) {
        text->LayoutText(0);
        std::unique_ptr<CSignObj> paths(text->ConvertToPaths());
        benchmark::DoNotOptimize(paths.get());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LayoutAndConvert)->Arg(10000)->Unit(benchmark::kMillisecond);

// Counts what FreeType's decomposition hands over.
struct Sink {
    long segments = 0;
};
int MoveTo(const FT_Vector*, void* user) {
    ++static_cast<Sink*>(user)->segments;
    return 0;
}
int LineTo(const FT_Vector*, void* user) {
    ++static_cast<Sink*>(user)->segments;
    return 0;
}
int ConicTo(const FT_Vector*, const FT_Vector*, void* user) {
    ++static_cast<Sink*>(user)->segments;
    return 0;
}
int CubicTo(const FT_Vector*, const FT_Vector*, const FT_Vector*, void* user) {
    ++static_cast<Sink*>(user)->segments;
    return 0;
}

void BM_HarfBuzzAndFreeType(benchmark::State& state) {
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, FontFile, 0, &face)) {
        state.SkipWithError("DejaVu Sans Bold cannot be read");
        return;
    }
    FT_Set_Char_Size(face, 0, 64 * 64, 72, 72);
    hb_font_t* font = hb_ft_font_create_referenced(face);
    const std::string text = Characters(int(state.range(0)));
    const FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    for (auto _ : state) {
        hb_buffer_t* buffer = hb_buffer_create();
        hb_buffer_add_utf8(buffer, text.c_str(), int(text.size()), 0, int(text.size()));
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(font, buffer, nullptr, 0);
        unsigned count = 0;
        hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
        Sink sink;
        FT_Pos x = 0;
        for (unsigned i = 0; i < count; ++i) {
            FT_Load_Glyph(face, info[i].codepoint, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
            FT_Outline_Translate(&face->glyph->outline, x + pos[i].x_offset, pos[i].y_offset);
            FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
            x += pos[i].x_advance;
        }
        benchmark::DoNotOptimize(sink.segments);
        hb_buffer_destroy(buffer);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    hb_font_destroy(font);
    FT_Done_FreeType(library);
}
BENCHMARK(BM_HarfBuzzAndFreeType)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AutoKerningPerPair(benchmark::State& state) {
    auto text = SetText(64);
    CTextLine* line = text->GetLine(0);
    line->m_bAutoKerning = 1;
    line->m_bCustomKerning = 0;
    text->LayoutText(0);
    CFontCache cache;
    int i = 1;
    for (auto _ : state) {
        KernPair(line, i, text.get(), cache);
        i = i + 1 < line->GetCount() ? i + 1 : 1;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AutoKerningPerPair)->Unit(benchmark::kMicrosecond);

// The least-squares slope of log(time) over log(characters): 1 for a linear layout.
void ReportLayoutExponent() {
    std::vector<double> lx, ly;
    std::printf("\nLayoutText of one line:\n");
    for (int n : {1000, 2000, 5000, 10000, 20000}) {
        auto text = SetText(n);
        double best = 1e30;
        for (int round = 0; round < 3; ++round) {
            const auto t0 = std::chrono::steady_clock::now();
            text->LayoutText(0);
            const auto t1 = std::chrono::steady_clock::now();
            best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
        }
        std::printf("  %6d characters  %9.3f ms\n", n, best * 1e3);
        lx.push_back(std::log(double(n)));
        ly.push_back(std::log(best));
    }
    const double mx = (lx[0] + lx[1] + lx[2] + lx[3] + lx[4]) / 5;
    const double my = (ly[0] + ly[1] + ly[2] + ly[3] + ly[4]) / 5;
    double sxy = 0, sxx = 0;
    for (std::size_t i = 0; i < lx.size(); ++i) {
        sxy += (lx[i] - mx) * (ly[i] - my);
        sxx += (lx[i] - mx) * (lx[i] - mx);
    }
    std::printf("  fitted exponent %.3f\n", sxy / sxx);
}

} // namespace

int main(int argc, char** argv) {
    EnumTrueTypeFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReportLayoutExponent();
    return 0;
}
