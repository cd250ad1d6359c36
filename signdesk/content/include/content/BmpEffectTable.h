#pragma once
// The 18 effects of the bitmap sheet: their texts, slider ranges and the toolkit operation
// each runs on a picture.

#include <imaging/ToolkitTypes.h>
#include <win32/base.h>

struct BmpEffect {
    UINT name, before, after; // string ids, 0 = none
    int minimum, maximum, initial, page;
};
constexpr int BmpEffectCount = 18;
extern const BmpEffect BmpEffectTable[BmpEffectCount];
// The row that copies the picture, draws its lines and multiplies them in.
constexpr int BmpCombinedEffect = 16;
// The row that takes a direction from the combo box.
constexpr int BmpDirectedEffect = 15;

// Runs row's operation on the toolkit bitmap with the slider value (and the direction).
int RunBmpEffect(int row, KOVABITMAP* bitmap, int value, int direction);
