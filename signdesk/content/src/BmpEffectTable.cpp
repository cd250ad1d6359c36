#include "content/BmpEffectTable.h"

#include <imaging/KovaImg.h>
#include <imaging/KovaKern.h>
#include <win32/user.h>

// Names 297.., before-texts 315 "Value", 317 "Level", 318 "Levels", 319 "Size", 320 "Depth",
// 321 "Brush"; after-texts 322 "pixels", 323 "steps". Each default leaves the picture as it
// is where the effect has such a setting.
const BmpEffect BmpEffectTable[BmpEffectCount] = {
    {297, 315, 323, -100, 100, 0, 10}, // brightness
    {298, 315, 323, -100, 100, 0, 10}, // contrast
    {299, 315, 323, -359, 359, 0, 20}, // hue, degrees
    {300, 315, 323, -100, 100, 0, 10}, // saturation
    {301, 0, 0, 0, 0, 0, 0},           // invert
    {302, 0, 0, 0, 0, 0, 0},           // grey
    {303, 0, 323, 1, 459, 100, 10},    // gamma, hundredths
    {304, 315, 323, -100, 100, 0, 10}, // sharpness
    {305, 317, 0, 0, 255, 128, 8},     // threshold
    {306, 318, 0, 2, 64, 4, 1},        // posterize
    {307, 319, 322, 2, 64, 4, 1},      // mosaic
    {308, 319, 322, 3, 11, 4, 1},      // median
    {309, 319, 322, 3, 11, 4, 1},      // soften
    {310, 315, 323, -100, 100, 0, 10}, // colour temperature
    {311, 0, 0, 0, 0, 0, 0},           // find edges
    {312, 320, 322, 0, 100, 50, 10},   // emboss, by direction
    {313, 0, 0, 0, 0, 0, 0},           // sketch
    {314, 321, 322, 3, 11, 3, 1},      // oil paint
};

int RunBmpEffect(int row, KOVABITMAP* b, int v, int direction) {
    switch (row) {
    case 0:
        return KovaBrightness(b, v);
    case 1:
        return KovaContrast(b, v);
    case 2:
        return KovaHue(b, v);
    case 3:
        return KovaSaturation(b, v);
    case 4:
        return KovaInvert(b);
    case 5:
        return KovaGrayScale(b);
    case 6:
        return KovaGamma(b, v);
    case 7:
        return KovaSharpen(b, v);
    case 8:
        return KovaThreshold(b, v);
    case 9:
        return KovaPosterize(b, v);
    case 10:
        return KovaMosaic(b, v);
    case 11:
        return KovaMedian(b, v);
    case 12:
        return KovaAverage(b, v);
    case 13:
        return KovaTemperature(b, v);
    case 14:
        return KovaEdgeDetect(b);
    case 15:
        return KovaEmboss(b, direction, v);
    case 16: {
        KOVABITMAP copy;
        KovaInitBitmap(&copy, 1, 1, 1);
        if (KovaCopyBitmap(&copy, b) != IMG_SUCCESS) {
            MessageBeep(0);
            return IMG_ERR_MEMORY;
        }
        KovaLineDrawing(&copy, 16);
        const int r = KovaCombineBitmap(b, 0, 0, b->width, b->height, &copy, 0, 0, 0x300);
        KovaFreeBitmap(&copy);
        return r;
    }
    case 17:
        return KovaOilPaint(b, v);
    default:
        return IMG_ERR_PARAM;
    }
}
