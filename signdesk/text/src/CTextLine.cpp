#include "text/CTextLine.h"

#include <cmath>
#include <vector>

#include "BaselineWalker.h"
#include "TextSupport.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CStringArray.h"
#include "mfc/CWinApp.h"
#include "model/CPathObj.h"
#include "model/HashBytes.h"
#include "model/ToolGeometry.h"
#include "pathkit/NumericToolkit.h"
#include "shell/GeometryRecords.h"
#include "text/BaselineGeometry.h"
#include "text/CCharacter.h"
#include "text/TextResourceIds.h"

IMPLEMENT_SERIAL(CTextLine, CGroupObj, VERSIONABLE_SCHEMA | 0)

float CTextLine::CurrentPitch = 35.0f;
BYTE CTextLine::CurrentAlign = 0;
BYTE CTextLine::CurrentAutoKerning = 1;
BYTE CTextLine::CurrentCustomKerning = 1;
BYTE CTextLine::CurrentAutoBLShift = 0;

namespace {

constexpr double Pi = 3.14159265358979323846;
// A free line's baseline: its origin and direction.
constexpr float FreeLineLength = 0.1f;

void MakeFreeBaseline(SubPath& sp, float x, float y, int vertical) {
    sp.members.Reset();
    const floatPoint start(x, y);
    const floatPoint end =
        vertical ? floatPoint(x, y - FreeLineLength) : floatPoint(x + FreeLineLength, y);
    PathMember* m = sp.members.Append();
    m->flags = 0;
    m->start = m->ctrl1 = start;
    m->end = m->ctrl2 = end;
    sp.Invalidate(SP_ALL_INVALID);
    sp.CtrlBBox();
    sp.AccBBox();
}

// A tab ends at the next multiple of its own width (its width is the tab stop interval).
void SnapToTab(float& pos, float width) {
    if (width != 0) pos = std::trunc(pos / width) * width;
}

// The running position over character ch, forward and backward.
void StepForward(float& pos, CCharacter* ch) {
    pos += ch->Gap() + ch->UsableWidth();
    if (ch->IsTab()) SnapToTab(pos, ch->UsableWidth());
}
void StepBack(float& pos, CCharacter* ch) {
    pos -= ch->Gap() + ch->UsableWidth();
    if (ch->IsTab()) SnapToTab(pos, ch->UsableWidth());
}

} // namespace

CTextLine::CTextLine()
    : m_fPitch(CurrentPitch), m_nAlign(CurrentAlign), m_bAutoKerning(CurrentAutoKerning),
      m_bCustomKerning(CurrentCustomKerning), m_bAutoBLShift(CurrentAutoBLShift) {}

CTextLine::CTextLine(float x, float y, const SubPath* path, float anchor, int vertical)
    : CTextLine() {
    if (path != nullptr && path->members.Filled() != 0) {
        m_baseline = SubPath(*path);
        m_baseline.Invalidate(SP_ALL_INVALID);
        m_baseline.CtrlBBox();
        m_baseline.AccBBox();
        m_fAnchor = anchor;
    } else {
        MakeFreeBaseline(m_baseline, x, y, vertical);
    }
}

CTextLine::~CTextLine() = default;

CCharacter* CTextLine::GetChar(int i) const {
    return static_cast<CCharacter*>(m_children.GetAt(i));
}

