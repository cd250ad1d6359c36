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
const char* const Sample =
    "Signs and lettering, cut from vinyl: AVENUE Tower Waterloo 0123456789. ";

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
        line->m_children.Add(
            MakeCharacter(std::uint16_t(std::uint8_t(c)), nullptr, text.get(), line, cache));
    return text;
}

void LayoutAndConvert(CTextObj& text) {
    text.LayoutText(0);
    std::unique_ptr<CSignObj> paths(text.ConvertToPaths());
    benchmark::DoNotOptimize(paths.get());
}

void BM_LayoutAndConvert(benchmark::State& state) {
    auto text = SetText(int(state.range(0)));
    for (auto _ : state)
        LayoutAndConvert(*text);
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

// HarfBuzz shaping a text and FreeType outlining each glyph where it was placed.
class ShapeAndOutline {
public:
    ShapeAndOutline() {
        ok_ = FT_Init_FreeType(&library_) == 0 && FT_New_Face(library_, FontFile, 0, &face_) == 0;
        if (!ok_) return;
        FT_Set_Char_Size(face_, 0, 64 * 64, 72, 72);
        font_ = hb_ft_font_create_referenced(face_);
    }
    ~ShapeAndOutline() {
        if (font_ != nullptr) hb_font_destroy(font_);
        if (library_ != nullptr) FT_Done_FreeType(library_);
    }
    bool ok() const { return ok_; }
    long Run(const std::string& text) {
        static const FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
        hb_buffer_t* buffer = hb_buffer_create();
        hb_buffer_add_utf8(buffer, text.c_str(), int(text.size()), 0, int(text.size()));
        hb_buffer_guess_segment_properties(buffer);
        hb_shape(font_, buffer, nullptr, 0);
        unsigned count = 0;
        hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
        Sink sink;
        FT_Pos x = 0;
        for (unsigned i = 0; i < count; ++i) {
            FT_Load_Glyph(face_, info[i].codepoint, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
            FT_Outline_Translate(&face_->glyph->outline, x + pos[i].x_offset, pos[i].y_offset);
            FT_Outline_Decompose(&face_->glyph->outline, &funcs, &sink);
            x += pos[i].x_advance;
        }
        hb_buffer_destroy(buffer);
        return sink.segments;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr; // closed with the library
    hb_font_t* font_ = nullptr;
    bool ok_ = false;
};

void BM_HarfBuzzAndFreeType(benchmark::State& state) {
    ShapeAndOutline shaper;
    if (!shaper.ok()) {
        state.SkipWithError("DejaVu Sans Bold cannot be read");
        return;
    }
    const std::string text = Characters(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(shaper.Run(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HarfBuzzAndFreeType)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_AutoKerningPerPair(benchmark::State& state) {
    auto text = SetText(64);
    CTextLine* line = text->GetLine(0);
    line->m_bAutoKerning = 1;
    line->m_bCustomKerning = 0;
    text->LayoutText(0);
    CFontCache cache;
    // Pairs of two glyphs only: a pair with a blank takes no search.
    std::vector<int> pairs;
    for (int i = 1; i < line->GetCount(); ++i)
        if (!line->GetChar(i - 1)->IsBlank() && !line->GetChar(i)->IsBlank()) pairs.push_back(i);
    std::size_t next = 0;
    for (auto _ : state) {
        KernPair(line, pairs[next], text.get(), cache);
        next = (next + 1) % pairs.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AutoKerningPerPair)->Unit(benchmark::kMicrosecond);

// Best of three runs, in seconds.
template <class F> double BestOf3(F&& f) {
    double best = 1e30;
    for (int round = 0; round < 3; ++round) {
        const auto t0 = std::chrono::steady_clock::now();
        f();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

void ReportRatio() {
    auto text = SetText(10000);
    ShapeAndOutline shaper;
    const std::string characters = Characters(10000);
    const double ours = BestOf3([&] { LayoutAndConvert(*text); });
    const double theirs = shaper.ok() ? BestOf3([&] { shaper.Run(characters); }) : 0;
    std::printf("\n10,000 characters: layout and conversion %.1f ms, HarfBuzz and FreeType %.2f ms,"
                " ratio %.1f\n",
                ours * 1e3, theirs * 1e3, theirs > 0 ? ours / theirs : 0.0);
}

// The least-squares slope of log(time) over log(characters): 1 for a linear layout.
void ReportLayoutExponent() {
    std::vector<double> lx, ly;
    std::printf("\nLayoutText of one line:\n");
    for (int n : {1000, 2000, 5000, 10000, 20000}) {
        auto text = SetText(n);
        const double best = BestOf3([&] { text->LayoutText(0); });
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
    ReportRatio();
    ReportLayoutExponent();
    return 0;
}
