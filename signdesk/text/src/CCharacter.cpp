#include "text/CCharacter.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "TextSupport.h"
#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CStringArray.h"
#include "model/HashBytes.h"
#include "text/FontCache.h"
#include "text/GeneralFont.h"

IMPLEMENT_SERIAL(CCharacter, CPathObj, VERSIONABLE_SCHEMA | 0)

CharStyle CCharacter::DefaultStyle;
float CCharacter::WordSpacingFactor = InitialWordSpacingFactor;

namespace {

constexpr double Pi = 3.14159265358979323846;

// Codes of vertical writing (Shift-JIS as stored, and a few ASCII punctuation marks).
// Glyphs that keep their orientation on a vertical line:
constexpr std::uint32_t VerticalUnrotatedCodes[] = {
    0x8146, 0x814E, 0x814F, 0x8150, 0x8151, 0x815B, 0x815C, 0x815D, 0x816C, 0x816D, 0x8160,
    0x8161, 0x8162, 0x8163, 0x8164, 0x8169, 0x816A, 0x816B, 0x816E, 0x816F, 0x8170, 0x8171,
    0x8172, 0x8173, 0x8174, 0x8175, 0x8176, 0x8177, 0x8178, 0x8179, 0x817A, 0x817C, 0x817F,
    0x8181, 0x8182, 0x8183, 0x8184, 0x2D,   0x3D,   0x3A,   0x7E,   0x7C,   0x28,   0x29,
    0x7B,   0x7D,   0x5B,   0x5D,   0x3C,   0x3E,   0x3B};
// ... of those, glyphs moved half the size across the line:
constexpr std::uint32_t VerticalShiftCodes[] = {
    0x8143, 0x8144, 0x814A, 0x814B, 0x814C, 0x814D, 0x8165, 0x8166, 0x8167, 0x8168,
    0x8175, 0x8176, 0x8177, 0x8178, 0x2E,   0x2C,   0x60,   0x22,   0x27,   0x3B};
// Small glyphs (punctuation, small kana) set into the corner of their square:
constexpr std::uint32_t VerticalSmallCodes[] = {
    0x8141, 0x8142, 0x8143, 0x8144, 0x814A, 0x814B, 0x814D, 0x814E, 0x814F, 0x8166,
    0x8168, 0x818B, 0x818C, 0x818D, 0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82C1,
    0x82E1, 0x82E3, 0x82E5, 0x82EC, 0x8340, 0x8342, 0x8344, 0x8346, 0x8348, 0x8362,
    0x8383, 0x8385, 0x8387, 0x838E, 0x8395, 0x8396, 0x2E,   0x2C,   0x22,   0x27};
// Glyphs mirrored across the line:
constexpr std::uint32_t VerticalMirrorCodes[] = {0x8150, 0x8151, 0x815B, 0x815C,
                                                 0x815D, 0x817C, 0x8181};

template <std::size_t N> bool IsCodeIn(std::uint16_t code, const std::uint32_t (&table)[N]) {
    return std::find(std::begin(table), std::end(table), std::uint32_t(code)) != std::end(table);
}

bool Finite(float v) {
    return std::isfinite(v);
}

// The layer word as stored: a layer number in the low byte has 0 above it.
WORD StoredLayerWord(std::int16_t layer) {
    return layer >= -128 && layer < 0 ? WORD(layer & 0xFF) : WORD(layer);
}

} // namespace

bool CharStyle::IsUsable() const {
    return Finite(size) && size > 0 && Finite(aspect) && aspect > 0 && Finite(baselineShift) &&
           Finite(charSpacing) && Finite(kerning) && Finite(italicAngle);
}

CCharacter::CCharacter() : m_style(DefaultStyle) {}

CCharacter::~CCharacter() = default;

void CCharacter::Serialize(CArchive& ar) {
    CSignObj::Serialize(ar);
    if (ar.IsStoring()) {
        ar << WORD(Schema) << DWORD(m_path.colour) << StoredLayerWord(m_path.layer) << WORD(m_nCode)
           << m_fWidth << BYTE(m_nFontIndex) << m_style.size << m_style.aspect
           << m_style.baselineShift << m_style.charSpacing << m_style.kerning << m_style.italicAngle
           << DWORD(m_style.slant) << BYTE(m_style.charAlign);
        return;
    }
    WORD schema;
    ar >> schema;
    if (schema > Schema) AfxThrowArchiveException(CArchiveException::badSchema, ar.m_strFileName);
    DWORD colour, slant;
    WORD layer, code;
    BYTE fontIndex;
    ar >> colour >> layer >> code >> m_fWidth >> fontIndex >> m_style.size >> m_style.aspect >>
        m_style.baselineShift >> m_style.charSpacing >> m_style.kerning >> m_style.italicAngle >>
        slant;
    m_path.colour = colour;
    m_path.layer = std::int16_t(layer);
    m_nCode = code;
    m_nFontIndex = fontIndex;
    m_style.slant = slant;
    // An older record has no alignment: it takes the initial one, not the tool's.
    BYTE align = BYTE(CharStyle().charAlign);
    if (schema >= 2) ar >> align;
    m_style.charAlign = align;
    m_fCustomBLShift = 0;
}

DWORD CCharacter::StoreStamp() {
    m_nSavedStamp = m_nStamp;
    HashBytes(&m_nCode, 2, &m_nSavedStamp);
    HashBytes(&m_fWidth, 4, &m_nSavedStamp);
    HashBytes(&m_style, DWORD(CharStyleBytes), &m_nSavedStamp);
    HashBytes(&m_nFontIndex, 1, &m_nSavedStamp);
    return m_nSavedStamp;
}

