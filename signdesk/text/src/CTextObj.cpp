#include "text/CTextObj.h"

#include <cmath>
#include <memory>

#include "TextDefaultsKept.h"
#include "TextSupport.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CMenu.h"
#include "mfc/CPropertySheet.h"
#include "mfc/CWnd.h"
#include "model/CFillObj.h"
#include "model/CObjIterator.h"
#include "model/CObjTreeIterator.h"
#include "model/HashBytes.h"
#include "model/PathConnections.h"
#include "model/TMatrixRecord.h"
#include "shell/CopyMenuItem.h"
#include "text/CCharacter.h"
#include "text/CTextLine.h"
#include "text/CharCodes.h"
#include "text/FontCache.h"
#include "text/FontRegistry.h"
#include "text/TextResourceIds.h"
#include "text/TextSettings.h"
#include "win32/nls.h"
#include "win32/user.h"

IMPLEMENT_SERIAL(CTextObj, CGroupObj, VERSIONABLE_SCHEMA | 0)

namespace {

constexpr std::uint16_t CR = 13;
constexpr std::uint16_t LF = 10;
constexpr std::uint16_t Space = 32;
constexpr std::uint16_t Tab = 9;
constexpr int TabSpaces = 8;

// Every object of the tree that held the text's former fill (or transparency fill) gets the
// one the text holds now.
void PassOnFill(CObArray& tree, CFillObj* CSignObj::*held, CFillObj* former, CFillObj* now,
                void (CSignObj::*set)(CFillObj*)) {
    if (now == former) return;
    CObjTreeIterator it(&tree);
    for (it.First(); !it.IsDone(); it.Next()) {
        CSignObj* pObj = it.Current();
        if (pObj != nullptr && pObj->*held == former) (pObj->*set)(now);
    }
}

} // namespace

void AppendTextContextItem(CMenu* pMenu) {
    if (pMenu == nullptr) return;
    pMenu->AppendMenu(MF_SEPARATOR);
    CMenu source;
    if (source.LoadMenu(IDR_TEXT_CONTEXT_MENU)) CopyMenuItem(&source, pMenu, ID_TEXT_CONTEXT_EDIT);
}

void AppendCharacterOutlines(CTextObj& text, Path& out) {
    CObjIterator it(&text.m_children);
    for (it.First(); CSignObj* pObj = it.Current(); it.Next()) {
        Path copy(static_cast<CCharacter*>(pObj)->m_path);
        out.Concat(copy);
    }
}

bool IsRightToLeftUser() {
    switch (GetUserDefaultLangID()) {
    case 0x0401:
    case 0x0801:
    case 0x0C01:
    case 0x1001:
    case 0x1401:
    case 0x1801:
    case 0x1C01:
    case 0x2001:
    case 0x2401:
    case 0x2801:
    case 0x2C01:
    case 0x3001:
    case 0x3401:
    case 0x3801:
    case 0x3C01:
    case 0x4001:
        return true;
    default:
        return false;
    }
}

CTextObj::CTextObj() : m_bRightToLeft(IsRightToLeftUser() ? 1 : 0) {}

CTextObj::CTextObj(float x, float y, const SubPath* path, float anchor, int vertical) : CTextObj() {
    m_children.Add(new CTextLine(x, y, path, anchor, vertical));
}

CTextObj::~CTextObj() = default;

CTextLine* CTextObj::GetLine(int i) const {
    return static_cast<CTextLine*>(m_children.GetAt(i));
}

void CTextObj::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        m_children.Serialize(ar);
        m_fontNames.Serialize(ar);
        ar << WORD(Schema);
        CSignObj::Serialize(ar);
        ar << BYTE(m_bRightToLeft);
        return;
    }
    m_children.Truncate(0);
    LoadSignObjArray(ar, m_children, RUNTIME_CLASS(CTextLine));
    m_fontNames.RemoveAll();
    m_fontNames.Serialize(ar);
    WORD schema;
    ar >> schema;
    if (schema > Schema) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    if (schema >= 2) CSignObj::Serialize(ar);
    if (schema == 2) {
        floatTMatrix ignored;
        LoadTMatrix(ar, ignored);
    }
    m_bRightToLeft = 0;
    if (schema >= 4) ar >> m_bRightToLeft;
    LayoutText(0);
}

