#pragma once
// A text of a sign: its lines (the group's children, top line first), the font names its
// characters index, the text tool's caret and selection, and the right-to-left numbering.

#include <cstdint>

#include "mfc/CStringArray.h"
#include "model/CGroupObj.h"

class CCharacter;
class CFontCache;
class CTextLine;
class Path;
class SubPath;

class CTextObj : public CGroupObj {
    DECLARE_SERIAL(CTextObj)
public:
    static constexpr WORD Schema = 4;

    // No lines.
    CTextObj();
    // One line, made with the same arguments.
    CTextObj(float x, float y, const SubPath* path, float anchor, int vertical);
    ~CTextObj() override;

    // The lines (array form), the font names, u16 schema, the object part (schema 2 on), a
    // 24-byte matrix that is skipped (schema 2 only), u8 right-to-left (schema 4). A newer
    // schema raises cause 5. Loading lays the text out.
    void Serialize(CArchive& ar) override;
    DWORD StoreStamp() override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    void SetFill(CFillObj* pFill) override;
    void TransformFill(const floatTMatrix& m) override;
    void TransformTransparency(const floatTMatrix& m) override;
    BOOL CanUngroup() override;
    // The hit character with hit mode 2, otherwise the text itself.
    CSignObj* HitTest(floatPoint& p, int layer, float tolerance, int mode, int arg) override;
    BOOL SetColor(COLORREF color) override;
    BOOL SetOutlineColor(DWORD color) override;
    // Almost uniform scales, rotations with a uniform scale, and mirrors; never a matrix
    // that is singular or not finite.
    BOOL AcceptsTransform(const floatTMatrix& m) override;
    // Outlines and baselines transformed; pitches, sizes and widths scaled; not laid out.
    void Transform(const floatTMatrix& m) override;
    BOOL CanDistort() override;
    CSignObj* GetEditablePath() override;
    CSignObj* Duplicate() override;
    // Plain path objects of the glyphs: one, a group of a line's, or a group of groups; null
    // when the text has no outline.
    CSignObj* ConvertToPaths() override;
    Path* GetPath() override;
    void SetupPropertySheet(CPropertySheet* pSheet, int arg) override;
    void ExtendContextMenu(CMenu* pMenu) override;
    void Edit(CWnd* pWnd) override;
    // Lays out every line from fromLine on, each below the one before.
    virtual void LayoutText(int fromLine);

    int GetLineCount() const { return m_children.GetSize(); }
    CTextLine* GetLine(int i) const;

    int CaretLeft();
    int CaretRight();
    int CaretUp();
    int CaretDown();
    // Positions numbered through the text, each line's end a position of its own; with
    // right-to-left each line is numbered from its end.
    int GetCaretTextIndex();
    // The exact inverse; nothing set for an index beyond the text.
    void TextIndexToCaret(int index, int& line, int& pos);

    CStringArray m_fontNames;
    std::int32_t m_nCaretLine = 0;
    std::int32_t m_nCaretPos = 0;
    std::int32_t m_nSelAnchor = 0;
    std::int32_t m_nSelEnd = 0;
    BYTE m_bRightToLeft;
};

// The user's language reads right to left.
bool IsRightToLeftUser();

// A new character with the current attributes (or `existing` emptied), its glyph built for
// the line; the caller inserts, kerns and places it.
CCharacter* MakeCharacter(std::uint16_t code, CCharacter* existing, CTextObj* text, CTextLine* line,
                          CFontCache& cache);

// Appends a line of lineText below the text's lines (one default size x lineFactor apart),
// laid out on its own baseline.
void AddTextLine(CTextObj* text, const char* lineText, CFontCache& cache, float lineFactor);

// The outlines of text (lines split at line feeds, carriage returns dropped) in the font and
// style given, united where glyphs overlap when merge is set. The default font, style and
// word spacing are as before afterwards, also when an exception passes.
void TextToPath(Path& out, const char* text, const char* fontName, float size, float aspect,
                float charSpacing, float wordSpacingFactor, std::uint32_t slant,
                std::uint8_t charAlign, float lineFactor, std::uint8_t merge);
