#pragma once
// Work that sets lettering through the text tool's current attributes (the default font, the
// class default style and the word spacing) puts them back however it ends.

#include <cstdint>

#include "mfc/CString.h"
#include "text/CCharacter.h"
#include "text/TextSettings.h"

class TextDefaultsKept {
public:
    TextDefaultsKept()
        : font_(DefaultFont), style_(CCharacter::DefaultStyle),
          wordSpacing_(CCharacter::WordSpacingFactor) {}
    ~TextDefaultsKept() {
        DefaultFont = font_;
        CCharacter::DefaultStyle = style_;
        CCharacter::WordSpacingFactor = wordSpacing_;
    }
    TextDefaultsKept(const TextDefaultsKept&) = delete;

    // The attributes the work sets its lettering with; baseline shift, kerning and italic
    // angle stay as the tool left them.
    static void Use(const char* font, float size, float aspect, float charSpacing,
                    std::uint32_t slant, std::uint16_t charAlign, float wordSpacingFactor) {
        DefaultFont = font != nullptr ? font : "";
        CharStyle& style = CCharacter::DefaultStyle;
        style.size = size;
        style.aspect = aspect;
        style.charSpacing = charSpacing;
        style.slant = slant;
        style.charAlign = charAlign;
        CCharacter::WordSpacingFactor = wordSpacingFactor;
    }
    TextDefaultsKept& operator=(const TextDefaultsKept&) = delete;

private:
    CString font_;
    CharStyle style_;
    float wordSpacing_;
};
