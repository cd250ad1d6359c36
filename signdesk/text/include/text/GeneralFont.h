#pragma once
// The font interface: every font kind turns a character code into a closed outline in its
// own units, which the glyph matrix maps to em units (1.0 = the top of the font's size
// reference glyph), and carries the font's kerning pairs and baseline shifts.
//
// Character codes are 16 bits: a byte value, or on a double-byte system the first byte in
// the high byte and the second in the low byte.

#include <cstdint>

#include "mfc/CObject.h"
#include "mfc/CString.h"
#include "pathkit/DynArr.h"
#include "pathkit/Path.h"
#include "pathkit/TMatrix.h"

class CDumpContext;

struct KerningPair {
    std::uint16_t first;
    std::uint16_t second;
    float value; // em units
};

struct CustomBLShift {
    std::uint16_t code;
    float shift;            // em units
    std::uint8_t direction; // 0 horizontal text, nonzero vertical
};

// Growth step 5, at most 65534 records; growing past it throws LimitCheck.
using KerningPairDynArr = EDynArr<KerningPair>;
using CustomBLShiftDynArr = EDynArr<CustomBLShift>;

class GeneralFont : public CObject {
    DECLARE_SERIAL(GeneralFont)
public:
    GeneralFont();
    ~GeneralFont() override;

    // Version word 1 and the font name; a newer version throws CArchiveException cause 5.
    void Serialize(CArchive& ar) override;
    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;
    // Nonzero when the font is ready.
    virtual int Load();
    virtual void Unload();
    // Appends the glyph's closed sub-paths; nonzero when the glyph exists. Callers run
    // Path::Prepare before they use the outline.
    virtual int GetCharPath(std::uint16_t code, Path& path);
    virtual float GetCharWidth(std::uint16_t code);
    virtual float GetKerning(std::uint16_t first, std::uint16_t second);

    KerningPair* FindKerningPair(std::uint16_t first, std::uint16_t second);
    KerningPair* SetKerningPair(std::uint16_t first, std::uint16_t second, float value);
    CustomBLShift* FindBaselineShift(std::uint16_t code, std::uint8_t direction);
    CustomBLShift* SetBaselineShift(std::uint16_t code, std::uint8_t direction, float shift);
    // Remove `count` records from `index`; a run past the end throws the array's RangeCheck.
    void RemoveKerningPairs(std::uint16_t index, std::uint16_t count);
    void RemoveBaselineShifts(std::uint16_t index, std::uint16_t count);

    // The ".wkp" and ".wbs" files of the font in the kerning directory.
    void ReadKerningFile();
    void WriteKerningFile();
    void ReadBaselineShiftFile();
    void WriteBaselineShiftFile();

    floatTMatrix glyphMatrix;
    CString fontName;
    KerningPairDynArr kerningPairs;
    CustomBLShiftDynArr baselineShifts;

protected:
    // Resets the glyph matrix to 1/h, h the top of the reference glyph's outline. A missing
    // glyph, or one whose top is not above the baseline (or not a number), takes the em.
    void NormaliseToGlyphTop(std::uint16_t referenceCode, float em);
};