DWORD CTextObj::StoreStamp() {
    m_nSavedStamp = DWORD(m_fontNames.GetSize() - 1);
    HashBytes(&m_nCaretLine, 4, &m_nSavedStamp);
    HashBytes(&m_nCaretPos, 4, &m_nSavedStamp);
    HashBytes(&m_nSelAnchor, 4, &m_nSavedStamp);
    HashBytes(&m_nSelEnd, 4, &m_nSavedStamp);
    HashBytes(&m_bRightToLeft, 1, &m_nSavedStamp);
    return m_nSavedStamp;
}

void CTextObj::SerializeState(CArchive& ar, CSignDoc*) {
    if (ar.IsStoring()) {
        m_fontNames.Serialize(ar);
        ar << DWORD(m_nCaretLine) << DWORD(m_nCaretPos) << DWORD(m_nSelAnchor) << DWORD(m_nSelEnd)
           << BYTE(m_bRightToLeft);
        return;
    }
    m_fontNames.RemoveAll();
    m_fontNames.Serialize(ar);
    DWORD line, pos, anchor, end;
    ar >> line >> pos >> anchor >> end >> m_bRightToLeft;
    m_nCaretLine = std::int32_t(line);
    m_nCaretPos = std::int32_t(pos);
    m_nSelAnchor = std::int32_t(anchor);
    m_nSelEnd = std::int32_t(end);
}

void CTextObj::SetFill(CFillObj* pFill) {
    CSignObj::SetFill(pFill);
    CObjTreeIterator it(&m_children);
    for (it.First(); !it.IsDone(); it.Next())
        if (CSignObj* pObj = it.Current()) pObj->SetFill(pFill);
}

void CTextObj::TransformFill(const floatTMatrix& m) {
    // As the base does it, but the text's own SetFill would hand the copy to the whole tree.
    CFillObj* former = m_pFill;
    if (former == nullptr) return;
    CFillObj* pCopy = former->Clone();
    if (pCopy == nullptr) return;
    pCopy->Transform(m);
    CSignObj::SetFill(pCopy);
    ++m_nStamp;
    PassOnFill(m_children, &CSignObj::m_pFill, former, m_pFill, &CSignObj::SetFill);
}

void CTextObj::TransformTransparency(const floatTMatrix& m) {
    CFillObj* former = m_pTransparencyFill;
    CSignObj::TransformTransparency(m);
    PassOnFill(m_children, &CSignObj::m_pTransparencyFill, former, m_pTransparencyFill,
               &CSignObj::SetTransparencyFill);
}

BOOL CTextObj::CanUngroup() {
    return 0;
}

CSignObj* CTextObj::HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg) {
    CSignObj* pHit = CGroupObj::HitTest(p, layer, tolerance, mode, arg);
    if (pHit == nullptr) return nullptr;
    return arg == 2 ? pHit : this;
}

BOOL CTextObj::SetColor(COLORREF color) {
    CObjIterator it(&m_children);
    for (it.First(); CSignObj* pObj = it.Current(); it.Next())
        if (!static_cast<CCharacter*>(pObj)->IsBlank()) pObj->SetColor(color);
    return 1;
}

BOOL CTextObj::SetOutlineColor(DWORD color) {
    CObjIterator it(&m_children);
    for (it.First(); CSignObj* pObj = it.Current(); it.Next())
        if (!static_cast<CCharacter*>(pObj)->IsBlank()) pObj->SetOutlineColor(color);
    return 1;
}

BOOL CTextObj::AcceptsTransform(const floatTMatrix& m) {
    const float a = m.m11, b = m.m12, c = m.m21, d = m.m22;
    // A matrix that collapses the text, or is no number, would leave sizes of 0 or NaN.
    const double det = double(a) * d - double(b) * c;
    if (!IsFiniteMatrix(m) || !(det != 0)) return 0;
    if (b == 0 && c == 0 && std::fabs(a / d - 1) <= 0.05f) return 1;
    if (a == d && -c == b) return 1;
    if (a < 0 && b == 0 && c == 0) return 1;
    if (d < 0 && b == 0 && c == 0) return 1;
    return 0;
}

void CTextObj::Transform(const floatTMatrix& m) {
    CGroupObj::Transform(m);
    float x = 1, y = 0;
    m.dTransform(x, y);
    const float s = std::sqrt(x * x + y * y);
    for (int i = 0; i < GetLineCount(); ++i) {
        CTextLine* line = GetLine(i);
        line->m_fPitch *= s;
        for (int k = 0; k < line->GetCount(); ++k) {
            CCharacter* ch = line->GetChar(k);
            ch->m_style.size *= s;
            ch->m_fWidth *= s;
        }
    }
    RefreshBBox();
}

