#include "text/CTextFrame.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "TextDefaultsKept.h"
#include "TextSupport.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CWnd.h"
#include "model/HashBytes.h"
#include "model/TMatrixRecord.h"
#include "pathkit/NumericToolkit.h"
#include "pathkit/PathDraw.h"
#include "shell/GeometryRecords.h"
#include "text/CCharacter.h"
#include "text/CTextLine.h"
#include "text/CTextObj.h"
#include "text/CharCodes.h"
#include "text/FontCache.h"
#include "text/KernPair.h"
#include "text/TextResourceIds.h"
#include "win32/nls.h"
#include "win32/user.h"

IMPLEMENT_SERIAL(CTextFrame, CPathObj, VERSIONABLE_SCHEMA | 0)

namespace {

// The size the characters are made at; the fit scales them.
constexpr float LayoutSize = 500.0f;
constexpr std::uint16_t LF = 10;
constexpr std::uint16_t CR = 13;
constexpr float InitialLineSpacing = 1.2f;
constexpr BYTE InitialPlaceMode = 1;
constexpr BYTE InitialCharAlignment = 1;

float Width(const floatBBox& b) {
    return b.right - b.left;
}
float Height(const floatBBox& b) {
    return b.top - b.bottom;
}

// Widens a line by the factor f through its characters' spacing (all but the last gap).
void SpreadSpacing(CTextLine* line, float f) {
    const int n = line->GetCount();
    auto sum = [&] {
        float s = 0;
        for (int k = 0; k < n - 1; ++k)
            s += line->GetChar(k)->m_style.charSpacing * line->GetChar(k)->m_style.size;
        return s;
    };
    float spacing = sum();
    if (spacing == 0) {
        for (int k = 0; k < n; ++k)
            line->GetChar(k)->m_style.charSpacing = 0.01f;
        spacing = sum();
    }
    if (!(spacing != 0) || !std::isfinite(spacing)) return;
    const float factor = 1 + line->GetLength() * (f - 1) / spacing;
    for (int k = 0; k < n - 1; ++k)
        line->GetChar(k)->m_style.charSpacing *= factor;
}

// Moves the lines apart so that together they gain e.
void SpreadLines(CTextObj& text, float e) {
    const int n = text.GetLineCount();
    if (n < 2) return;
    for (int i = 0; i < n; ++i)
        text.GetLine(i)->m_fPitch += e / float(n - 1);
}

void Scale(CTextObj& text, float s) {
    floatTMatrix m;
    m.Scale(s, s);
    text.Transform(m);
    text.RefreshBBox();
}

} // namespace

CTextFrame::CTextFrame() : m_frameBox(0, 0, 100, 50) {
    BuildBox(m_frameBox, m_framePath);
}

CTextFrame::CTextFrame(const floatBBox& box, const char* text, const char* fontName, DWORD fitMode,
                       BYTE autoKerning, BYTE customKerning, float charSpacing, float wordSpacing,
                       float aspect, BYTE vertical, BYTE reversed, float lineSpacing,
                       BYTE alignment, BYTE placeMode, BYTE weld, float marginLeft, float marginTop,
                       float marginRight, float marginBottom, BYTE charAlignment,
                       BYTE autoBaselineShift)
    : m_frameBox(box), m_text(text != nullptr ? text : ""),
      m_fontName(fontName != nullptr ? fontName : ""), m_nFitMode(fitMode),
      m_fCharSpacing(charSpacing), m_fWordSpacing(wordSpacing), m_fAspect(aspect),
      m_fLineSpacing(lineSpacing), m_fMarginLeft(marginLeft), m_fMarginRight(marginRight),
      m_fMarginTop(marginTop), m_fMarginBottom(marginBottom), m_bAutoKerning(autoKerning),
      m_bCustomKerning(customKerning), m_bVertical(vertical), m_bReversed(reversed),
      m_nAlignment(alignment), m_nPlaceMode(placeMode), m_bWeld(weld),
      m_nCharAlignment(charAlignment), m_bAutoBaselineShift(autoBaselineShift) {
    BuildBox(m_frameBox, m_framePath);
    if (!m_text.IsEmpty()) Layout();
}

CTextFrame::~CTextFrame() = default;