void CTextLine::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_children.Serialize(ar);
        // A line read from a record below 3 never left-aligns its glyphs; stored as 4 it would
        // on reopening, and the lettering would move. It keeps a record that says so, unless
        // it needs the auto baseline shift that only 4 holds.
        const WORD schema = m_nSchema < 3 && !m_bAutoBLShift ? 2 : Schema;
        ar << schema << m_baseline << BYTE(m_nAlign) << m_fPitch << m_fAnchor << m_fRadius
           << BYTE(m_nArcSide) << BYTE(m_bAutoKerning) << BYTE(m_bCustomKerning)
           << BYTE(m_bMirrored);
        if (schema >= 4) ar << BYTE(m_bAutoBLShift);
        return;
    }
    m_children.Truncate(0);
    LoadSignObjArray(ar, m_children, RUNTIME_CLASS(CCharacter));
    WORD schema;
    ar >> schema;
    if (schema > Schema) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    m_nSchema = schema;
    BYTE align, side, autoKerning, customKerning;
    ar >> m_baseline >> align >> m_fPitch >> m_fAnchor >> m_fRadius >> side >> autoKerning >>
        customKerning;
    m_nAlign = align;
    m_nArcSide = static_cast<signed char>(side);
    m_bAutoKerning = autoKerning;
    m_bCustomKerning = customKerning;
    // Older records take the initial values, not the tool's current ones.
    m_bMirrored = 0;
    m_bAutoBLShift = 0;
    if (schema >= 2) ar >> m_bMirrored;
    if (schema >= 4) ar >> m_bAutoBLShift;
    // Every placement needs a baseline with a direction.
    if (m_baseline.members.Filled() == 0) MakeFreeBaseline(m_baseline, 0, 0, 0);
}

DWORD CTextLine::StoreStamp() {
    m_nSavedStamp = m_nStamp;
    HashBytes(&m_nAlign, 1, &m_nSavedStamp);
    HashBytes(&m_fPitch, 4, &m_nSavedStamp);
    HashBytes(&m_fAnchor, 4, &m_nSavedStamp);
    HashBytes(&m_fRadius, 4, &m_nSavedStamp);
    HashBytes(&m_nArcSide, 1, &m_nSavedStamp);
    HashBytes(&m_bAutoKerning, 1, &m_nSavedStamp);
    HashBytes(&m_bCustomKerning, 1, &m_nSavedStamp);
    HashBytes(&m_bMirrored, 1, &m_nSavedStamp);
    HashBytes(&m_bAutoBLShift, 1, &m_nSavedStamp);
    for (const PathMember& pm : m_baseline.members)
        HashPathMember(pm, &m_nSavedStamp);
    return m_nSavedStamp;
}

void CTextLine::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    CSignObj::SerializeState(ar, pDoc);
    if (ar.IsStoring()) {
        ar << m_baseline << BYTE(m_nAlign) << m_fPitch << m_fAnchor << m_fRadius << BYTE(m_nArcSide)
           << BYTE(m_bAutoKerning) << BYTE(m_bCustomKerning) << BYTE(m_bMirrored)
           << BYTE(m_bAutoBLShift);
        return;
    }
    BYTE side;
    ar >> m_baseline >> m_nAlign >> m_fPitch >> m_fAnchor >> m_fRadius >> side >> m_bAutoKerning >>
        m_bCustomKerning >> m_bMirrored >> m_bAutoBLShift;
    m_nArcSide = static_cast<signed char>(side);
    if (m_baseline.members.Filled() == 0) MakeFreeBaseline(m_baseline, 0, 0, 0);
}

void CTextLine::SetFill(CFillObj* pFill) {
    CSignObj::SetFill(pFill);
}

void CTextLine::TransformFill(const floatTMatrix&) {}

void CTextLine::TransformTransparency(const floatTMatrix&) {}

BOOL CTextLine::CanUngroup() {
    return 0;
}

void CTextLine::RefreshBBox() {
    bool any = false;
    for (int i = 0; i < GetCount(); ++i) {
        CSignObj* pChild = GetChild(i);
        pChild->RefreshBBox();
        const floatBBox* pBox = pChild->GetBBox();
        if (pBox == nullptr) continue;
        if (any)
            m_bbox += *pBox;
        else
            m_bbox = *pBox;
        any = true;
    }
    if (!any) m_bbox = m_baseline.accBox;
}

floatBBox* CTextLine::GetBBox() {
    return &m_bbox;
}

void CTextLine::Transform(const floatTMatrix& m) {
    CGroupObj::Transform(m);
    m_baseline.Invalidate(SP_ALL_INVALID);
    m_baseline.Transform(m);
    m_baseline.CtrlBBox();
    m_baseline.AccBBox();
    // Radius and anchor are lengths along the line: they scale as the line does.
    float x = 1, y = 0;
    m.dTransform(x, y);
    const float s = std::sqrt(x * x + y * y);
    m_fRadius *= s;
    m_fAnchor *= s;
    const bool noShear = m.m12 == 0 && m.m21 == 0;
    if (noShear && m.m11 < 0) m_bMirrored = m_bMirrored ? 0 : 1;
    if (noShear && m.m22 < 0) m_bMirrored = m_bMirrored ? 0 : 1;
}

