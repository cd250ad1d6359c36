#pragma once
// Lines of lettering for the plot library's benchmarks: DejaVu Sans glyphs through FreeType,
// 10 mm letters on a 14 mm pitch, top line first as a design holds them; and the knife-up
// travel of a cut in a given order, with the file order and a greedy nearest-neighbour
// order to compare with.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <pathkit/Path.h>
#include <pathkit/SubPath.h>
#include <pathkit/TMatrix.h>

#include "CutOrderOptimizer.h"

namespace benchtext {

constexpr const char* kFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr int kLines = 200;         // the sheet of the cut-order benchmark
constexpr float kLetterHeight = 10; // millimetres per em
constexpr float kLinePitch = 14;
constexpr float kStepsPerMM = 40;
const char* const kTexts[] = {
    "The quick brown fox jumps over the lazy dog",
    "SALE 50% OFF ALL WINDOW GRAPHICS",
    "Open Monday to Saturday 9:00 - 18:00",
    "Vinyl lettering, banners & vehicle wraps",
};

struct GlyphSink {
    Path* path;
    float x, y, scale;
    floatPoint last;
    floatPoint Map(const FT_Vector* v) const {
        return floatPoint(x + float(v->x) * scale, y + float(v->y) * scale);
    }
};

inline int MoveTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<GlyphSink*>(user);
    s->path->Close();
    s->last = s->Map(to);
    s->path->Append(PC_MOVETO, s->last.x, s->last.y);
    return 0;
}
inline int LineTo(const FT_Vector* to, void* user) {
    auto* s = static_cast<GlyphSink*>(user);
    s->last = s->Map(to);
    s->path->Append(s->last.x, s->last.y);
    return 0;
}
inline int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<GlyphSink*>(user);
    floatPoint c = s->Map(control), e = s->Map(to), p = s->last;
    floatPoint c1 = p + (c - p) * (2.0 / 3.0), c2 = e + (c - e) * (2.0 / 3.0);
    s->path->Append(c1.x, c1.y, c2.x, c2.y, e.x, e.y);
    s->last = e;
    return 0;
}
inline int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<GlyphSink*>(user);
    floatPoint a = s->Map(c1), b = s->Map(c2), e = s->Map(to);
    s->path->Append(a.x, a.y, b.x, b.y, e.x, e.y);
    s->last = e;
    return 0;
}

// `lines` lines of text in millimetres, contours in reading order, from (10, 10) up.
inline Path TextLines(int lines) {
    {
        Path path;
        FT_Library library;
        FT_Face face;
        if (FT_Init_FreeType(&library) || FT_New_Face(library, kFont, 0, &face)) {
            std::fprintf(stderr, "cannot open %s\n", kFont);
            std::exit(1);
        }
        FT_Outline_Funcs funcs{};
        funcs.move_to = MoveTo;
        funcs.line_to = LineTo;
        funcs.conic_to = ConicTo;
        funcs.cubic_to = CubicTo;
        const float scale = kLetterHeight / float(face->units_per_EM);
        for (int line = 0; line < lines; ++line) {
            GlyphSink sink{&path, 10, 10 + float(lines - 1 - line) * kLinePitch, scale, {}};
            for (const char* c = kTexts[line % 4]; *c; ++c) {
                if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(*c)), FT_LOAD_NO_SCALE))
                    continue;
                FT_Outline_Decompose(&face->glyph->outline, &funcs, &sink);
                path.Close();
                path.ClosePath();
                sink.x += float(face->glyph->advance.x) * scale;
            }
        }
        FT_Done_Face(face);
        FT_Done_FreeType(library);
        path.Validate(SP_ALL_INVALID);
        return path;
    }
}

inline floatTMatrix ToDevice() {
    floatTMatrix m;
    m.Scale(kStepsPerMM, kStepsPerMM);
    return m;
}

// Knife-up moves in millimetres from (0, 0) through the outlines in their order: to each
// start, and on from the outline's end. feed is the part along the media (y), which the
// device makes by moving the media; a reversal is a knife-up move that feeds the other way
// than the last one that fed at all; cost sums the optimiser's weighted distance
// sqrt((20 dy)^2 + dx^2).
struct KnifeUp {
    double travel = 0;
    double feed = 0;
    int reversals = 0;
    double cost = 0;
};

inline KnifeUp Travel(const Path& path) {
    KnifeUp t;
    floatPoint knife(0, 0);
    int lastDirection = 0;
    for (const SubPath& sp : path.subPaths) {
        if (!sp.members.Filled()) continue;
        floatPoint start = sp.members[0].start;
        double dx = double(start.x) - knife.x, dy = double(start.y) - knife.y;
        t.travel += std::hypot(dx, dy);
        t.feed += std::fabs(dy);
        t.cost += std::sqrt(CutOrderOptimizer::Distance(knife.x, knife.y, start.x, start.y));
        int direction = dy > 1e-3 ? 1 : (dy < -1e-3 ? -1 : 0);
        if (direction != 0) {
            if (lastDirection != 0 && direction != lastDirection) ++t.reversals;
            lastDirection = direction;
        }
        knife = sp.members.last()->end;
    }
    return t;
}

// Greedy nearest neighbour: next the outline with the node nearest the knife by the
// optimiser's weighted distance, a closed outline started at that node.
inline Path Greedy(const Path& source) {
    const std::uint16_t n = source.subPaths.Filled();
    std::vector<bool> taken(n, false);
    Path result;
    floatPoint knife(0, 0);
    auto boxDistance = [](const floatBBox& b, const floatPoint& p) {
        double dx = std::max({double(b.left - p.x), 0.0, double(p.x - b.right)});
        double dy = std::max({double(b.bottom - p.y), 0.0, double(p.y - b.top)});
        return CutOrderOptimizer::Distance(0, 0, dx, dy);
    };
    for (std::uint16_t round = 0; round < n; ++round) {
        double best = std::numeric_limits<double>::infinity();
        int bestPath = -1, bestMember = 0;
        for (std::uint16_t i = 0; i < n; ++i) {
            if (taken[i]) continue;
            const SubPath& sp = source.subPaths[i];
            if (boxDistance(sp.ctrlBox, knife) >= best) continue;
            for (std::uint16_t j = 0; j < sp.members.Filled(); ++j) {
                const floatPoint& p = sp.members[j].start;
                double d = CutOrderOptimizer::Distance(knife.x, knife.y, p.x, p.y);
                if (d < best) {
                    best = d;
                    bestPath = i;
                    bestMember = j;
                }
            }
        }
        if (bestPath < 0) break;
        taken[bestPath] = true;
        SubPath sp(source.subPaths[bestPath]);
        if (sp.IsClosed()) sp.Rotate(bestMember);
        knife = sp.members.last()->end;
        result.AddSubPath(sp);
    }
    return result;
}

} // namespace benchtext
