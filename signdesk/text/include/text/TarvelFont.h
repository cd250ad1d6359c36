#pragma once
// The native outline font: a ".wft" file read whole into memory, each glyph a charstring
// program interpreted into a Path.

#include <cstddef>
#include <cstdint>

#include "text/GeneralFont.h"

class TarvelFont : public GeneralFont {
    DECLARE_SERIAL(TarvelFont)
public:
    TarvelFont() = default;
    ~TarvelFont() override;

    int Load() override;
    void Unload() override;
    // 1: the glyph was interpreted (also when its program ended early). 0: the missing-glyph
    // box (side unitsPerEm; 1.0 while the font is not loaded). -1: a slot with a length but
    // no offset; nothing appended.
    int GetCharPath(std::uint16_t code, Path& path) override;

    // Character code to the slot of an older (OEM) file.
    static std::uint16_t MapToOemCode(std::uint16_t code);

    const std::uint8_t* FileImage() const { return fileImage; }
    std::size_t FileImageSize() const { return imageSize; }

private:
    std::uint8_t* fileImage = nullptr;
    std::size_t imageSize = 0;
};

// Adds the native fonts of the folder to NativeFontNames / NativeFontPaths, files in name
// order; a name already listed keeps its first file.
void EnumWftFonts(const char* directory);

// `length` bytes at `offset` of the file, up to the first NUL, trailing blanks removed; empty
// when the file cannot be read that far.
CString ReadFontFileName(const char* path, long offset, int length);
