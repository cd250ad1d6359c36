#pragma once
// The program-wide settings that lettering reads: the default text style and the attributes
// new objects take. The application reads them from its profile at start and writes them
// back at exit; until then they hold their defaults.

#include "mfc/CString.h"
#include "win32/base.h"

// The default text style (the text tool starts from it; "Set as default" writes it).
extern CString DefaultFont; // font of new text; empty: the resource library's default font
extern float CharSize;      // mm
extern float AspectRatio;
extern float BaseLineShift; // in units of the size
extern float CharSpacing;   // in units of the size
extern float ItalicAngle;   // degrees
extern int Slant;           // nonzero: vertical writing
extern BYTE ChrAlign;       // placement across a vertical line: 0, 1 or 2
extern float WordSpacing;   // percent of the size
extern float LineSpacing;   // percent of the size
extern BYTE DefAlign;       // 0 left, 1 centred, 2 right
extern BYTE DefAutoKerning;
extern BYTE DefCustomKerning;
extern BYTE DefAutoBLShift;
extern int DefReversedLine;

// The attributes of new objects (the palette's current choice).
extern COLORREF DefaultFillColor;    // NO_COLOR: none
extern COLORREF DefaultOutlineColor; // NO_COLOR: none
extern float DefaultWidth;           // mm
extern int DefaultLayer;

COLORREF GetDefaultFillColor();
COLORREF GetDefaultOutlineColor();
float GetDefaultWidth();
// The DefaultLayer setting, or `fallback` when the setting is no layer (-127..127).
int GetDefaultLayer(int fallback);
