#pragma once
// Receives the bands of a fountain fill for Illustrator text or coloured output paths: each
// band, transformed and cut to the object's path, is written as one filled path.

#include "model/Gradient.h"
#include "pathkit/ColorPath.h"

class AIWriter;
class ColorWPFWriter;

class FountainBandWriter : public Gradient {
public:
    // Bands as "*u", colour and "k", the closed sub-paths with "f", "*U".
    FountainBandWriter(const ColorPath& path, const floatTMatrix& m, AIWriter& writer);
    // Bands as coloured paths (the object's layer and flags, the band's colour).
    FountainBandWriter(const ColorPath& path, const floatTMatrix& m, ColorWPFWriter& writer);

    // Renders the fill's bands over the area (object coordinates) with the given band step.
    void Write(const Gradient& fill, const floatBBox& area, float step);

    void PaintBand(COLORREF color, Path& band, const floatTMatrix& toDevice) override;

private:
    const ColorPath& m_path;
    floatTMatrix m_matrix;
    AIWriter* m_pAI = nullptr;
    ColorWPFWriter* m_pWPF = nullptr;
};
