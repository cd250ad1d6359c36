#pragma once
// One line of a text: its characters (the group's children, in text order) set along a
// baseline sub-path. A free line's baseline is one 0.1 mm segment that gives the origin and
// the direction; a text on a path has the picked sub-path as baseline.

#include "model/CGroupObj.h"
#include "pathkit/SubPath.h"

class BaselineWalker;
class CCharacter;
class CFontCache;
class CStringArray;

class CTextLine : public CGroupObj {
    DECLARE_SERIAL(CTextLine)
public:
    static constexpr WORD Schema = 4;

    // The text tool's current values, which new lines take.
    static float CurrentPitch;
    static BYTE CurrentAlign;
    static BYTE CurrentAutoKerning;
    static BYTE CurrentCustomKerning;
    static BYTE CurrentAutoBLShift;

    // An empty baseline (loading and duplication fill it).
    CTextLine();
    // A copy of path as baseline anchored at `anchor`, or without a path a free line at (x, y)
    // running right, or down when vertical is nonzero, anchored at its start.
    CTextLine(float x, float y, const SubPath* path, float anchor, int vertical);
    ~CTextLine() override;

    // The characters (array form), u16 schema, the baseline record, u8 alignment, f32 pitch,
    // anchor and arc radius, i8 arc side, u8 auto and custom kerning, u8 mirrored (schema 2),
    // u8 auto baseline shift (schema 4). No object part. A newer schema raises cause 5.
    void Serialize(CArchive& ar) override;
    DWORD StoreStamp() override;
    void SerializeState(CArchive& ar, CSignDoc* pDoc) override;
    void SetFill(CFillObj* pFill) override;
    void TransformFill(const floatTMatrix& m) override;
    void TransformTransparency(const floatTMatrix& m) override;
    BOOL CanUngroup() override;
    // The characters' boxes; a line without outlines keeps its baseline's box.
    void RefreshBBox() override;
    floatBBox* GetBBox() override;
    void Transform(const floatTMatrix& m) override;
    CSignObj* Duplicate() override;
    CSignObj* ConvertToPaths() override;
    Path* GetPath() override;
    // The characters' outlines merged into target (MergeLineOutlines).
    void AddToPath(Path& target) override;

    int GetCount() const { return m_children.GetSize(); }
    CCharacter* GetChar(int i) const;

    // The baseline's frame at a distance: y offset, then the baseline's direction (mirrored
    // across it for a mirrored line), then the point.
    void GetPlacementAt(float distance, float yOffset, floatTMatrix& m);
    void GetAnchorPoint(floatPoint& out);
    // The laid-out length: every advance, tabs snapped, without the last gap.
    float GetLength();
    // The placement of character `index` (ch is that character), or with ch null the frame at
    // caret position `index`.
    void GetCharMatrix(int index, CCharacter* ch, floatTMatrix& m, int caret);
    // Builds every glyph and places it; with previous, the baseline first becomes the one of
    // previous moved one pitch across it.
    void Layout(const CStringArray& fontNames, CFontCache& cache, CTextLine* previous);
    // Whether the pair (i - 1, i) may take the font's pair kerning.
    int CanKernPair(int i);
    float GetMaxTop();
    float GetMinBottom();
    // Mode 0 spreads the gaps, 1 scales the sizes, 2 the widths, 3 stretches the spaces so that
    // the line would measure `length`; nothing for a target that is not positive.
    void FitToLength(int mode, float length);
    void MergeLineOutlines(Path& out);

    // Glyphs of this line are built starting at x = 0 (outline boxes spaced).
    int LeftAlignsGlyphs() const { return m_nSchema >= 3 && m_bAutoKerning ? 1 : 0; }

    SubPath m_baseline;
    float m_fPitch;      // mm to the next line's baseline
    float m_fAnchor = 0; // mm along the baseline
    float m_fRadius = 0; // mm; the arc the text tool built the baseline for
    BYTE m_nAlign;       // 0 left, 1 centred, 2 right of the anchor
    signed char m_nArcSide = 0;
    BYTE m_bAutoKerning;
    BYTE m_bCustomKerning;
    BYTE m_bAutoBLShift;
    BYTE m_bMirrored = 0;
    WORD m_nSchema = Schema; // as loaded: below 3 no glyph is built left-aligned

private:
    float WalkStart();
    float PositionOf(int index, int caret);
    void PlaceAt(float pos, CCharacter* ch, const BaselineWalker& walker, floatTMatrix& m);
};