void CTextFrame::SerializeFields(CArchive& ar, WORD version) {
    if (ar.IsStoring()) {
        StoreTMatrix(ar, m_frameMatrix);
        ar << m_frameBox << m_text << m_fontName << DWORD(m_nFitMode) << m_bAutoKerning
           << m_bCustomKerning << m_fCharSpacing << m_fWordSpacing << m_fAspect << m_framePath
           << m_bVertical << m_bReversed << m_fLineSpacing << m_fMarginLeft << m_fMarginTop
           << m_fMarginRight << m_fMarginBottom << m_nAlignment << m_nPlaceMode << m_bWeld
           << m_nCharAlignment << m_bAutoBaselineShift;
        return;
    }
    DWORD fitMode;
    LoadTMatrix(ar, m_frameMatrix);
    ar >> m_frameBox >> m_text >> m_fontName >> fitMode >> m_bAutoKerning >> m_bCustomKerning >>
        m_fCharSpacing >> m_fWordSpacing >> m_fAspect >> m_framePath >> m_bVertical >> m_bReversed;
    m_nFitMode = fitMode;
    // What an older record lacks takes the initial value.
    m_fLineSpacing = InitialLineSpacing;
    m_fMarginLeft = m_fMarginTop = m_fMarginRight = m_fMarginBottom = 0;
    m_nAlignment = 0;
    m_nPlaceMode = InitialPlaceMode;
    m_bWeld = 0;
    m_nCharAlignment = InitialCharAlignment;
    m_bAutoBaselineShift = 0;
    if (version >= 2)
        ar >> m_fLineSpacing >> m_fMarginLeft >> m_fMarginTop >> m_fMarginRight >>
            m_fMarginBottom >> m_nAlignment >> m_nPlaceMode >> m_bWeld;
    if (version >= 3) ar >> m_nCharAlignment;
    if (version >= 4) ar >> m_bAutoBaselineShift;
}

void CTextFrame::Serialize(CArchive& ar) {
    CSignObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << WORD(Version) << DWORD(m_path.colour) << WORD(m_path.layer) << WORD(m_path.pathFlags);
        SerializeFields(ar, Version);
        return;
    }
    WORD version, layer, flags;
    DWORD colour;
    ar >> version;
    if (version > Version) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    ar >> colour >> layer >> flags;
    m_path.colour = colour;
    m_path.layer = std::int16_t(layer);
    m_path.pathFlags = flags;
    SerializeFields(ar, version);
    Layout();
}

DWORD CTextFrame::StoreStamp() {
    m_nSavedStamp = m_nStamp;
    const float matrix[6] = {m_frameMatrix.m11, m_frameMatrix.m12, m_frameMatrix.m21,
                             m_frameMatrix.m22, m_frameMatrix.dx,  m_frameMatrix.dy};
    const float box[4] = {m_frameBox.left, m_frameBox.right, m_frameBox.bottom, m_frameBox.top};
    HashBytes(matrix, sizeof matrix, &m_nSavedStamp);
    HashBytes(box, sizeof box, &m_nSavedStamp);
    HashBytes(static_cast<const char*>(m_text), DWORD(m_text.GetLength()), &m_nSavedStamp);
    HashBytes(static_cast<const char*>(m_fontName), DWORD(m_fontName.GetLength()), &m_nSavedStamp);
    HashBytes(&m_nFitMode, 4, &m_nSavedStamp);
    HashBytes(&m_bAutoKerning, 1, &m_nSavedStamp);
    HashBytes(&m_bCustomKerning, 1, &m_nSavedStamp);
    for (const float* v : {&m_fCharSpacing, &m_fWordSpacing, &m_fAspect})
        HashBytes(v, 4, &m_nSavedStamp);
    HashBytes(&m_bVertical, 1, &m_nSavedStamp);
    HashBytes(&m_bReversed, 1, &m_nSavedStamp);
    for (const float* v :
         {&m_fLineSpacing, &m_fMarginLeft, &m_fMarginRight, &m_fMarginTop, &m_fMarginBottom})
        HashBytes(v, 4, &m_nSavedStamp);
    for (const BYTE* b :
         {&m_nAlignment, &m_nPlaceMode, &m_bWeld, &m_nCharAlignment, &m_bAutoBaselineShift})
        HashBytes(b, 1, &m_nSavedStamp);
    return m_nSavedStamp;
}

