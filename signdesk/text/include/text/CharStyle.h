#pragma once
// The style record of a character, of the class default and of the text tool's current
// attributes: 30 bytes (the hash of a character covers exactly these).

#include <cstddef>
#include <cstdint>

struct CharStyle {
    float size = 25.0f;          // mm: height of the font's reference glyph
    float aspect = 1.0f;         // horizontal scale of the glyph
    float baselineShift = 0.0f;  // in units of size
    float charSpacing = 0.1f;    // gap after the character, in units of size (times aspect)
    float kerning = 0.0f;        // pair kerning added to the gap, em units
    float italicAngle = 0.0f;    // shear, degrees
    std::uint32_t slant = 0;     // nonzero: set for a vertical line
    std::uint16_t charAlign = 1; // placement across a vertical line: 0, 1 or 2

    // Size and aspect positive and finite, the other measures finite: the glyph can be
    // built and placed.
    bool IsUsable() const;
};

inline constexpr std::size_t CharStyleBytes = 30;
static_assert(offsetof(CharStyle, charAlign) + sizeof(std::uint16_t) == CharStyleBytes);
