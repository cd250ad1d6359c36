#pragma once
// The installed outline fonts, through the drawing layer's font functions: the face list,
// face lookups, and GDI's native glyph outlines turned into Path outlines.

#include "text/GeneralFont.h"
#include "win32/wingdi.h"

class TrueTypeFont : public GeneralFont {
    DECLARE_SERIAL(TrueTypeFont)
public:
    TrueTypeFont() = default;
    ~TrueTypeFont() override;

    int Load() override;
    void Unload() override;
    // 1 with the glyph's contours, none for a blank glyph; 0 with the missing-glyph box for a
    // code the face lacks or while the font is not loaded.
    int GetCharPath(std::uint16_t code, Path& path) override;
    float GetCharWidth(std::uint16_t code) override;
    // Binds the font to the GDI font the logical font describes (metafile text).
    void CreateFromLogFont(const LOGFONTA* lf);

    HFONT hFont = nullptr;
    DWORD shiftJis = 0; // the face's character set is SHIFTJIS_CHARSET

private:
    // The em of the open GDI font in its own units, for a reference glyph without height.
    float emOf(LONG height) const;
    HDC fontDc();
    HDC dc_ = nullptr;
    HFONT dcFont_ = nullptr;
};

// The face records the last successful lookup filled.
extern LOGFONTA CurrentFaceLogFont;
extern NEWTEXTMETRICA CurrentFaceTextMetric;

// The face name alone for the style "Regular", else face name, a blank and the style.
CString BuildFaceName(const ENUMLOGFONTA& elf);
// Empties TrueTypeFaceNames and fills it again.
void EnumTrueTypeFonts();
// 0 found (current face records filled), -1 not found (the face list is rebuilt).
int FindTrueTypeFace(const char* name);
// 0 found: the name with style and the metrics of the first face that begins with the wanted
// face name and has its character set, weight and slant.
int FindTrueTypeFaceByLogFont(const LOGFONTA* wanted, CString& name, NEWTEXTMETRICA* metrics);
CString GetFirstTrueTypeFace();
// Appends the glyph's contours; 1 done, 0 no outline, -1 no font or a failed fetch.
int GlyphOutlineToPath(HFONT font, std::uint16_t code, Path& path, HDC dc);
