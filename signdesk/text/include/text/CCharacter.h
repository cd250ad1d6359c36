#pragma once
// One typed character of a text: its code, style and font index, and its outline as the path
// of a path object. The outline is never stored; it is built again from code, style and font.

#include <cstdint>

#include "model/CPathObj.h"
#include "text/CharStyle.h"

class CFontCache;
class CStringArray;

class CCharacter : public CPathObj {
    DECLARE_SERIAL(CCharacter)
public:
    static constexpr WORD Schema = 2;

    CCharacter();
    ~CCharacter() override;

    // CSignObj part; u16 schema; u32 colour; u16 layer word; u16 code; f32 width; u8 font
    // index; f32 size, aspect, baseline shift, spacing, kerning, italic angle; u32 slant;
    // u8 alignment (schema 2). A newer schema raises cause 5.
    void Serialize(CArchive& ar) override;
    DWORD StoreStamp() override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    void TransformFill(const floatTMatrix& m) override;
    void TransformTransparency(const floatTMatrix& m) override;
    // The outline, then bottom and top scaled by the length of the image of (1, 0).
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    CSignObj* Duplicate() override;
    BOOL IsEditable() override;

    // Builds the outline at the origin from the font the text's names give the character
    // (through the layout's cache), its style and, for vertical writing, its alignment. With
    // leftAlign the outline starts at x = 0.
    void BuildGlyph(const CStringArray& fontNames, CFontCache& cache, int leftAlign);

    // A space or a tab: no outline.
    bool IsBlank() const { return m_nCode == 32 || m_nCode == 9; }
    bool IsTab() const { return m_nCode == 9; }
    // The width w and the gap s = (kerning + spacing) x aspect x size that the line sets
    // after the character; both 0 when its style is not usable.
    float UsableWidth() const;
    float Gap() const;

    std::uint16_t m_nCode = 0;
    float m_fWidth = 0;  // mm: the advance before spacing
    float m_fBottom = 0; // mm: the outline's lowest y at the origin
    float m_fTop = 0;    // mm: its highest y
    CharStyle m_style;
    std::uint8_t m_nFontIndex = 0;
    float m_fCustomBLShift = 0; // em units, from the font's table; not stored

    // What new characters copy, and the word space per size and aspect. The text tool sets
    // both from its current attributes.
    static CharStyle DefaultStyle;
    static float WordSpacingFactor;
};

// The style and word-spacing factor before any tool changed them.
inline constexpr float InitialWordSpacingFactor = 0.35f;
