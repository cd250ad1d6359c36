#pragma once
// The font lists of the application and the factory that makes a font from a name.

#include "mfc/CString.h"
#include "mfc/CStringArray.h"

class GeneralFont;

// Names and, at the same index, full paths of the native fonts; the same for the ".isf"
// families; the installed outline faces (face name with style).
extern CStringArray NativeFontNames;
extern CStringArray NativeFontPaths;
extern CStringArray IsfFontNames;
extern CStringArray IsfFontPaths;
extern CStringArray TrueTypeFaceNames;

// The folders of the native font files and of the kerning and baseline-shift files.
extern CString FontDirectory;
extern CString KerningDirectory;

// Index of the first exact (case-sensitive) match, or -1.
int FindFontName(const CStringArray& list, const char* name);
// Appends the name unless present; returns its index.
int AddFontName(CStringArray& list, const char* name);

// A new, loaded font of the kind that knows the name (native first, then the type manager,
// then the installed faces), or null. A font whose Load failed is returned too.
GeneralFont* CreateFontByName(const char* name);

// 0 when the type manager knows a font of that name, -1 otherwise. No type manager is
// present, so every name is unknown.
int FindATMFont(const char* name);
