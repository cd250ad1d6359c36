#include "text/KernPair.h"

#include <algorithm>
#include <memory>

#include "pathkit/Path.h"
#include "pathkit/PathQueries.h"
#include "shell/GeometryRecords.h"
#include "text/CCharacter.h"
#include "text/CTextLine.h"
#include "text/CTextObj.h"
#include "text/FontCache.h"
#include "text/GeneralFont.h"

namespace {

constexpr int ApproachProbes = 10;
constexpr int OutwardProbes = 10;
constexpr int BisectionRounds = 10;
constexpr float KerningTolerance = 0.001f; // em

bool BoxesOverlap(const floatBBox& a, const floatBBox& b) {
    return a.right >= b.left && a.left <= b.right && a.top >= b.bottom && a.bottom <= b.top;
}

// The outline of a character's copy that the search moves: outer contours, the bar, and
// an accuracy of 0.2 % of the larger size.
void PrepareProbeOutline(Path& p, float pitch, float accuracy) {
    FilterSubPaths(p, p, 1);
    AddKerningBar(p, pitch);
    p.SetAccuracy(accuracy);
}

class PairProbe {
public:
    PairProbe(CTextLine* line, int i, CCharacter* prev, CCharacter* cur, Path& a, Path& b)
        : line_(line), i_(i), prev_(prev), cur_(cur), a_(a), b_(b) {}

    // Places the pair with kerning k on the first character: whether the outlines touch,
    // and the distance between the two placements.
    bool Touches(float k, float& d) {
        prev_->m_style.kerning = k;
        Path pa(a_), pb(b_);
        floatTMatrix ma, mb;
        line_->GetCharMatrix(i_ - 1, prev_, ma, 0);
        line_->GetCharMatrix(i_, cur_, mb, 0);
        pa.Transform(ma);
        pa.Prepare();
        pb.Transform(mb);
        pb.Prepare();
        d = k * prev_->m_style.size + prev_->m_fWidth;
        return PathsTouch(pa, pb) != 0;
    }

private:
    CTextLine* line_;
    int i_;
    CCharacter* prev_;
    CCharacter* cur_;
    Path& a_;
    Path& b_;
};

} // namespace

int SubPathsTouch(SubPath& a, SubPath& b) {
    a.CtrlBBox();
    b.CtrlBBox();
    if (!BoxesOverlap(a.ctrlBox, b.ctrlBox)) return 0;
    GetTouchPoints(a, b, 0.0f);
    GetIntersections(a, b);
    // Contact found from either side counts.
    const int found = a.intersections.Filled() + b.intersections.Filled();
    a.intersections.Reset();
    b.intersections.Reset();
    return found != 0 ? 1 : 0;
}

int PathsTouch(Path& a, Path& b) {
    if (!BoxesOverlap(a.ctrlBox, b.ctrlBox)) return 0;
    for (SubPath& sa : a.subPaths)
        for (SubPath& sb : b.subPaths)
            if (SubPathsTouch(sa, sb)) return 1;
    return 0;
}

void AddKerningBar(Path& p, float pitch) {
    p.ClosePath();
    p.RefreshBBoxes();
    const float left = p.accBox.left, right = p.accBox.right;
    const float w = right - left;
    const floatPoint corners[4] = {{left + 0.4f * w, -0.25f * pitch},
                                   {right - 0.4f * w, -0.25f * pitch},
                                   {right - 0.4f * w, 0.8f * pitch},
                                   {left + 0.4f * w, 0.8f * pitch}};
    p.MoveTo(corners[0]);
    for (int k = 1; k < 4; ++k)
        p.LineTo(corners[k]);
    p.Close();
    p.ClosePath();
    p.Prepare();
}

void KernPair(CTextLine* line, int i, CTextObj* text, CFontCache& cache) {
    if (line == nullptr || text == nullptr || i < 1 || i >= line->GetCount()) return;
    CCharacter* prev = line->GetChar(i - 1);
    CCharacter* cur = line->GetChar(i);
    prev->m_style.kerning = 0;
    const float spacing = prev->m_style.charSpacing;
    if (!line->m_bAutoKerning && !line->m_bCustomKerning) return;
    if (prev->IsBlank() || cur->IsBlank()) return;
    if (!prev->m_style.IsUsable() || !cur->m_style.IsUsable()) return;

    if (line->m_bCustomKerning && line->CanKernPair(i)) {
        const CString name = prev->m_nFontIndex < text->m_fontNames.GetSize()
                                 ? text->m_fontNames[prev->m_nFontIndex]
                                 : CString();
        GeneralFont* font = cache.GetFont(GetFontIndex(name, cache));
        font->Load();
        const KerningPair* entry = font->FindKerningPair(prev->m_nCode, cur->m_nCode);
        const float advance = font->GetCharWidth(prev->m_nCode);
        if (advance != 0) prev->m_style.kerning = advance - prev->m_fWidth / prev->m_style.size;
        if (entry != nullptr) {
            prev->m_style.kerning = entry->value;
            return;
        }
        const float pair = font->GetKerning(prev->m_nCode, cur->m_nCode);
        if (pair != 0) {
            prev->m_style.kerning = pair;
            return;
        }
    }
    if (!line->m_bAutoKerning) return;

    // The search places the pair without the user's spacing; it comes back on every way out.
    struct SpacingKept {
        CCharacter* ch;
        float spacing;
        ~SpacingKept() { ch->m_style.charSpacing = spacing; }
    } kept{prev, spacing};
    prev->m_style.kerning = 0;
    prev->m_style.charSpacing = 0;
    // Copies of the pair with their glyphs built afresh; the characters themselves only move.
    std::unique_ptr<CCharacter> a(static_cast<CCharacter*>(prev->Duplicate()));
    std::unique_ptr<CCharacter> b(static_cast<CCharacter*>(cur->Duplicate()));
    a->BuildGlyph(text->m_fontNames, cache, line->LeftAlignsGlyphs());
    b->BuildGlyph(text->m_fontNames, cache, line->LeftAlignsGlyphs());
    const float accuracy = std::max(prev->m_style.size, cur->m_style.size) * 0.002f;
    PrepareProbeOutline(a->m_path, line->m_fPitch, accuracy);
    PrepareProbeOutline(b->m_path, line->m_fPitch, accuracy);
    PairProbe probe(line, i, prev, cur, a->m_path, b->m_path);
    const float size = prev->m_style.size;

    float lo = -0.5f * prev->m_fWidth / size, hi = 0, k = 0, d = 0;
    bool contact = false, touchingAtOnce = false;
    for (int n = 0; n < ApproachProbes; ++n) {
        const bool touch = probe.Touches(k, d);
        if (!touch && d >= 0) {
            hi = k;
            k -= 0.2f * d / size; // a fifth of the remaining distance closer
            continue;
        }
        lo = k;
        contact = true;
        touchingAtOnce = n == 0;
        break;
    }
    if (!contact) {
        // Never touched: the closest placement probed without contact.
        prev->m_style.kerning = hi;
        return;
    }
    if (touchingAtOnce) {
        lo = 0;
        k = 0.5f;
        for (int n = 0; n < OutwardProbes; ++n) {
            const bool touch = probe.Touches(k, d);
            if (!touch || d < 0) {
                hi = k;
                break;
            }
            k += 0.5f;
        }
    }
    for (int n = 0; n < BisectionRounds && hi - lo >= KerningTolerance; ++n) {
        const float m = (lo + hi) / 2;
        if (probe.Touches(m, d))
            lo = m;
        else
            hi = m;
    }
    prev->m_style.kerning = lo;
}