CSignObj* CTextLine::Duplicate() {
    auto* pCopy = new CTextLine;
    for (int i = 0; i < GetCount(); ++i)
        pCopy->m_children.Add(GetChild(i)->Duplicate());
    pCopy->m_bbox = m_bbox;
    pCopy->m_baseline = SubPath(m_baseline);
    pCopy->m_baseline.ctrlBox = m_baseline.ctrlBox;
    pCopy->m_baseline.accBox = m_baseline.accBox;
    pCopy->m_fPitch = m_fPitch;
    pCopy->m_fAnchor = m_fAnchor;
    pCopy->m_fRadius = m_fRadius;
    pCopy->m_nAlign = m_nAlign;
    pCopy->m_nArcSide = m_nArcSide;
    pCopy->m_bAutoKerning = m_bAutoKerning;
    pCopy->m_bCustomKerning = m_bCustomKerning;
    pCopy->m_bAutoBLShift = m_bAutoBLShift;
    pCopy->m_bMirrored = m_bMirrored;
    pCopy->m_nSchema = m_nSchema;
    return pCopy;
}

CSignObj* CTextLine::ConvertToPaths() {
    return nullptr;
}

Path* CTextLine::GetPath() {
    return nullptr;
}

void CTextLine::AddToPath(Path& target) {
    MergeLineOutlines(target);
}

void CTextLine::GetPlacementAt(float distance, float yOffset, floatTMatrix& m) {
    floatPoint point, tangent;
    PointAtLength(m_baseline, distance, point, tangent);
    m.IdentMatrix();
    m.Translate(0, yOffset);
    floatTMatrix r;
    if (m_bMirrored) r.m22 = -1;
    r.Rotate(float(VectAngle(1, 0, tangent.x, tangent.y)));
    m *= r;
    m.Translate(point.x, point.y);
}

void CTextLine::GetAnchorPoint(floatPoint& out) {
    floatTMatrix m;
    GetPlacementAt(m_fAnchor, 0, m);
    out = floatPoint(0, 0);
    m.Transform(out.x, out.y);
}

float CTextLine::GetLength() {
    float total = 0;
    const int n = GetCount();
    for (int k = 0; k < n; ++k) {
        CCharacter* ch = GetChar(k);
        StepForward(total, ch);
        if (k == n - 1) total -= ch->Gap();
    }
    return total;
}

// Where the forward walk of left and centred lines starts.
float CTextLine::WalkStart() {
    return m_nAlign == 1 ? m_fAnchor - GetLength() * 0.5f : m_fAnchor;
}

// The running position of character (caret position) `index` before the glyph's half width
// is added. Layout walks the same steps once for the whole line.
float CTextLine::PositionOf(int index, int caret) {
    const int n = GetCount();
    if (m_nAlign == 0 || m_nAlign == 1) {
        float pos = WalkStart();
        for (int k = 0; k < index && k < n; ++k) {
            StepForward(pos, GetChar(k));
            if (caret && k == index - 1) pos -= GetChar(k)->Gap();
        }
        return pos;
    }
    if (m_nAlign == 2) {
        float pos = m_fAnchor;
        for (int k = n - 1; k >= index && k >= 0; --k)
            StepBack(pos, GetChar(k));
        // The caret stands after the glyph before it, ahead of that glyph's gap.
        if (caret && index >= 1 && index <= n) pos -= GetChar(index - 1)->Gap();
        return pos;
    }
    return m_fAnchor;
}