void CTextFrame::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    CPathObj::SerializeState(ar, pDoc);
    SerializeFields(ar, Version);
    if (ar.IsLoading()) m_framePath.Prepare();
}

floatBBox* CTextFrame::GetBBox() {
    return m_framePath.subPaths.Filled() ? &m_framePath.accBox : nullptr;
}

void CTextFrame::PaintOutline(CDC* pDC, const floatTMatrix& m, int) {
    ::Paint(pDC, m, m_framePath, PP_STROKE);
}

void CTextFrame::Transform(const floatTMatrix& m) {
    const bool plainScale =
        m_frameMatrix.IsIdentMatrix() && m.m12 == 0 && m.m21 == 0 && m.m11 >= 0 && m.m22 >= 0;
    if (plainScale) {
        float x1 = m_frameBox.left, y1 = m_frameBox.bottom;
        float x2 = m_frameBox.right, y2 = m_frameBox.top;
        m.Transform(x1, y1);
        m.Transform(x2, y2);
        m_frameBox = floatBBox(x1, y1, x2, y2);
        if (m_nFitMode != Stretch && !(std::fabs(1 - m.m11 / m.m22) < 0.0001f)) {
            // The text is fitted afresh into the new rectangle.
            Layout();
            return;
        }
    } else {
        m_frameMatrix *= m;
    }
    CPathObj::Transform(m);
    m_framePath.Transform(m);
    m_framePath.Prepare();
}

BOOL CTextFrame::CanDistort() {
    return 0;
}

CSignObj* CTextFrame::GetEditablePath() {
    return CPathObj::Duplicate();
}

CSignObj* CTextFrame::Duplicate() {
    auto* pCopy = new CTextFrame;
    static_cast<Path&>(pCopy->m_path) = Path(m_path);
    CopyInto(pCopy);
    pCopy->m_frameMatrix = m_frameMatrix;
    pCopy->m_frameBox = m_frameBox;
    pCopy->m_framePath = Path(m_framePath);
    pCopy->m_text = m_text;
    pCopy->m_fontName = m_fontName;
    pCopy->m_nFitMode = m_nFitMode;
    pCopy->m_fCharSpacing = m_fCharSpacing;
    pCopy->m_fWordSpacing = m_fWordSpacing;
    pCopy->m_fAspect = m_fAspect;
    pCopy->m_fLineSpacing = m_fLineSpacing;
    pCopy->m_fMarginLeft = m_fMarginLeft;
    pCopy->m_fMarginRight = m_fMarginRight;
    pCopy->m_fMarginTop = m_fMarginTop;
    pCopy->m_fMarginBottom = m_fMarginBottom;
    pCopy->m_bAutoKerning = m_bAutoKerning;
    pCopy->m_bCustomKerning = m_bCustomKerning;
    pCopy->m_bVertical = m_bVertical;
    pCopy->m_bReversed = m_bReversed;
    pCopy->m_nAlignment = m_nAlignment;
    pCopy->m_nPlaceMode = m_nPlaceMode;
    pCopy->m_bWeld = m_bWeld;
    pCopy->m_nCharAlignment = m_nCharAlignment;
    pCopy->m_bAutoBaselineShift = m_bAutoBaselineShift;
    return pCopy;
}

void CTextFrame::ExtendContextMenu(CMenu* pMenu) {
    AppendTextContextItem(pMenu);
}

void CTextFrame::Edit(CWnd* pWnd) {
    if (pWnd == nullptr) return;
    PostMessageA(pWnd->GetSafeHwnd(), WM_COMMAND, ID_TEXT_TOOL, 0);
    PostMessageA(pWnd->GetSafeHwnd(), WM_COMMAND, ID_TOOL_PROPERTY_CHANGE, 0);
}

BOOL CTextFrame::IsEditable() {
    return 0;
}

