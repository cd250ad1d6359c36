#pragma once
// The installed outline faces as the drawing layer's font functions see them: found by
// fontconfig (or a test's own file list), read with FreeType, named and ordered as GDI
// groups them:
//   family  the legacy family name record (name id 1), style the subfamily (id 2), English,
//           in the ANSI code page, cut to what LOGFONT holds;
//   order   families sorted without case; a family's styles by weight, then upright before
//           italic, then style name; one entry per family and style, TrueType and OpenType
//           before Type 1 of the same name;
//   kinds   TrueType outlines TRUETYPE_FONTTYPE, CFF outlines NTM_PS_OPENTYPE, Type 1
//           NTM_TYPE1; lfCharSet from the code-page bits: Latin 1 ANSI_CHARSET, Japanese
//           only SHIFTJIS_CHARSET, symbol SYMBOL_CHARSET.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win32/gdifont.h"

#define FONTFACE_API __attribute__((visibility("default")))

namespace fontface {

enum class FaceKind { TrueType, Cff, Type1 };

struct Face {
    ENUMLOGFONTA elf;   // lfHeight: the cell height in font units
    NEWTEXTMETRICA ntm; // metrics at ntmSizeEM
    DWORD fontType;
    FaceKind kind;
    std::string file; // UTF-8 path
    long index;       // face within the file
    int unitsPerEm;
    int cellHeight; // usWinAscent + usWinDescent (hhea without OS/2)
};

// The faces in enumeration order. Rebuilt when the system's (or the test's) font set changed.
FONTFACE_API std::vector<Face> ListFaces();

// The face GDI would map the logical font to: the face name (without case), then the style
// nearest in italic and weight; a name no face has takes DejaVu Sans (upright, normal weight)
// when present, else the first face. Null when there are no faces at all.
FONTFACE_API std::shared_ptr<const Face> MatchFace(const LOGFONTA& lf);

// One face opened at the size of a logical font.
class FONTFACE_API ScaledFace {
public:
    // Null when the face's file cannot be read.
    static std::unique_ptr<ScaledFace> Open(const LOGFONTA& lf);
    ~ScaledFace();
    ScaledFace(const ScaledFace&) = delete;
    ScaledFace& operator=(const ScaledFace&) = delete;

    // GGO_NATIVE (TTPOLYGONHEADER / TTPOLYCURVE records in 16.16) or GGO_METRICS, optionally
    // with GGO_GLYPH_INDEX. Returns the bytes needed (0: no outline), or GDI_ERROR for an
    // unmapped code, an unknown format or a buffer too small.
    DWORD GlyphOutline(UINT code, UINT format, GLYPHMETRICS* metrics, DWORD bufferSize,
                       void* buffer, const MAT2* matrix);
    // Whole units of the logical font; FALSE for an empty range.
    BOOL CharABCWidths(UINT first, UINT last, ABC* widths);
    // The face's kerning pairs ('kern' table) between the codes 32 to 255, in whole units;
    // pairs of zero are left out.
    std::vector<KERNINGPAIR> KerningPairs();

    // The glyph of a character hinted by the face and rendered one bit per pixel at the
    // font's size: for crisp text at user-interface sizes. False when there is no such glyph
    // or the size is outside 4 to 64 pixels per em.
    struct MonoGlyph {
        int width = 0, height = 0;
        int left = 0, top = 0;              // from the pen on the baseline; top is upward
        std::vector<std::uint8_t> pixels;   // rows from the top, 1 for ink
    };
    bool RenderMono(UINT code, MonoGlyph& out);
    // Pixels per em at the font's size.
    double PixelsPerEm() const;

    const Face& FaceInfo() const { return *face_; }
    LONG Height() const { return height_; }

private:
    ScaledFace() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    std::shared_ptr<const Face> face_;
    LONG height_ = 0;
};

// ---- test hooks ----
// The given font files (UTF-8 paths) stand in for the system's fonts until UseSystemFonts.
FONTFACE_API void UseFontFiles(const std::vector<std::string>& files);
FONTFACE_API void UseSystemFonts();

} // namespace fontface