void CTextLine::PlaceAt(float pos, CCharacter* ch, const BaselineWalker& walker, floatTMatrix& m) {
    const CharStyle& style = ch != nullptr ? ch->m_style : CCharacter::DefaultStyle;
    m.IdentMatrix();
    m.m21 = float(std::tan(style.italicAngle * Pi / 180));
    const float width = ch != nullptr ? ch->UsableWidth() : 0.0f;
    if (ch != nullptr) pos += width * 0.5f;
    float yShift = style.baselineShift;
    if (ch != nullptr && m_bAutoBLShift) yShift += ch->m_fCustomBLShift;
    yShift *= style.size;
    floatPoint point, tangent;
    walker.PointAt(pos, point, tangent);
    const float angle = float(VectAngle(1, 0, tangent.x, tangent.y));
    m.Translate(0, yShift);
    floatTMatrix r;
    if (m_bMirrored) r.m22 = -1;
    r.Rotate(angle);
    m *= r;
    const float length = std::sqrt(tangent.x * tangent.x + tangent.y * tangent.y);
    if (ch != nullptr && length != 0) {
        const float back = -0.5f * width / length;
        m.Translate(tangent.x * back, tangent.y * back);
    }
    m.Translate(point.x, point.y);
}

void CTextLine::GetCharMatrix(int index, CCharacter* ch, floatTMatrix& m, int caret) {
    const BaselineWalker walker(m_baseline);
    PlaceAt(PositionOf(index, caret), ch, walker, m);
}

void CTextLine::Layout(const CStringArray& fontNames, CFontCache& cache, CTextLine* previous) {
    if (previous != nullptr && previous->m_baseline.members.Filled() != 0) {
        const SubPath& above = previous->m_baseline;
        const floatPoint& a = above.members.first()->start;
        const floatPoint& b = above.members.last()->end;
        float dx = b.x - a.x, dy = b.y - a.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (length != 0) {
            dx = dx / length * m_fPitch;
            dy = dy / length * m_fPitch;
        }
        // A quarter turn clockwise: the next line lies below (beyond a mirrored line, above).
        floatTMatrix move;
        if (m_bMirrored)
            move.Translate(-dy, dx);
        else
            move.Translate(dy, -dx);
        m_baseline = SubPath(above);
        m_baseline.Transform(move);
        m_baseline.CtrlBBox();
        m_baseline.AccBBox();
    }
    const int n = GetCount();
    for (int k = 0; k < n; ++k)
        GetChar(k)->BuildGlyph(fontNames, cache, LeftAlignsGlyphs());

    // One walk for the whole line, step for step as PositionOf takes it.
    std::vector<float> positions(std::size_t(n), m_fAnchor);
    if (m_nAlign == 0 || m_nAlign == 1) {
        float pos = WalkStart();
        for (int k = 0; k < n; ++k) {
            positions[std::size_t(k)] = pos;
            StepForward(pos, GetChar(k));
        }
    } else if (m_nAlign == 2) {
        float pos = m_fAnchor;
        for (int k = n - 1; k >= 0; --k) {
            StepBack(pos, GetChar(k));
            positions[std::size_t(k)] = pos;
        }
    }
    const BaselineWalker walker(m_baseline);
    for (int k = 0; k < n; ++k) {
        CCharacter* ch = GetChar(k);
        floatTMatrix m;
        PlaceAt(positions[std::size_t(k)], ch, walker, m);
        if (!IsFiniteMatrix(m)) {
            EmptyOutline(ch->m_path);
            continue;
        }
        const float bottom = ch->m_fBottom, top = ch->m_fTop, width = ch->m_fOutlineWidth;
        ch->Transform(m);
        ch->m_fBottom = bottom;
        ch->m_fTop = top;
        ch->m_fOutlineWidth = width;
    }
}

int CTextLine::CanKernPair(int i) {
    if (i < 1 || i >= GetCount()) return 0;
    if (m_baseline.members.Filled() > 1) return 0;
    if (m_baseline.members.Filled() == 1 && m_baseline.members[0].IsCurve()) return 0;
    CCharacter* a = GetChar(i - 1);
    CCharacter* b = GetChar(i);
    if (a->m_nCode == 32 || b->m_nCode == 32 || a->IsTab()) return 0;
    if (a->m_nFontIndex != b->m_nFontIndex || a->m_style.size != b->m_style.size) return 0;
    for (const CCharacter* c : {a, b}) {
        const CharStyle& s = c->m_style;
        if (s.aspect != 1.0f || s.baselineShift != 0.0f || s.italicAngle != 0.0f || s.slant != 0)
            return 0;
    }
    return 1;
}

