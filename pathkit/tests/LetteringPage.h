#pragma once
// A page of lettering for the drawing layer: lines of DejaVu Sans read with FreeType, as
// paths in millimetres with y up on an A4 page (210 × 297), painted filled on a 24-bit DIB
// section at 300 dpi. Shared by the page's identity test and the paint benchmark.

#include <cmath>
#include <cstdint>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "mfc/CDC.h"
#include "pathkit/Path.h"
#include "pathkit/PathDraw.h"

namespace lettering {

inline const char* const FontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline const char* const Text = "Sign makers cut vinyl letters: THE QUICK BROWN FOX 0123456789 jumps!";
constexpr int Lines = 200;
constexpr double Dpi = 300;
constexpr int PageW = 2480, PageH = 3508;

namespace detail {

struct Sink {
    Path* path;
    double scale, dx, dy;
    floatPoint last;
    bool open = false;
    floatPoint At(const FT_Vector* v) const {
        return floatPoint(float(v->x * scale + dx), float(v->y * scale + dy));
    }
    void Finish() {
        if (open) {
            path->Close();
            path->ClosePath();
        }
        open = false;
    }
};

inline int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->Finish();
    s->last = s->At(to);
    s->path->MoveTo(s->last);
    s->open = true;
    return 0;
}
inline int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->last = s->At(to);
    s->path->LineTo(s->last);
    return 0;
}
// Quadratic segments become the equal cubics.
inline int ConicTo(const FT_Vector* c, const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    floatPoint q = s->At(c), e = s->At(to), p = s->last;
    s->path->CurveTo(floatPoint(p.x + 2.0f / 3 * (q.x - p.x), p.y + 2.0f / 3 * (q.y - p.y)),
                     floatPoint(e.x + 2.0f / 3 * (q.x - e.x), e.y + 2.0f / 3 * (q.y - e.y)), e);
    s->last = e;
    return 0;
}
inline int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<Sink*>(user);
    s->last = s->At(to);
    s->path->CurveTo(s->At(c1), s->At(c2), s->last);
    return 0;
}

} // namespace detail

// One path per line; empty when the font cannot be read.
inline std::vector<Path> TextLines(int lines = Lines) {
    std::vector<Path> out;
    FT_Library library;
    if (FT_Init_FreeType(&library)) return out;
    FT_Face face;
    if (FT_New_Face(library, FontFile, 0, &face) == 0) {
        const double em = 1.3, lineStep = 297.0 / (Lines + 2);
        double scale = em / face->units_per_EM;
        FT_Outline_Funcs funcs{detail::MoveTo, detail::LineTo, detail::ConicTo, detail::CubicTo, 0, 0};
        for (int i = 0; i < lines; ++i) {
            Path line(0.01f);
            double x = 5, y = 297 - lineStep * (i + 1.5);
            while (x < 200)
                for (const char* c = Text; *c && x < 200; ++c) {
                    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)),
                                     FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING))
                        continue;
                    detail::Sink sink{&line, scale, x, y, floatPoint()};
                    FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
                    sink.Finish();
                    x += face->glyph->metrics.horiAdvance * scale;
                }
            out.push_back(std::move(line));
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return out;
}

// Millimetres with y up to device pixels with y down.
inline floatTMatrix PageMatrix() {
    float s = float(Dpi / 25.4);
    return floatTMatrix(s, 0, 0, -s, 0, float(PageH));
}

// The page: a top-down 24-bit DIB section, white, painted with the black stock brush.
struct Page {
    CDC dc;
    HBITMAP bitmap = nullptr;
    const std::uint8_t* bits = nullptr;
    Page() {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = PageW;
        info.bmiHeader.biHeight = -PageH;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        dc.CreateCompatibleDC(nullptr);
        void* p = nullptr;
        bitmap = CreateDIBSection(dc.m_hDC, &info, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<const std::uint8_t*>(p);
        ::SelectObject(dc.m_hDC, bitmap);
        dc.SelectStockObject(BLACK_BRUSH);
    }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;
    ~Page() {
        dc.DeleteDC();
        if (bitmap) DeleteObject(bitmap);
    }
    static constexpr std::size_t Stride = (PageW * 3 + 3) / 4 * 4;
    void Clear() { ::PatBlt(dc.m_hDC, 0, 0, PageW, PageH, WHITENESS); }
    void Draw(std::vector<Path>& lines) {
        floatTMatrix m = PageMatrix();
        for (Path& line : lines) Paint(&dc, m, line, PP_FILL);
    }
};

} // namespace lettering
