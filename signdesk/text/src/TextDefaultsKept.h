#pragma once
// Work that sets lettering through the text tool's current attributes (the default font, the
// class default style and the word spacing) puts them back however it ends.

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
    TextDefaultsKept& operator=(const TextDefaultsKept&) = delete;

private:
    CString font_;
    CharStyle style_;
    float wordSpacing_;
};
