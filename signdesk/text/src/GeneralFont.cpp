#include "text/GeneralFont.h"

#include <cmath>

#include "mfc/CArchive.h"
#include "mfc/CArchiveException.h"
#include "mfc/CFile.h"

IMPLEMENT_SERIAL(GeneralFont, CObject, 1)

GeneralFont::GeneralFont() : kerningPairs(5), baselineShifts(5) {}

GeneralFont::~GeneralFont() {
    GeneralFont::Unload();
}

void GeneralFont::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << WORD(1);
        ar << fontName;
        return;
    }
    WORD version = 0;
    ar >> version;
    if (version > 1) {
        CFile* file = ar.GetFile();
        CString name = file != nullptr ? file->GetFilePath() : CString();
        AfxThrowArchiveException(CArchiveException::badIndex, name);
    }
    ar >> fontName;
}

void GeneralFont::AssertValid() const {}

void GeneralFont::Dump(CDumpContext&) const {}

int GeneralFont::Load() {
    return 0;
}

void GeneralFont::Unload() {
    kerningPairs.Reset();
}

int GeneralFont::GetCharPath(std::uint16_t, Path&) {
    return 0;
}

float GeneralFont::GetCharWidth(std::uint16_t) {
    return 0.0f;
}

float GeneralFont::GetKerning(std::uint16_t, std::uint16_t) {
    return 0.0f;
}

KerningPair* GeneralFont::FindKerningPair(std::uint16_t first, std::uint16_t second) {
    for (KerningPair& p : kerningPairs)
        if (p.first == first && p.second == second) return &p;
    return nullptr;
}

KerningPair* GeneralFont::SetKerningPair(std::uint16_t first, std::uint16_t second, float value) {
    KerningPair* p = FindKerningPair(first, second);
    if (p == nullptr) p = kerningPairs.Append();
    p->first = first;
    p->second = second;
    p->value = value;
    return p;
}

CustomBLShift* GeneralFont::FindBaselineShift(std::uint16_t code, std::uint8_t direction) {
    for (CustomBLShift& s : baselineShifts)
        if (s.code == code && s.direction == direction) return &s;
    return nullptr;
}

CustomBLShift* GeneralFont::SetBaselineShift(std::uint16_t code, std::uint8_t direction,
                                             float shift) {
    CustomBLShift* s = FindBaselineShift(code, direction);
    if (s == nullptr) s = baselineShifts.Append();
    s->code = code;
    s->direction = direction;
    s->shift = shift;
    return s;
}

void GeneralFont::RemoveKerningPairs(std::uint16_t index, std::uint16_t count) {
    kerningPairs.DeleteAt(index, count);
}

void GeneralFont::RemoveBaselineShifts(std::uint16_t index, std::uint16_t count) {
    baselineShifts.DeleteAt(index, count);
}

void GeneralFont::NormaliseToGlyphTop(std::uint16_t referenceCode, float em) {
    Path reference;
    int found = GetCharPath(referenceCode, reference);
    reference.ClosePath();
    reference.RefreshBBoxes();
    float h = reference.accBox.top;
    // A reference glyph that is missing, or does not rise above the baseline, would scale by
    // the missing-glyph box, divide by zero or turn the text upside down: the em stands in.
    if (found <= 0 || !(h > 0) || !std::isfinite(h)) h = em;
    glyphMatrix.IdentMatrix();
    if (h > 0 && std::isfinite(h)) glyphMatrix.Scale(1.0f / h, 1.0f / h);
}