void CCharacter::SerializeState(CArchive& ar, CSignDoc* pDoc) {
    CPathObj::SerializeState(ar, pDoc);
    if (ar.IsStoring()) {
        ar << WORD(m_nCode) << m_fWidth << BYTE(m_nFontIndex) << m_style.size << m_style.aspect
           << m_style.baselineShift << m_style.charSpacing << m_style.kerning << m_style.italicAngle
           << DWORD(m_style.slant) << BYTE(m_style.charAlign);
        return;
    }
    WORD code;
    BYTE fontIndex, align;
    DWORD slant;
    ar >> code >> m_fWidth >> fontIndex >> m_style.size >> m_style.aspect >>
        m_style.baselineShift >> m_style.charSpacing >> m_style.kerning >> m_style.italicAngle >>
        slant >> align;
    m_nCode = code;
    m_nFontIndex = fontIndex;
    m_style.slant = slant;
    m_style.charAlign = align;
}

void CCharacter::TransformFill(const floatTMatrix&) {}

void CCharacter::TransformTransparency(const floatTMatrix&) {}

void CCharacter::Transform(const floatTMatrix& m) {
    CPathObj::Transform(m);
    float x = 1, y = 0;
    m.dTransform(x, y);
    const float s = std::sqrt(x * x + y * y);
    m_fBottom *= s;
    m_fTop *= s;
}

BOOL CCharacter::CanDistort() {
    return 0;
}

CSignObj* CCharacter::Duplicate() {
    auto* pCopy = new CCharacter;
    m_path.ClosePath();
    static_cast<Path&>(pCopy->m_path) = Path(m_path);
    CopyInto(pCopy);
    pCopy->m_nCode = m_nCode;
    pCopy->m_fWidth = m_fWidth;
    pCopy->m_fBottom = m_fBottom;
    pCopy->m_fTop = m_fTop;
    pCopy->m_style = m_style;
    pCopy->m_nFontIndex = m_nFontIndex;
    return pCopy;
}

BOOL CCharacter::IsEditable() {
    return 0;
}

float CCharacter::UsableWidth() const {
    return m_style.IsUsable() && Finite(m_fWidth) ? m_fWidth : 0.0f;
}

float CCharacter::Gap() const {
    return m_style.IsUsable()
               ? (m_style.kerning + m_style.charSpacing) * m_style.aspect * m_style.size
               : 0.0f;
}

void CCharacter::BuildGlyph(const CStringArray& fontNames, CFontCache& cache, int leftAlign) {
    EmptyOutline(m_path);
    m_fBottom = 0;
    m_fTop = 0;
    if (IsBlank()) return;
    if (!m_style.IsUsable()) {
        m_fWidth = 0;
        return;
    }
    // An index past the names lays out in the stand-in font; the index is kept.
    const CString name = m_nFontIndex < fontNames.GetSize() ? fontNames[m_nFontIndex] : CString();
    GeneralFont* font = cache.GetFont(GetFontIndex(name, cache));
    font->Load();
    font->GetCharPath(m_nCode, m_path);
    m_path.ClosePath();
    const float size = m_style.size;
    const float aspect = m_style.aspect;
    if (m_path.subPaths.Filled() == 0) {
        // A blank glyph (no-break space and the like) is set as a space at the font's advance.
        const float advance = font->GetCharWidth(m_nCode) * size * aspect;
        m_fWidth = Finite(advance) ? advance : 0.0f;
        return;
    }
    if (const CustomBLShift* shift = font->FindBaselineShift(m_nCode, BYTE(m_style.slant)))
        m_fCustomBLShift = shift->shift;
    m_path.Prepare();
    // Font units: the glyph's extent before it is placed.
    const float left = m_path.accBox.left, right = m_path.accBox.right;
    const float top = m_path.accBox.top;

    floatTMatrix M = font->glyphMatrix;
    const float T = size * M.m22; // font units to millimetres
    M.Scale(size, size);
    if (m_style.slant != 0) {
        const float F = size;
        if (IsCodeIn(m_nCode, VerticalUnrotatedCodes)) {
            if (IsCodeIn(m_nCode, VerticalShiftCodes))
                M.Translate(0, -0.5f * F);
            else if (IsCodeIn(m_nCode, VerticalSmallCodes))
                M.Translate(0, 0.5f * F - T * top);
            else if (m_style.charAlign == 1)
                M.Translate(0, -0.5f * F);
            else if (m_style.charAlign == 2)
                M.Translate(0, -T * top);
        } else {
            M.Rotate(float(Pi / 2));
            if (IsCodeIn(m_nCode, VerticalSmallCodes)) M.Translate(0, F - T * right);
            if (m_style.charAlign == 0)
                M.Translate(T * top, -T * left);
            else if (m_style.charAlign == 1)
                M.Translate(T * top, -0.5f * T * (left + right));
            else if (m_style.charAlign == 2)
                M.Translate(T * top, -T * right);
        }
        if (IsCodeIn(m_nCode, VerticalMirrorCodes)) {
            M.Scale(1, -1);
            M.Translate(0, F);
        }
    }
    M.Scale(aspect, 1);

    // The glyph matrix places the outline; it does not thicken the character's outline.
    const float outlineWidth = m_fOutlineWidth;
    Transform(M);
    if (leftAlign) {
        floatTMatrix shift;
        shift.Translate(-m_path.accBox.left, 0);
        Transform(shift);
    }
    m_fOutlineWidth = outlineWidth;
    m_fWidth = m_path.accBox.right;
    m_fBottom = m_path.accBox.bottom;
    m_fTop = m_path.accBox.top;
}