float CTextLine::GetMaxTop() {
    float top = 0;
    for (int k = 0; k < GetCount(); ++k) {
        const CCharacter* ch = GetChar(k);
        if (!ch->m_style.IsUsable()) continue;
        const float t = ch->m_style.baselineShift * ch->m_style.size + ch->m_fTop;
        if (t > top) top = t;
    }
    return top;
}

float CTextLine::GetMinBottom() {
    float bottom = 0;
    for (int k = 0; k < GetCount(); ++k) {
        const CCharacter* ch = GetChar(k);
        if (!ch->m_style.IsUsable()) continue;
        const float b = ch->m_style.baselineShift * ch->m_style.size + ch->m_fBottom;
        if (b < bottom) bottom = b;
    }
    return bottom;
}

void CTextLine::FitToLength(int mode, float target) {
    const float length = GetLength();
    // A target of no length would make sizes (the tool's too) zero or negative.
    if (length == 0 || mode < 0 || mode > 3 || !(target > 0) || !std::isfinite(target)) return;
    const float d = target - length;
    const int n = GetCount();
    switch (mode) {
    case 0: {
        if (n < 2) return;
        float sizes = 0;
        for (int k = 0; k < n - 1; ++k)
            sizes += GetChar(k)->m_style.size;
        if (!(sizes != 0)) return;
        for (int k = 0; k < n - 1; ++k) {
            CharStyle& s = GetChar(k)->m_style;
            s.charSpacing += d / (sizes * s.aspect);
        }
        break;
    }
    case 1: {
        const float r = target / length;
        m_fPitch *= r;
        CCharacter::DefaultStyle.size *= r;
        for (int k = 0; k < n; ++k)
            GetChar(k)->m_style.size *= r;
        break;
    }
    case 2: {
        const float r = target / length;
        for (int k = 0; k < n; ++k)
            GetChar(k)->m_style.aspect *= r;
        break;
    }
    case 3: {
        float spaces = 0;
        for (int k = 0; k < n; ++k)
            if (GetChar(k)->m_nCode == 32) spaces += GetChar(k)->m_fWidth;
        if (!(spaces > 0)) {
            AfxMessageBox(LoadTextString(IDS_FIT_NO_SPACES, "The line has no spaces to stretch."),
                          MB_OK);
            return;
        }
        const float f = d / spaces + 1;
        if (!(f >= 0.01f)) {
            AfxMessageBox(LoadTextString(IDS_FIT_SPACES_TOO_SMALL,
                                         "The word spacing would become too small."),
                          MB_OK);
            return;
        }
        for (int k = 0; k < n; ++k)
            if (GetChar(k)->m_nCode == 32) GetChar(k)->m_fWidth *= f;
        break;
    }
    }
}

void CTextLine::MergeLineOutlines(Path& out) {
    // Only characters with outlines are neighbours here; blanks have no box.
    std::vector<CCharacter*> glyphs;
    for (int k = 0; k < GetCount(); ++k)
        if (GetChar(k)->m_path.subPaths.Filled() != 0) glyphs.push_back(GetChar(k));
    bool overlap = false;
    for (std::size_t k = 1; k < glyphs.size() && !overlap; ++k) {
        const floatBBox& a = glyphs[k - 1]->m_path.accBox;
        const floatBBox& b = glyphs[k]->m_path.accBox;
        floatRange ax, ay, bx, by;
        ax.Set(a.left, a.right);
        ay.Set(a.bottom, a.top);
        bx.Set(b.left, b.right);
        by.Set(b.bottom, b.top);
        overlap = RangesOverlap(ax, bx) && RangesOverlap(ay, by);
    }
    if (overlap) {
        // Neighbours go to different halves, so each half merges only glyphs apart.
        Path even(Path::ValidAccuracy(out.accuracy)), odd(Path::ValidAccuracy(out.accuracy));
        for (std::size_t k = 0; k < glyphs.size(); ++k)
            MergePaths(glyphs[k]->m_path, k % 2 == 0 ? even : odd);
        MergePaths(even, odd);
        MergePaths(odd, out);
    } else {
        for (CCharacter* ch : glyphs)
            MergePaths(ch->m_path, out);
    }
    out.Prepare();
}