BOOL CTextObj::CanDistort() {
    return 0;
}

CSignObj* CTextObj::GetEditablePath() {
    return ConvertToPaths();
}

CSignObj* CTextObj::Duplicate() {
    auto* pCopy = new CTextObj;
    for (int i = 0; i < GetLineCount(); ++i)
        pCopy->m_children.Add(GetLine(i)->Duplicate());
    pCopy->m_bbox = m_bbox;
    pCopy->m_fontNames.Copy(m_fontNames);
    pCopy->m_bRightToLeft = m_bRightToLeft;
    pCopy->CopyAttributes(this);
    return pCopy;
}

CSignObj* CTextObj::ConvertToPaths() {
    std::unique_ptr<CGroupObj> result(new CGroupObj);
    result->SetTransparencyFill(m_pTransparencyFill);
    result->m_fTransparency = m_fTransparency;
    for (int i = 0; i < GetLineCount(); ++i) {
        CTextLine* line = GetLine(i);
        std::unique_ptr<CGroupObj> lineGroup(new CGroupObj);
        for (int k = 0; k < line->GetCount(); ++k) {
            CCharacter* ch = line->GetChar(k);
            if (ch->m_path.subPaths.Filled() == 0) continue;
            auto* p = static_cast<CPathObj*>(ch->CPathObj::Duplicate());
            lineGroup->m_children.Add(p);
            DetectPathConnections(p->m_path);
        }
        if (lineGroup->m_children.GetSize() == 1)
            result->m_children.Add(lineGroup->m_children.PopLast());
        else if (lineGroup->m_children.GetSize() > 1)
            result->m_children.Add(lineGroup.release());
    }
    if (result->m_children.GetSize() == 0) return nullptr;
    if (result->m_children.GetSize() == 1) {
        auto* pChild = static_cast<CSignObj*>(result->m_children.PopLast());
        if (pChild->IsKindOf(RUNTIME_CLASS(CGroupObj))) pChild->RefreshBBox();
        return pChild;
    }
    result->RefreshBBox();
    return result.release();
}

Path* CTextObj::GetPath() {
    return nullptr;
}

void CTextObj::SetupPropertySheet(CPropertySheet* pSheet, int) {
    if (pSheet == nullptr) return;
    CString title;
    title.LoadString(IDS_TEXT_PROPERTIES);
    pSheet->SetTitle(title);
}

void CTextObj::ExtendContextMenu(CMenu* pMenu) {
    AppendTextContextItem(pMenu);
}

void CTextObj::Edit(CWnd* pWnd) {
    if (pWnd != nullptr) PostMessageA(pWnd->GetSafeHwnd(), WM_COMMAND, ID_TEXT_TOOL, 0);
}

void CTextObj::LayoutText(int fromLine) {
    CFontCache cache;
    for (int i = fromLine < 0 ? 0 : fromLine; i < GetLineCount(); ++i)
        GetLine(i)->Layout(m_fontNames, cache, i > 0 ? GetLine(i - 1) : nullptr);
    RefreshBBox();
}

int CTextObj::CaretLeft() {
    if (m_nCaretPos > 0) {
        --m_nCaretPos;
        return 1;
    }
    if (m_nCaretLine > 0 && m_nCaretLine <= GetLineCount()) {
        --m_nCaretLine;
        m_nCaretPos = GetLine(m_nCaretLine)->GetCount();
        return 1;
    }
    return 0;
}

int CTextObj::CaretRight() {
    if (m_nCaretLine < 0 || m_nCaretLine >= GetLineCount()) return 0;
    if (m_nCaretPos < GetLine(m_nCaretLine)->GetCount()) {
        ++m_nCaretPos;
        return 1;
    }
    if (m_nCaretLine < GetLineCount() - 1) {
        ++m_nCaretLine;
        m_nCaretPos = 0;
        return 1;
    }
    return 0;
}

int CTextObj::CaretUp() {
    if (m_nCaretLine <= 0 || m_nCaretLine > GetLineCount()) return 0;
    --m_nCaretLine;
    const int count = GetLine(m_nCaretLine)->GetCount();
    if (m_nCaretPos > count) m_nCaretPos = count;
    return 1;
}

int CTextObj::CaretDown() {
    if (m_nCaretLine < 0 || m_nCaretLine >= GetLineCount() - 1) return 0;
    ++m_nCaretLine;
    const int count = GetLine(m_nCaretLine)->GetCount();
    if (m_nCaretPos > count) m_nCaretPos = count;
    return 1;
}

