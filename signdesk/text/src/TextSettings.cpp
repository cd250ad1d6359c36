#include "text/TextSettings.h"

CString DefaultFont;
float CharSize = 100.0f;
float AspectRatio = 1.0f;
float BaseLineShift = 0.0f;
float CharSpacing = 0.08f;
float ItalicAngle = 0.0f;
int Slant = 0;
BYTE ChrAlign = 1;
float WordSpacing = 40.0f;
float LineSpacing = 140.0f;
BYTE DefAlign = 0;
BYTE DefAutoKerning = 1;
BYTE DefCustomKerning = 1;
BYTE DefAutoBLShift = 0;
int DefReversedLine = 0;

COLORREF DefaultFillColor = 0;
COLORREF DefaultOutlineColor = 0;
float DefaultWidth = 0.0f;
int DefaultLayer = 1;

COLORREF GetDefaultFillColor() {
    return DefaultFillColor;
}

COLORREF GetDefaultOutlineColor() {
    return DefaultOutlineColor;
}

float GetDefaultWidth() {
    return DefaultWidth;
}

int GetDefaultLayer(int fallback) {
    return DefaultLayer >= -127 && DefaultLayer <= 127 ? DefaultLayer : fallback;
}
