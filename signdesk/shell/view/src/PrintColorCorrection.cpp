#include "view/PrintColorCorrection.h"

#include <app/PaletteChart.h>

#include <rasterkit/DIBInterface.h>

namespace {
struct Identity {
    Identity() {
        PrintColorCorrection::Reset();
        // The palette chart prints through the same tables.
        PaletteChartCorrection::tables[0] = PrintColorCorrection::C;
        PaletteChartCorrection::tables[1] = PrintColorCorrection::M;
        PaletteChartCorrection::tables[2] = PrintColorCorrection::Y;
        PaletteChartCorrection::tables[3] = PrintColorCorrection::K;
    }
} identity;
} // namespace

BYTE PrintColorCorrection::C[256];
BYTE PrintColorCorrection::M[256];
BYTE PrintColorCorrection::Y[256];
BYTE PrintColorCorrection::K[256];

void PrintColorCorrection::Reset() {
    for (int i = 0; i < 256; ++i)
        C[i] = M[i] = Y[i] = K[i] = BYTE(i);
}

void PrintColorCorrection::Apply(DIBInterface& image) {
    image.CMYKCorrection(C, M, Y, K);
}