int CTextObj::GetCaretTextIndex() {
    int index = 0;
    for (int i = 0; i < GetLineCount(); ++i) {
        const int count = GetLine(i)->GetCount();
        if (i == m_nCaretLine) {
            if (!m_bRightToLeft) return index + m_nCaretPos;
            if (m_nCaretPos >= 0 && m_nCaretPos <= count) return index + count - m_nCaretPos;
        }
        index += count + 1;
    }
    return m_bRightToLeft ? index : index + m_nCaretPos;
}

void CTextObj::TextIndexToCaret(int index, int& line, int& pos) {
    if (index < 0) return;
    for (int i = 0; i < GetLineCount(); ++i) {
        const int count = GetLine(i)->GetCount();
        if (index < count + 1) {
            line = i;
            pos = m_bRightToLeft ? count - index : index;
            return;
        }
        index -= count + 1;
    }
}

CCharacter* MakeCharacter(std::uint16_t code, CCharacter* existing, CTextObj* text, CTextLine* line,
                          CFontCache& cache) {
    std::unique_ptr<CCharacter> made;
    CCharacter* ch = existing;
    if (ch == nullptr) {
        const int index = AddFontName(text->m_fontNames, DefaultFont);
        made.reset(ch = new CCharacter);
        ch->m_nFontIndex = std::uint8_t(index);
        ch->m_nCode = code;
        ch->SetColor(GetDefaultFillColor());
        ch->SetLayer(char(GetDefaultLayer(1)), 0);
        ch->m_clrOutline = GetDefaultOutlineColor();
        ch->m_fOutlineWidth = GetDefaultWidth();
        ch->m_bFixedOutlineWidth = 0;
        ch->SetFill(text->m_pFill);
    } else {
        EmptyOutline(ch->m_path);
    }
    if (code != Space && code != Tab) {
        ch->BuildGlyph(text->m_fontNames, cache, line != nullptr ? line->LeftAlignsGlyphs() : 0);
    } else {
        ch->SetColor(NO_COLOR);
        ch->m_clrOutline = NO_COLOR;
        ch->m_fOutlineWidth = 0;
        ch->m_bFixedOutlineWidth = 0;
        const CharStyle& s = ch->m_style;
        const float space = s.IsUsable() ? s.aspect * s.size * CCharacter::WordSpacingFactor : 0.0f;
        ch->m_fWidth = std::isfinite(space) ? space : 0.0f;
        if (code == Tab) ch->m_fWidth *= TabSpaces;
    }
    made.release();
    return ch;
}

void AddTextLine(CTextObj* text, const char* lineText, CFontCache& cache, float lineFactor) {
    const int n = text->GetLineCount();
    const float pitch = CCharacter::DefaultStyle.size * lineFactor;
    std::unique_ptr<CTextLine> line(new CTextLine(0, -float(n) * pitch, nullptr, 0, 0));
    line->m_fPitch = pitch;
    line->m_nAlign = 0;
    line->m_bAutoKerning = 0;
    line->m_bCustomKerning = 0;
    line->m_bAutoBLShift = 0;
    const CString codes(lineText != nullptr ? lineText : "");
    int pos = 0;
    while (std::uint16_t code = GetNextCharCode(codes, pos))
        line->m_children.Add(MakeCharacter(code, nullptr, text, line.get(), cache));
    line->Layout(text->m_fontNames, cache, nullptr);
    text->m_children.Add(line.release());
}

void TextToPath(Path& out, const char* text, const char* fontName, float size, float aspect,
                float charSpacing, float wordSpacingFactor, std::uint32_t slant,
                std::uint8_t charAlign, float lineFactor, std::uint8_t merge) {
    EmptyOutline(out);
    {
        TextDefaultsKept kept;
        TextDefaultsKept::Use(fontName, size, aspect, charSpacing, slant, charAlign,
                              wordSpacingFactor);

        CFontCache cache;
        CTextObj textObj;
        const CString all(text != nullptr ? text : "");
        CString line;
        int pos = 0;
        while (std::uint16_t code = GetNextCharCode(all, pos)) {
            if (code == CR) continue;
            if (code == LF) {
                AddTextLine(&textObj, line, cache, lineFactor);
                line.Empty();
                continue;
            }
            AppendCharCode(line, code);
        }
        if (!line.IsEmpty()) AddTextLine(&textObj, line, cache, lineFactor);

        if (merge)
            textObj.AddToPath(out);
        else
            AppendCharacterOutlines(textObj, out);
    }
    out.Prepare();
}