void CTextFrame::Layout() {
    BuildBox(m_frameBox, m_framePath);
    if (!m_frameMatrix.IsIdentMatrix()) {
        m_framePath.Transform(m_frameMatrix);
        m_framePath.Prepare();
    }
    // No text, no outlines: nothing deleted stays to be cut.
    EmptyOutline(m_path);
    if (m_text.IsEmpty()) return;

    TextDefaultsKept kept;
    TextDefaultsKept::Use(m_fontName, LayoutSize, m_fAspect, m_fCharSpacing, m_bVertical,
                          m_nCharAlignment, m_fWordSpacing);

    floatBBox textBox(m_frameBox.left + m_fMarginLeft, m_frameBox.bottom + m_fMarginBottom,
                      m_frameBox.right - m_fMarginRight, m_frameBox.top - m_fMarginTop);
    // Margins wider than the frame leave no room (the box's corners would pass each other).
    const bool roomLeft = m_frameBox.left + m_fMarginLeft < m_frameBox.right - m_fMarginRight &&
                          m_frameBox.bottom + m_fMarginBottom < m_frameBox.top - m_fMarginTop;

    // The lines, split at line feeds, carriage returns passed over.
    std::vector<std::vector<std::uint16_t>> lines(1);
    int pos = 0;
    while (std::uint16_t code = GetNextCharCode(m_text, pos)) {
        if (code == CR) continue;
        if (code == LF)
            lines.emplace_back();
        else
            lines.back().push_back(code);
    }

    CFontCache cache;
    CTextObj text;
    const float distance = LayoutSize * m_fLineSpacing;
    const bool dbcs = GetSystemMetrics(SM_DBCSENABLED) != 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::vector<std::uint16_t>& codes = lines[n];
        if (m_bReversed) std::reverse(codes.begin(), codes.end());
        const float offset = float(n) * distance;
        CTextLine* line = m_bVertical ? new CTextLine(dbcs ? -offset : offset, 0, nullptr, 0, 1)
                                      : new CTextLine(0, -offset, nullptr, 0, 0);
        text.m_children.Add(line);
        line->m_fPitch = distance;
        line->m_nAlign = m_nAlignment;
        line->m_bAutoKerning = m_bAutoKerning;
        line->m_bCustomKerning = m_bCustomKerning;
        line->m_bAutoBLShift = m_bAutoBaselineShift;
        for (std::uint16_t code : codes)
            line->m_children.Add(MakeCharacter(code, nullptr, &text, line, cache));
        if (!m_bVertical)
            for (int i = 1; i < line->GetCount(); ++i)
                KernPair(line, i, &text, cache);
        line->Layout(text.m_fontNames, cache, nullptr);
    }
    text.RefreshBBox();

    const float W = Width(textBox), H = Height(textBox);
    floatTMatrix fit;
    bool placed = roomLeft && Width(text.m_bbox) > 0 && Height(text.m_bbox) > 0;
    if (placed && m_nFitMode == Fill) {
        const float w = Width(text.m_bbox), h = Height(text.m_bbox);
        const int count = text.GetLineCount();
        if (!m_bVertical) {
            if (count > 1 && H / W > h / w) {
                Scale(text, W / w);
                SpreadLines(text, H - Height(text.m_bbox));
            } else {
                Scale(text, H / h);
                const float f = W / Width(text.m_bbox);
                for (int i = 0; i < count; ++i)
                    SpreadSpacing(text.GetLine(i), f);
            }
        } else {
            if (count > 1 && W / H > w / h) {
                Scale(text, H / h);
                SpreadLines(text, W - Width(text.m_bbox));
            } else {
                Scale(text, W / w);
                const float f = H / Height(text.m_bbox);
                for (int i = 0; i < count; ++i)
                    SpreadSpacing(text.GetLine(i), f);
            }
        }
        text.LayoutText(0);
        placed = Width(text.m_bbox) > 0 && Height(text.m_bbox) > 0;
        if (placed) TransferBBox(text.m_bbox, textBox, fit, 0, 1, 0, 0, 0);
    } else if (placed && m_nFitMode == Stretch) {
        BoxTransformation(fit, text.m_bbox, textBox);
    } else if (placed && m_nFitMode == Place) {
        const int corner = m_nPlaceMode == 0 || m_nPlaceMode == 2;
        const int farCorner = m_nPlaceMode == 2;
        TransferBBox(text.m_bbox, textBox, fit, 0, corner ? 0 : 1, farCorner, farCorner, 0);
    }
    fit *= m_frameMatrix;
    if (!placed || !IsFiniteMatrix(fit)) return;

    if (m_bWeld)
        text.AddToPath(m_path);
    else
        AppendCharacterOutlines(text, m_path);
    m_path.Transform(fit);
    m_path.Prepare();
}
